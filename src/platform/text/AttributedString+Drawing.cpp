// Measuring and drawing an attributed string on its own, through a layout manager of
// its own with a container without padding.

#include "platform/text/AttributedString.h"

#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <memory>

namespace platform {

namespace {

constexpr qreal Unlimited = 10000000;

// A text laid out in a container of the given size with no padding.
class StandaloneLayout
{
public:
    StandaloneLayout(const AttributedString& string, const QSizeF& size) : _storage(string)
    {
        auto container = std::make_unique<TextContainer>(size);
        container->setLineFragmentPadding(0);
        _container = container.get();
        _layoutManager.setTextContainer(std::move(container));
        _storage.addLayoutManager(&_layoutManager);
    }
    ~StandaloneLayout() { _storage.removeLayoutManager(&_layoutManager); }

    LayoutManager& layoutManager() { return _layoutManager; }
    const TextContainer* container() const { return _container; }
    Range glyphs() const { return _layoutManager.glyphRangeForTextContainer(_container); }
    QRectF usedRect() const { return _layoutManager.usedRectForTextContainer(_container); }

private:
    TextStorage _storage;
    LayoutManager _layoutManager;
    const TextContainer* _container = nullptr;
};

} // namespace

QFont AttributedString::defaultFont()
{
    QFont font = QGuiApplication::font();
    font.setPointSizeF(12);
    return font;
}

QSizeF AttributedString::size() const
{
    if (isEmpty())
        return QSizeF(0, 0);
    StandaloneLayout layout(*this, QSizeF(Unlimited, Unlimited));
    return layout.usedRect().size();
}

AttributedString AttributedString::truncateWithEllipsisToWidth(qreal width) const
{
    if (size().width() <= width)
        return *this;
    const QString ellipsis(QChar(0x2026));
    // The longest head that fits with the ellipsis: widths grow with the length.
    const auto shortened = [this, &ellipsis](qsizetype kept) {
        AttributedString head = attributedSubstringFromRange(Range(0, kept));
        head.replaceCharactersInRange(Range(kept, 0), ellipsis);
        return head;
    };
    qsizetype low = 0;
    qsizetype high = length();
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (shortened(middle).size().width() <= width)
            low = middle;
        else
            high = middle - 1;
    }
    return shortened(low);
}

QRectF AttributedString::boundingRectWithSize(const QSizeF& size, int options) const
{
    if (isEmpty())
        return QRectF();
    const bool fromLineOrigin = options & UsesLineFragmentOrigin;
    const bool limitedWidth = fromLineOrigin && size.width() > 0;
    const QSizeF limits(limitedWidth ? size.width() : Unlimited,
                        fromLineOrigin && size.height() > 0 ? size.height() : Unlimited);
    StandaloneLayout layout(*this, limits);
    LayoutManager& manager = layout.layoutManager();

    QRectF rect;
    if (options & UsesDeviceMetrics) {
        const Range glyphs = layout.glyphs();
        for (qsizetype g = glyphs.location; g < glyphs.end(); ++g) {
            const QRectF ink = manager.outlineForGlyphAtIndex(g).boundingRect();
            if (ink.isEmpty())
                continue;
            const QPointF place = manager.lineFragmentRectForGlyphAtIndex(g).topLeft()
                                  + manager.locationForGlyphAtIndex(g);
            rect = rect.isNull() ? ink.translated(place) : rect.united(ink.translated(place));
        }
    } else {
        rect = layout.usedRect();
    }
    // Without a width the alignment has nothing to align to: the text starts at x = 0.
    if (!limitedWidth)
        rect.translate(-layout.usedRect().left(), 0);
    // Otherwise the rectangle is relative to the first line's baseline origin.
    if (!fromLineOrigin && layout.glyphs().length > 0) {
        const QRectF firstLine = manager.lineFragmentRectForGlyphAtIndex(0);
        rect.translate(0, -(firstLine.top() + manager.locationForGlyphAtIndex(0).y()));
    }
    return rect;
}

void AttributedString::drawAtPoint(const QPointF& point, QPainter& painter) const
{
    if (isEmpty())
        return;
    StandaloneLayout layout(*this, QSizeF(Unlimited, Unlimited));
    layout.layoutManager().drawGlyphsForGlyphRange(
        layout.glyphs(), point - QPointF(layout.usedRect().left(), 0), painter);
}

} // namespace platform
