// The text box's share of the text system: the one layout manager every box borrows,
// measuring, automatic sizing, glyph outlines and block alignment.

#include "graphics/LBTextArea.h"

#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"

#include <QPainterPath>
#include <QTimer>

#include <algorithm>
#include <limits>

using platform::LayoutManager;
using platform::Range;
using platform::TextContainer;
using platform::TextStorage;

namespace {

// The container height that stands for "no limit" when measuring the height of text.
constexpr double UnlimitedHeight = std::numeric_limits<float>::max();

bool isParagraphTerminator(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar(0x2029);
}

} // namespace

// --- The shared layout ---

LayoutManager& LBTextArea::textAreaLayoutManager()
{
    // Kept for the life of the process (never destroyed, so it cannot outlive the font
    // system at exit); between operations it lays out nothing.
    static LayoutManager* const manager = [] {
        auto* layoutManager = new LayoutManager;
        layoutManager->setTextContainer(
            std::make_unique<TextContainer>(QSizeF(maxSize().width(), maxSize().height())));
        return layoutManager;
    }();
    return *manager;
}

LBTextArea::SharedLayout::SharedLayout(TextStorage& storage, const QSizeF& containerSize)
    : _layoutManager(textAreaLayoutManager()),
      _container(_layoutManager.textContainer()),
      _storage(&storage),
      _previousStorage(_layoutManager.textStorage()),
      _previousSize(_container->containerSize())
{
    _container->setContainerSize(containerSize);
    storage.addLayoutManager(&_layoutManager);
    _layoutManager.invalidateLayout();
}

LBTextArea::SharedLayout::~SharedLayout()
{
    _container->setContainerSize(_previousSize);
    if (_previousStorage == _storage)
        return; // an operation inside another one on the same text
    _storage->removeLayoutManager(&_layoutManager);
    if (_previousStorage) {
        _previousStorage->addLayoutManager(&_layoutManager);
    } else {
        // Lay out "nothing": the shared manager keeps no text's glyphs or fonts between
        // operations (the text keeps its own).
        _layoutManager.ensureLayoutForTextContainer(_container);
    }
}

Range LBTextArea::SharedLayout::glyphRange() const
{
    return _layoutManager.glyphRangeForTextContainer(_container);
}

// --- Measuring ---

QSizeF LBTextArea::requiredSize(double widthLimit) const
{
    QSizeF size = minSize();
    if (!hasText())
        return size;
    const SharedLayout layout(*_contents,
                              QSizeF(std::min(maxSize().width(), widthLimit), maxSize().height()));
    layout.layoutManager().ensureLayoutForTextContainer(layout.container());
    const QRectF used = layout.layoutManager().usedRectForTextContainer(layout.container());
    size.setWidth(std::max(size.width(), used.width() + 1.0));
    size.setHeight(std::max(size.height(), used.height()));
    return size;
}

double LBTextArea::textHeight() const
{
    if (!hasText())
        return 0.0;
    const SharedLayout layout(*_contents, QSizeF(bounds().width(), UnlimitedHeight));
    layout.layoutManager().ensureLayoutForTextContainer(layout.container());
    return layout.layoutManager().usedRectForTextContainer(layout.container()).height();
}

// --- Automatic sizing ---

void LBTextArea::autoResizeBounds()
{
    if (_autoResizeBoundsTimer)
        _autoResizeBoundsTimer->stop();
    const qint64 alignment = textAlignment();
    const QSizeF size = requiredSize(maxSize().width());
    QRectF b = bounds();
    if (alignment == 1)
        b.translate(-(size.width() - b.width()), 0.0); // keeps the right edge
    else if (alignment == 2)
        b.translate(-0.5 * (size.width() - b.width()), 0.0); // keeps the centre
    b.setSize(size);
    setBounds(b);
}

// --- Glyph outlines ---

std::optional<platform::BezierPath> LBTextArea::textPath() const
{
    const std::optional<QList<QPainterPath>> glyphs = glyphOutlines();
    if (!glyphs)
        return std::nullopt;
    QPainterPath outlines;
    for (const QPainterPath& glyph : *glyphs)
        outlines.addPath(glyph);
    if (outlines.isEmpty())
        return platform::BezierPath();
    platform::BezierPath path = platform::BezierPath::fromPainterPath(outlines);
    path.setWindingRule(platform::BezierPath::WindingRule::NonZero);
    return path;
}

std::optional<QList<QPainterPath>> LBTextArea::glyphOutlines(const QPointF& origin) const
{
    if (!hasText())
        return std::nullopt;
    const QRectF b = bounds();
    const SharedLayout layout(*_contents, QSizeF(b.width(), b.height() + 1000.0));
    const LayoutManager& manager = layout.layoutManager();
    const Range glyphs = layout.glyphRange();

    QList<QPainterPath> outlines;
    // Every line sits on the descent of the first shown glyph: its baseline lies that far
    // above the bottom of its line fragment.
    std::optional<double> descent;
    for (qsizetype g = glyphs.location; g < glyphs.end() && !descent; ++g) {
        if (manager.notShownAttributeForGlyphAtIndex(g))
            continue;
        descent = manager.lineFragmentRectForGlyphAtIndex(g).height()
                  - manager.locationForGlyphAtIndex(g).y();
    }
    if (!descent)
        return outlines;

    for (qsizetype g = glyphs.location; g < glyphs.end();) {
        Range range;
        const QRectF fragment = manager.lineFragmentRectForGlyphAtIndex(g, &range);
        const qsizetype lineEnd = std::min(std::max(range.end(), g + 1), glyphs.end());
        const double baseline = origin.y() + fragment.y() + fragment.height() - *descent;
        for (; g < lineEnd; ++g) {
            if (manager.notShownAttributeForGlyphAtIndex(g))
                continue;
            const double x = origin.x() + manager.locationForGlyphAtIndex(g).x() + fragment.x();
            QPainterPath outline = manager.outlineForGlyphAtIndex(g).translated(x, baseline);
            if (!outline.isEmpty())
                outlines.append(outline);
        }
    }
    return outlines;
}

// --- Block alignment ---

QSizeF LBTextArea::blockAlignmentDeltaForText(const platform::AttributedString& text) const
{
    // As drawn: straight text not painted through its glyphs (a fill image or gradient)
    // is the only text moved by the block alignment.
    const bool painted = imageOfType(FillImageType) || _textGradientType != 0;
    if (_isCurved || painted || (_horizontalAlignment == 0 && _verticalAlignment == 0))
        return QSizeF(0.0, 0.0);
    TextStorage storage;
    storage.setAttributedString(text);
    const QRectF b = bounds();
    const SharedLayout layout(storage, QSizeF(b.width(), b.height() + 1000.0));
    const QPointF origin = blockAlignedOrigin(layout, nullptr);
    return QSizeF(origin.x() - b.x(), origin.y() - b.y());
}

QPointF LBTextArea::blockAlignedOrigin(const SharedLayout& layout, double* textBlockHeight) const
{
    const QRectF b = bounds();
    const LayoutManager& manager = layout.layoutManager();
    const TextContainer* container = layout.container();
    QPointF origin = b.topLeft();

    const qint64 alignment = _isCurved || _horizontalAlignment == 0 ? 0 : textAlignment();
    if (!_isCurved && _horizontalAlignment != 0 && (alignment == 0 || alignment == 1)) {
        // The widest paragraph, measured from the container's left edge (left text) or to
        // its right edge (right text); a POSTNET barcode under the address counts too.
        const platform::AttributedString& text = layout.storage().attributedString();
        const QString string = text.string();
        double width = 0.0;
        for (qsizetype i = 0; i < text.length();) {
            const Range paragraph = text.paragraphRange(i);
            // Without its terminator: a final paragraph without one keeps all its characters.
            Range characters = paragraph;
            while (characters.length > 0 && isParagraphTerminator(string.at(characters.end() - 1)))
                --characters.length;
            const QRectF r = manager.boundingRectForGlyphRange(
                manager.glyphRangeForCharacterRange(characters), container);
            width = std::max(width, alignment == 0 ? r.right() : b.width() - r.x());
            i = std::max(paragraph.end(), i + 1);
        }
        width = std::max(width, _postnetBarcodeWidth);
        if (alignment == 0) {
            if (_horizontalAlignment == 2)
                origin.setX(b.x() + b.width() - width - 12.0);
            else if (_horizontalAlignment == 1)
                origin.setX(b.x() + (b.width() - width) / 2.0 - 8.0);
        } else {
            if (_horizontalAlignment == 2)
                origin.setX(b.x() - b.width() + width + 4.0);
            else if (_horizontalAlignment == 1)
                origin.setX(b.x() - (b.width() - width) / 2.0);
        }
    }

    double height = 0.0;
    if (_verticalAlignment != 0 || _textBoxType == DeliveryAddressBox)
        height = manager.boundingRectForGlyphRange(layout.glyphRange(), container).height();
    if (_verticalAlignment == 2)
        origin.setY(b.y() + b.height() - height);
    else if (_verticalAlignment == 1)
        origin.setY(b.y() + (b.height() - height) / 2.0);
    if (textBlockHeight)
        *textBlockHeight = height;
    return origin;
}
