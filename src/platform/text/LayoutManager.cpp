#include "platform/text/LayoutManager.h"

#include "platform/text/LayoutManager+Layout.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/TextView.h"

#include <QPainterPath>
#include <QRawFont>

#include <algorithm>
#include <limits>

namespace platform {

LayoutManager::LayoutManager() = default;

LayoutManager::~LayoutManager()
{
    if (_textStorage)
        _textStorage->removeLayoutManager(this);
    if (_textContainer)
        _textContainer->_layoutManager = nullptr;
}

void LayoutManager::setTextContainer(std::unique_ptr<TextContainer> container)
{
    if (_textContainer)
        _textContainer->_layoutManager = nullptr;
    _textContainer = std::move(container);
    if (_textContainer)
        _textContainer->_layoutManager = this;
    invalidateLayout();
}

void LayoutManager::invalidateLayout()
{
    _layout.reset();
}

void LayoutManager::ensureLayoutForTextContainer(const TextContainer*) const
{
    layout();
}

const LayoutManager::Layout& LayoutManager::layout() const
{
    if (_layout)
        return *_layout;
    if (!_textStorage) {
        static const auto nothing = std::make_shared<const Layout>();
        _layout = nothing;
        return *_layout;
    }
    const TextContainer* container = _textContainer.get();
    TextLayoutCache::Entry wanted;
    wanted.containerSize = container ? container->containerSize() : TextContainer().containerSize();
    wanted.padding = container ? container->lineFragmentPadding() : 0;
    wanted.hasContainer = container != nullptr;

    // The text's own layout for a container like this one, when it has one.
    std::shared_ptr<TextLayoutCache>& cache = _textStorage->_layouts;
    if (!cache)
        cache = std::make_shared<TextLayoutCache>();
    QList<TextLayoutCache::Entry>& entries = cache->entries;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const TextLayoutCache::Entry& entry = entries.at(i);
        // Exact sizes: a layout laid out for another width may break its lines elsewhere.
        if (entry.containerSize.width() == wanted.containerSize.width()
            && entry.containerSize.height() == wanted.containerSize.height()
            && entry.padding == wanted.padding && entry.hasContainer == wanted.hasContainer) {
            entries.move(i, entries.size() - 1);
            _layout = entries.constLast().layout;
            return *_layout;
        }
    }
    auto laidOut = std::make_shared<Layout>();
    laidOut->typeset(_textStorage->attributedString(), wanted.containerSize, wanted.padding,
                     wanted.hasContainer);
    wanted.layout = laidOut;
    if (entries.size() >= TextLayoutCache::Capacity)
        entries.removeFirst();
    entries.append(wanted);
    _layout = std::move(laidOut);
    return *_layout;
}

void LayoutManager::setTextStorage(TextStorage* storage)
{
    _textStorage = storage;
    resetTemporaryAttributes();
    invalidateLayout();
    if (TextView* view = _textContainer ? _textContainer->textView() : nullptr)
        view->textStorageChanged();
}

void LayoutManager::textStorageEdited(int mask, const Range& editedRange, qsizetype changeInLength)
{
    if ((mask & TextStorage::EditedCharacters) && !_temporaryAttributes.isEmpty()) {
        // Keep the temporary attributes on the characters they were given to.
        const Range before(editedRange.location, editedRange.length - changeInLength);
        _temporaryAttributes.replaceCharactersInRange(before, QString(editedRange.length, u' '));
        _temporaryAttributes.setAttributes({}, editedRange);
    }
    invalidateLayout();
    if (TextView* view = _textContainer ? _textContainer->textView() : nullptr)
        view->textStorageEdited(mask, editedRange, changeInLength);
}

void LayoutManager::resetTemporaryAttributes()
{
    // None until the first is given (see temporaryAttributes()): a text drawn once, as each
    // label of a printed sheet is, makes none.
    _temporaryAttributes = AttributedString();
}

AttributedString& LayoutManager::temporaryAttributes()
{
    const qsizetype length = _textStorage ? _textStorage->length() : 0;
    if (_temporaryAttributes.length() != length)
        _temporaryAttributes = AttributedString(QString(length, u' '));
    return _temporaryAttributes;
}

// --- Glyphs ---

qsizetype LayoutManager::numberOfGlyphs() const
{
    return layout().glyphs.size();
}

quint32 LayoutManager::glyphAtIndex(qsizetype glyphIndex) const
{
    const Layout& l = layout();
    return glyphIndex >= 0 && glyphIndex < l.glyphs.size() ? l.glyphs.at(glyphIndex).glyph : 0;
}

QRawFont LayoutManager::fontForGlyphAtIndex(qsizetype glyphIndex) const
{
    const Layout& l = layout();
    if (glyphIndex < 0 || glyphIndex >= l.glyphs.size() || l.glyphs.at(glyphIndex).font < 0)
        return QRawFont();
    return l.fonts.at(l.glyphs.at(glyphIndex).font);
}

QPainterPath LayoutManager::outlineForGlyphAtIndex(qsizetype glyphIndex) const
{
    const Layout& l = layout();
    if (glyphIndex < 0 || glyphIndex >= l.glyphs.size())
        return QPainterPath();
    return l.outline(glyphIndex);
}

bool LayoutManager::notShownAttributeForGlyphAtIndex(qsizetype glyphIndex) const
{
    const Layout& l = layout();
    return glyphIndex < 0 || glyphIndex >= l.glyphs.size() || !l.glyphs.at(glyphIndex).shown;
}

// --- Characters and glyphs ---

qsizetype LayoutManager::characterIndexForGlyphAtIndex(qsizetype glyphIndex) const
{
    const Layout& l = layout();
    if (glyphIndex < 0)
        return 0;
    if (glyphIndex >= l.glyphs.size())
        return l.glyphForCharacter.size();
    return l.glyphs.at(glyphIndex).character;
}

qsizetype LayoutManager::glyphIndexForCharacterAtIndex(qsizetype characterIndex) const
{
    const Layout& l = layout();
    if (characterIndex < 0)
        return 0;
    if (characterIndex >= l.glyphForCharacter.size())
        return l.glyphs.size();
    return l.glyphForCharacter.at(characterIndex);
}

Range LayoutManager::glyphRangeForCharacterRange(const Range& characterRange,
                                                 Range* actualCharacterRange) const
{
    const Layout& l = layout();
    const qsizetype length = l.glyphForCharacter.size();
    const Range characters = characterRange.clampedTo(length);
    if (characters.isEmpty()) {
        if (actualCharacterRange)
            *actualCharacterRange = characters;
        return Range(glyphIndexForCharacterAtIndex(characters.location), 0);
    }
    const qsizetype first = l.glyphForCharacter.at(characters.location);
    qsizetype end = l.glyphForCharacter.at(characters.end() - 1) + 1;
    // The other glyphs of the last cluster (marks after its first glyph).
    while (end < l.glyphs.size() && l.glyphs.at(end).character == l.glyphs.at(end - 1).character)
        ++end;
    if (actualCharacterRange) {
        const qsizetype start = l.glyphs.at(first).character;
        *actualCharacterRange =
            Range(start, l.characterRangeOfGlyph(end - 1, length).end() - start);
    }
    return Range(first, end - first);
}

Range LayoutManager::characterRangeForGlyphRange(const Range& glyphRange,
                                                 Range* actualGlyphRange) const
{
    const Layout& l = layout();
    const qsizetype length = l.glyphForCharacter.size();
    const Range glyphs = glyphRange.clampedTo(l.glyphs.size());
    if (glyphs.isEmpty()) {
        if (actualGlyphRange)
            *actualGlyphRange = glyphs;
        return Range(characterIndexForGlyphAtIndex(glyphs.location), 0);
    }
    const qsizetype start = l.glyphs.at(glyphs.location).character;
    const Range characters(start, l.characterRangeOfGlyph(glyphs.end() - 1, length).end() - start);
    if (actualGlyphRange)
        *actualGlyphRange = glyphRangeForCharacterRange(characters);
    return characters;
}

// --- The container ---

Range LayoutManager::glyphRangeForTextContainer(const TextContainer* container) const
{
    if (!container || container != _textContainer.get())
        return Range();
    return Range(0, layout().glyphsInContainer);
}

QRectF LayoutManager::usedRectForTextContainer(const TextContainer* container) const
{
    if (!container || container != _textContainer.get())
        return QRectF();
    return layout().usedRect;
}

Range LayoutManager::glyphRangeForBoundingRect(const QRectF& rect,
                                               const TextContainer* container) const
{
    if (!container || container != _textContainer.get())
        return Range();
    const Layout& l = layout();
    qsizetype start = -1;
    qsizetype end = -1;
    for (const Layout::Line& line : l.lines) {
        if (!line.inContainer)
            break;
        const QRectF& f = line.fragment;
        const bool meets = f.top() < rect.bottom() && f.bottom() > rect.top()
                           && f.left() < rect.right() && f.right() > rect.left();
        if (!meets)
            continue;
        if (start < 0)
            start = line.glyphs.location;
        end = line.glyphs.end();
    }
    return start < 0 ? Range() : Range(start, end - start);
}

QRectF LayoutManager::boundingRectForGlyphRange(const Range& glyphRange,
                                                const TextContainer* container) const
{
    if (!container || container != _textContainer.get())
        return QRectF();
    const Layout& l = layout();
    const Range glyphs = glyphRange.clampedTo(l.glyphsInContainer);
    if (glyphs.isEmpty()) {
        // The place where a glyph would go: before glyph location, or after the last.
        if (glyphs.location < l.glyphsInContainer) {
            const Layout::Glyph& glyph = l.glyphs.at(glyphs.location);
            const Layout::Line& line = l.lines.at(glyph.line);
            return QRectF(glyph.left, line.fragment.top(), 0, line.used.height());
        }
        if (glyphs.location > 0) {
            const Layout::Glyph& glyph = l.glyphs.at(glyphs.location - 1);
            const Layout::Line& line = l.lines.at(glyph.line);
            return QRectF(glyph.right, line.fragment.top(), 0, line.used.height());
        }
        return QRectF();
    }
    qreal left = std::numeric_limits<qreal>::max();
    qreal right = std::numeric_limits<qreal>::lowest();
    qreal top = left;
    qreal bottom = right;
    for (qsizetype g = glyphs.location; g < glyphs.end(); ++g) {
        const Layout::Glyph& glyph = l.glyphs.at(g);
        const Layout::Line& line = l.lines.at(glyph.line);
        left = std::min(left, glyph.left);
        right = std::max(right, glyph.right);
        top = std::min(top, line.fragment.top());
        bottom = std::max(bottom, line.fragment.top() + line.used.height());
    }
    return QRectF(left, top, right - left, bottom - top);
}

QList<QRectF> LayoutManager::rectArrayForCharacterRange(const Range& characterRange,
                                                        const TextContainer* container) const
{
    QList<QRectF> rects;
    if (!container || container != _textContainer.get() || characterRange.isEmpty())
        return rects;
    const Layout& l = layout();
    const Range glyphs = glyphRangeForCharacterRange(characterRange).clampedTo(l.glyphsInContainer);
    int currentLine = -1;
    for (qsizetype g = glyphs.location; g < glyphs.end(); ++g) {
        const Layout::Glyph& glyph = l.glyphs.at(g);
        const QRectF& fragment = l.lines.at(glyph.line).fragment;
        if (glyph.line != currentLine) {
            currentLine = glyph.line;
            rects.append(
                QRectF(glyph.left, fragment.top(), glyph.right - glyph.left, fragment.height()));
            continue;
        }
        QRectF& rect = rects.last();
        const qreal left = std::min(rect.left(), glyph.left);
        const qreal right = std::max(rect.right(), glyph.right);
        rect.setLeft(left);
        rect.setRight(right);
    }
    return rects;
}

// --- Lines ---

namespace {

// The line holding a laid-out glyph, nullptr for a glyph outside the container; reports the
// line's glyph range (empty when there is no line).
const LayoutManager::Layout::Line* lineOfGlyph(const LayoutManager::Layout& l, qsizetype glyphIndex,
                                               Range* effectiveGlyphRange)
{
    const bool laidOut = glyphIndex >= 0 && glyphIndex < l.glyphsInContainer;
    const LayoutManager::Layout::Line* line =
        laidOut ? &l.lines.at(l.glyphs.at(glyphIndex).line) : nullptr;
    if (effectiveGlyphRange)
        *effectiveGlyphRange = line ? line->glyphs : Range();
    return line;
}

} // namespace

QRectF LayoutManager::lineFragmentRectForGlyphAtIndex(qsizetype glyphIndex,
                                                      Range* effectiveGlyphRange) const
{
    const Layout::Line* line = lineOfGlyph(layout(), glyphIndex, effectiveGlyphRange);
    return line ? line->fragment : QRectF();
}

QRectF LayoutManager::lineFragmentUsedRectForGlyphAtIndex(qsizetype glyphIndex,
                                                          Range* effectiveGlyphRange) const
{
    const Layout::Line* line = lineOfGlyph(layout(), glyphIndex, effectiveGlyphRange);
    return line ? line->used : QRectF();
}

QPointF LayoutManager::locationForGlyphAtIndex(qsizetype glyphIndex) const
{
    const Layout& l = layout();
    if (glyphIndex < 0 || glyphIndex >= l.glyphs.size())
        return QPointF();
    return l.glyphs.at(glyphIndex).location;
}

QRectF LayoutManager::extraLineFragmentRect() const
{
    const Layout& l = layout();
    return l.hasExtraFragment ? l.extraFragment : QRectF();
}

QRectF LayoutManager::extraLineFragmentUsedRect() const
{
    const Layout& l = layout();
    return l.hasExtraFragment ? l.extraUsed : QRectF();
}

// --- Temporary attributes ---

void LayoutManager::setTemporaryAttributes(const QVariantMap& attributes,
                                           const Range& characterRange)
{
    temporaryAttributes().setAttributes(attributes, characterRange);
}

void LayoutManager::addTemporaryAttribute(const QString& name, const QVariant& value,
                                          const Range& characterRange)
{
    temporaryAttributes().addAttribute(name, value, characterRange);
}

void LayoutManager::removeTemporaryAttribute(const QString& name, const Range& characterRange)
{
    if (!_temporaryAttributes.isEmpty())
        _temporaryAttributes.removeAttribute(name, characterRange);
}

QVariantMap LayoutManager::temporaryAttributesAtCharacterIndex(qsizetype characterIndex,
                                                               Range* effectiveRange) const
{
    if (_temporaryAttributes.isEmpty() && effectiveRange) {
        // None given: one run of nothing over the whole text.
        const qsizetype length = _textStorage ? _textStorage->length() : 0;
        *effectiveRange = characterIndex >= 0 && characterIndex < length
                              ? Range(0, length)
                              : Range(std::clamp<qsizetype>(characterIndex, 0, length), 0);
        return {};
    }
    return _temporaryAttributes.attributesAtIndex(characterIndex, effectiveRange);
}

} // namespace platform
