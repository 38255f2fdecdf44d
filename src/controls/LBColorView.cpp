#include "controls/LBColorView.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QPaintEvent>
#include <QPainter>

using namespace platform;

LBColorView::LBColorView(QWidget* parent)
    : QWidget(parent), _color(QColor::fromRgbF(0.78f, 0.78f, 0.78f))
{}

LBColorView::~LBColorView() = default;

void LBColorView::setColor(const QColor& color)
{
    _color = color;
    update();
}

void LBColorView::setImage(const std::shared_ptr<Image>& image)
{
    _image = image;
    update();
}

QList<QRectF> LBColorView::tilesForRect(const QSizeF& viewSize, const QSizeF& imageSize,
                                        const QRectF& dirtyRect)
{
    QList<QRectF> tiles;
    if (imageSize.isEmpty())
        return tiles;
    const qreal stepX = qMax<qreal>(1, imageSize.width() - 1);
    const qreal stepY = qMax<qreal>(1, imageSize.height() - 1);
    const QRectF area = dirtyRect & QRectF(QPointF(), viewSize);
    for (qreal y = 0; y <= viewSize.height(); y += stepY) {
        for (qreal x = 0; x <= viewSize.width(); x += stepX) {
            const QRectF tile(QPointF(x, y), imageSize);
            if (tile.intersects(area))
                tiles.append(tile);
        }
    }
    return tiles;
}

void LBColorView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (!_image) {
        painter.fillRect(event->rect(), _color);
        return;
    }
    GraphicsContext context(&painter, true);
    GraphicsContext::Scope scope(context);
    // Drawn off screen (render()), the whole view counts as visible.
    const QRegion visible = visibleRegion().isEmpty() ? QRegion(rect()) : visibleRegion();
    const QRectF dirty = QRectF(event->rect()) & QRectF(visible.boundingRect());
    for (const QRectF& tile : tilesForRect(size(), _image->size(), dirty))
        _image->drawInRect(tile);
}
