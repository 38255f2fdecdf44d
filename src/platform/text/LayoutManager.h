#pragma once

// Lays the text of a TextStorage out in a TextContainer and answers questions about the
// result: glyphs, which characters they show, where lines and glyphs are, how much of
// the container the text uses, glyph outlines; and draws glyphs.
//
// Glyphs are numbered in character order. Each grapheme cluster (a character with its
// combining marks) gives the glyphs the shaper made for it, and a ligature is one glyph
// for all of its characters; characters the shaper draws nothing for (tabs, line and
// paragraph breaks, other controls) get a glyph of their own that is not shown.
//
// Geometry is in container coordinates, y down: lines are stacked from the container's
// top; a line fragment rect spans the container's width and the line's height plus the
// paragraph's line spacing; a glyph's location is its baseline origin relative to its
// line fragment's top left. Lines start lineFragmentPadding in from the left edge.
// A paragraph takes its style from its first character; tabs stop every 28 points.
// Text that does not fit the container's height is left out of it: only the lines
// before the first one that would cross the bottom edge are in the container.
//
// Layout is done on demand and redone after any change of the text, the container or
// its size. A layout is kept with the text storage until the text changes, for every
// layout manager that lays the same text out in a container of the same size, so text
// measured and drawn again, or borrowed by one layout manager after another, is not laid
// out again. A layout manager without a text storage has no glyphs. The text view of its
// container (if any) hears of every edit of the text and of a change of text storage.

#include "platform/core/Range.h"
#include "platform/text/AttributedString.h"

#include <QList>
#include <QPointF>
#include <QRectF>

#include <memory>

class QPainter;
class QPainterPath;
class QRawFont;

namespace platform {

class TextContainer;
class TextStorage;

class LayoutManager
{
public:
    LayoutManager();
    LayoutManager(const LayoutManager&) = delete;
    LayoutManager& operator=(const LayoutManager&) = delete;
    ~LayoutManager(); // detaches from its text storage

    // Set by TextStorage::addLayoutManager / removeLayoutManager.
    TextStorage* textStorage() const { return _textStorage; }

    // The one container the text is laid into; null until one is set.
    TextContainer* textContainer() const { return _textContainer.get(); }
    void setTextContainer(std::unique_ptr<TextContainer> container);

    // Drops the layout; the next question takes the text's layout for the container
    // again (laid out anew when the text or the container's size changed).
    void invalidateLayout();
    // Lays the text out now (questions do it anyway when needed).
    void ensureLayoutForTextContainer(const TextContainer* container) const;

    // --- Glyphs ---
    qsizetype numberOfGlyphs() const;
    // The glyph's number in its font (0 for glyphs that are not shown).
    quint32 glyphAtIndex(qsizetype glyphIndex) const;
    // The font the glyph was taken from (fallback fonts included), sized in points; an
    // invalid font for glyphs that are not shown.
    QRawFont fontForGlyphAtIndex(qsizetype glyphIndex) const;
    // The glyph's outline with its baseline origin at (0, 0), y down (so the ascent
    // lies at negative y); empty for glyphs that are not shown.
    QPainterPath outlineForGlyphAtIndex(qsizetype glyphIndex) const;
    // Glyphs that stand for controls (tabs, breaks) and draw nothing.
    bool notShownAttributeForGlyphAtIndex(qsizetype glyphIndex) const;

    // --- Characters and glyphs ---
    // The first character the glyph shows; the text length past the last glyph.
    qsizetype characterIndexForGlyphAtIndex(qsizetype glyphIndex) const;
    // The first glyph of the cluster or ligature that shows the character; the number
    // of glyphs past the end of the text.
    qsizetype glyphIndexForCharacterAtIndex(qsizetype characterIndex) const;
    // All glyphs showing any of the characters; actualCharacterRange receives all
    // characters those glyphs show (a range inside a ligature or cluster grows to it).
    Range glyphRangeForCharacterRange(const Range& characterRange,
                                      Range* actualCharacterRange = nullptr) const;
    // All characters shown by the glyphs; actualGlyphRange receives all glyphs showing
    // those characters.
    Range characterRangeForGlyphRange(const Range& glyphRange,
                                      Range* actualGlyphRange = nullptr) const;

    // --- The container ---
    // The glyphs laid into the container (empty for any other container).
    Range glyphRangeForTextContainer(const TextContainer* container) const;
    // The part of the container the text uses: all lines' used rects, with the extra
    // line fragment when there is one.
    QRectF usedRectForTextContainer(const TextContainer* container) const;
    // The glyphs of every line whose fragment meets rect.
    Range glyphRangeForBoundingRect(const QRectF& rect, const TextContainer* container) const;
    // The rectangle enclosing the glyphs: across their advances, and down each of their
    // lines from the line's top through its height (without the line spacing). An empty
    // range gives a zero-width rectangle at the glyph's place on its line.
    QRectF boundingRectForGlyphRange(const Range& glyphRange, const TextContainer* container) const;
    // One rectangle per line for the characters' glyphs, each spanning its line fragment's
    // height; nothing for an empty range.
    QList<QRectF> rectArrayForCharacterRange(const Range& characterRange,
                                             const TextContainer* container) const;

    // --- Lines ---
    // The fragment rect of the glyph's line; effectiveGlyphRange receives the line's
    // glyphs. The zero rectangle for a glyph outside the container.
    QRectF lineFragmentRectForGlyphAtIndex(qsizetype glyphIndex,
                                           Range* effectiveGlyphRange = nullptr) const;
    // The part of that fragment the line uses: from lineFragmentPadding before its first
    // glyph to lineFragmentPadding after its last one (trailing white space does not
    // count), with the line's height without the line spacing.
    QRectF lineFragmentUsedRectForGlyphAtIndex(qsizetype glyphIndex,
                                               Range* effectiveGlyphRange = nullptr) const;
    // The glyph's baseline origin relative to its line fragment's top left.
    QPointF locationForGlyphAtIndex(qsizetype glyphIndex) const;
    // The line for the insertion point after a final paragraph break, or in empty text;
    // the zero rectangle when there is none.
    QRectF extraLineFragmentRect() const;
    QRectF extraLineFragmentUsedRect() const;

    // --- Temporary attributes: drawing only, the text is not changed ---
    // Only ForegroundColorAttributeName changes the drawing (it wins over the text's
    // colour). They are kept across edits of the text (inserted characters get none) and
    // dropped when the layout manager joins or leaves a text storage.
    void setTemporaryAttributes(const QVariantMap& attributes, const Range& characterRange);
    void addTemporaryAttribute(const QString& name, const QVariant& value,
                               const Range& characterRange);
    void removeTemporaryAttribute(const QString& name, const Range& characterRange);
    QVariantMap temporaryAttributesAtCharacterIndex(qsizetype characterIndex,
                                                    Range* effectiveRange = nullptr) const;

    // --- Drawing ---
    // Draws the shown glyphs of the range that lie in the container, the container's
    // origin placed at origin in the painter's coordinates: colours, underline,
    // strikethrough, stroke and shadow from the attributes.
    void drawGlyphsForGlyphRange(const Range& glyphRange, const QPointF& origin,
                                 QPainter& painter) const;

    struct Layout; // the laid-out state; defined for the platform library only

private:
    friend class TextStorage;
    void setTextStorage(TextStorage* storage);
    void textStorageEdited(int mask, const Range& editedRange, qsizetype changeInLength);
    const Layout& layout() const;
    void resetTemporaryAttributes();
    // The temporary attributes, made over the text's length when first needed.
    AttributedString& temporaryAttributes();

    TextStorage* _textStorage = nullptr;
    std::unique_ptr<TextContainer> _textContainer;
    // Its characters mean nothing, only its runs; empty while none were given.
    AttributedString _temporaryAttributes;
    mutable std::shared_ptr<const Layout> _layout; // null until asked for
};

} // namespace platform
