#pragma once

// The paragraph attributes of attributed text: alignment, spacing between lines, indents,
// writing direction and how lines break. A small value stored in a QVariant under
// ParagraphStyleAttributeName; the paragraph's first character decides for the paragraph.

#include <QMetaType>
#include <QtGlobal>

namespace platform {

struct ParagraphStyle
{
    // The numbers are those the stored documents use.
    enum class Alignment : int { Left = 0, Right = 1, Center = 2, Justified = 3, Natural = 4 };
    enum class WritingDirection : int { Natural = -1, LeftToRight = 0, RightToLeft = 1 };
    enum class LineBreakMode : int {
        WordWrapping = 0,
        CharWrapping = 1,
        Clipping = 2,
        TruncatingHead = 3,   // laid out like Clipping: no ellipsis is drawn
        TruncatingTail = 4,   // ditto
        TruncatingMiddle = 5, // ditto
    };

    Alignment alignment = Alignment::Natural;
    // Extra space below each line, in points.
    qreal lineSpacing = 0;
    // The natural line height times this factor; 0 (or less) leaves it as it is.
    qreal lineHeightMultiple = 0;
    // Extra space below the paragraph's last line, in points.
    qreal paragraphSpacing = 0;
    // Distance of the first line's leading edge from the leading margin.
    qreal firstLineHeadIndent = 0;
    // Distance of the other lines' leading edge from the leading margin.
    qreal headIndent = 0;
    // Positive: the line's trailing edge measured from the leading margin; zero or
    // negative: the distance of the trailing edge from the trailing margin.
    qreal tailIndent = 0;
    WritingDirection baseWritingDirection = WritingDirection::Natural;
    LineBreakMode lineBreakMode = LineBreakMode::WordWrapping;

    bool operator==(const ParagraphStyle&) const = default;

    // The style of text without a paragraph style attribute.
    static const ParagraphStyle& defaultParagraphStyle();
};

} // namespace platform

Q_DECLARE_METATYPE(platform::ParagraphStyle)
