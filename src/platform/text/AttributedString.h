#pragma once

// Text with attributes: a string plus runs of attribute dictionaries covering it. Every
// character has exactly one dictionary (possibly empty); neighbouring characters with
// equal dictionaries form one run. A value type: copies are cheap until one of them
// changes (implicitly shared).
//
// Ranges handed to the operations are clipped to the text; an index outside the text
// reads as having no attributes.

#include "platform/core/Range.h"

#include <QMetaType>
#include <QSharedDataPointer>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <memory>

class QFont;
class QPainter;
class QPointF;
class QRectF;
class QSizeF;

namespace platform {

class Image;

// The attributes the text system knows, with the types of their values. Any other name
// may be stored too (its QVariant is kept and compared but not interpreted).
inline const QString FontAttributeName = QStringLiteral("Font");                       // QFont
inline const QString ForegroundColorAttributeName = QStringLiteral("ForegroundColor"); // QColor
inline const QString ParagraphStyleAttributeName =
    QStringLiteral("ParagraphStyle"); // ParagraphStyle
// Extra space after each character, in points; 0 turns the font's pair kerning off.
inline const QString KernAttributeName = QStringLiteral("Kern");                // double
inline const QString UnderlineStyleAttributeName = QStringLiteral("Underline"); // int, 0 = none
inline const QString StrikethroughStyleAttributeName =
    QStringLiteral("Strikethrough"); // int, 0 = none
// Percent of the font size; positive strokes the outline only, negative fills and strokes.
inline const QString StrokeWidthAttributeName = QStringLiteral("StrokeWidth"); // double
inline const QString StrokeColorAttributeName = QStringLiteral("StrokeColor"); // QColor
inline const QString ShadowAttributeName = QStringLiteral("Shadow");           // Shadow
// Points the glyphs are raised above the baseline (negative lowers them).
inline const QString BaselineOffsetAttributeName = QStringLiteral("BaselineOffset"); // double
// An inline picture: the object replacement character carries the picture it stands for.
inline const QString AttachmentAttributeName =
    QStringLiteral("Attachment"); // std::shared_ptr<Image>
inline constexpr QChar AttachmentCharacter = QChar(0xFFFC);
// A link: the URL (QUrl) or its text (QString) the run stands for.
inline const QString LinkAttributeName = QStringLiteral("Link");

class AttributedString
{
public:
    AttributedString();
    // The whole string with one set of attributes.
    explicit AttributedString(const QString& string, const QVariantMap& attributes = {});
    // One attachment character holding the picture.
    static AttributedString attributedStringWithImage(const std::shared_ptr<Image>& image);
    AttributedString(const AttributedString&);
    AttributedString(AttributedString&&) noexcept;
    AttributedString& operator=(const AttributedString&);
    AttributedString& operator=(AttributedString&&) noexcept;
    ~AttributedString();

    // Same characters and the same attributes on every character.
    bool operator==(const AttributedString& other) const;
    bool operator!=(const AttributedString& other) const { return !(*this == other); }

    QString string() const;
    qsizetype length() const;
    bool isEmpty() const { return length() == 0; }

    // --- Reading attributes ---
    // The attributes of the character at index. effectiveRange receives the whole run of
    // characters around it that have exactly these attributes, limited to inRange when
    // one is given.
    QVariantMap attributesAtIndex(qsizetype index, Range* effectiveRange = nullptr) const;
    QVariantMap attributesAtIndex(qsizetype index, Range* longestEffectiveRange,
                                  const Range& inRange) const;
    // One attribute of the character at index (null when absent). effectiveRange
    // receives all characters around it with the same value of that attribute (absent
    // counts as a value), limited to inRange when one is given.
    QVariant attribute(const QString& name, qsizetype index, Range* effectiveRange = nullptr) const;
    QVariant attribute(const QString& name, qsizetype index, Range* longestEffectiveRange,
                       const Range& inRange) const;

    // The runs of range in text order: each call gets one maximal run of equal
    // attributes, cut to range. Set stop to end the walk early.
    using AttributesBlock =
        std::function<void(const QVariantMap& attributes, const Range& range, bool& stop)>;
    void enumerateAttributesInRange(const Range& range, const AttributesBlock& block) const;
    // The same for one attribute: neighbouring runs with an equal value of it are joined;
    // stretches without it are reported with a null value.
    using AttributeBlock =
        std::function<void(const QVariant& value, const Range& range, bool& stop)>;
    void enumerateAttribute(const QString& name, const Range& range,
                            const AttributeBlock& block) const;

    AttributedString attributedSubstringFromRange(const Range& range) const;

    // The range of the paragraph that holds index, with its terminator (line feed,
    // carriage return, CR LF, or paragraph separator U+2029) when it has one.
    Range paragraphRange(qsizetype index) const;

    // --- Changing ---
    // Plain text takes the attributes of the first replaced character; when nothing is
    // replaced, those of the character before the range, or failing that the one after.
    void replaceCharactersInRange(const Range& range, const QString& string);
    void replaceCharactersInRange(const Range& range, const AttributedString& string);
    void appendAttributedString(const AttributedString& string);
    void setAttributes(const QVariantMap& attributes, const Range& range);
    // A null value removes the attribute.
    void addAttribute(const QString& name, const QVariant& value, const Range& range);
    void addAttributes(const QVariantMap& attributes, const Range& range);
    void removeAttribute(const QString& name, const Range& range);

    // --- Measuring and drawing, laid out without a width limit ---
    // The font of text without a font attribute: the application font at 12 points.
    static QFont defaultFont();

    enum DrawingOption {
        UsesLineFragmentOrigin = 1, // the rectangle's origin is the top left of the first line
                                    // (otherwise it is the first line's baseline origin)
        UsesFontLeading = 2,        // accepted; line heights always include the leading
        UsesDeviceMetrics = 8,      // the glyphs' ink instead of their typographic bounds
    };
    // The size of the text with each paragraph on one line.
    QSizeF size() const;
    // The text shortened at its end with an ellipsis ("…", in the attributes of the last
    // character kept) so that it fits the width on one line; the text itself when it fits,
    // the ellipsis alone when nothing else does.
    AttributedString truncateWithEllipsisToWidth(qreal width) const;
    // The bounds of the text laid out within size (a zero width or height means no limit).
    QRectF boundingRectWithSize(const QSizeF& size, int options) const;
    // Draws the text with the top left corner of its first line at point.
    void drawAtPoint(const QPointF& point, QPainter& painter) const;

private:
    struct Data;
    QSharedDataPointer<Data> d;
};

} // namespace platform

// Attributed text held in a QVariant (edited-text entries, archives).
Q_DECLARE_METATYPE(platform::AttributedString)
