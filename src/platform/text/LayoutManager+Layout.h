#pragma once

// The laid-out state of a LayoutManager: what the typesetter (LayoutManager+Layout.cpp)
// produces and the questions and the drawing read. Internal to the platform library.

#include "platform/text/LayoutManager.h"
#include "platform/text/ParagraphStyle.h"

#include <QFont>
#include <QHash>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRawFont>
#include <QRectF>
#include <QSizeF>

#include <memory>

namespace platform {

class AttributedString;

struct LayoutManager::Layout
{
    struct Glyph
    {
        quint32 glyph = 0;
        int font = -1;           // index into fonts; -1 for glyphs that are not shown
        qsizetype character = 0; // first character shown
        int line = 0;            // index into lines
        bool shown = false;
        QPointF location; // baseline origin relative to the line fragment's top left
        // The glyph's advance across its line, in line fragment coordinates: its cluster's
        // (or ligature's) span for the first glyph of a cluster, zero width for the others.
        qreal left = 0;
        qreal right = 0;
    };

    struct Line
    {
        QRectF fragment; // container coordinates
        QRectF used;     // container coordinates
        Range glyphs;
        qreal baseline = 0; // distance of the baseline from the fragment's top
        bool inContainer = false;
    };

    Layout() = default;
    Layout(const Layout&) = default;
    Layout(Layout&&) = default;
    Layout& operator=(const Layout&) = default;
    Layout& operator=(Layout&&) = default;
    // Hands its glyph tables on to the next layout made (see typeset()).
    ~Layout();

    QList<QRawFont> fonts;
    QList<Glyph> glyphs;
    QList<qsizetype> glyphForCharacter; // one entry per character
    QList<Line> lines;
    qsizetype glyphsInContainer = 0; // the container holds glyphs [0, glyphsInContainer)
    QRectF usedRect;
    QRectF extraFragment;
    QRectF extraUsed;
    bool hasExtraFragment = false;

    // The outline of glyph g (see LayoutManager::outlineForGlyphAtIndex), kept with the
    // layout once asked for: a laid-out text is turned into outlines again and again.
    QPainterPath outline(qsizetype g) const;

    // Lays text out in a container of the given size and padding; inContainer false
    // lays it out at that width with no line in any container.
    void typeset(const AttributedString& text, const QSizeF& containerSize, qreal padding,
                 bool hasContainer);

    // The characters shown by glyph g: from its first character to the next glyph's
    // first character that differs, or the end of the text.
    Range characterRangeOfGlyph(qsizetype g, qsizetype textLength) const;

    // The QFont the layout uses for a character with these attributes: its size in
    // points is the font's pixel size, kerning and letter spacing from the kern attribute.
    static QFont layoutFont(const QVariantMap& attributes);
    // The point size a font attribute value stands for (12 when none).
    static qreal pointSize(const QVariantMap& attributes);
    static ParagraphStyle paragraphStyle(const QVariantMap& attributes);
    // A number attribute (0 when absent or not a number).
    static qreal number(const QVariantMap& attributes, const QString& name, qreal limit);

    // Stored text may carry any numbers: lengths are kept finite and within +-limit,
    // so that nothing overflows the fixed-point numbers of text layout and painting.
    static qreal sane(qreal value, qreal limit);
    static constexpr qreal MaximumLength = 10000000;
    static constexpr qreal MaximumPointSize = 10000;

private:
    // By font (high half) and glyph number.
    mutable QHash<quint64, QPainterPath> _outlines;
};

// The layouts of one text as it is, by container; kept with its text storage and
// dropped when the text changes.
struct TextLayoutCache
{
    struct Entry
    {
        QSizeF containerSize;
        qreal padding = 0;
        bool hasContainer = false;
        std::shared_ptr<const LayoutManager::Layout> layout;
    };
    // A text box is measured and drawn in a few container sizes.
    static constexpr qsizetype Capacity = 4;
    QList<Entry> entries; // the most recently used last
};

} // namespace platform
