#include "platform/ui/KXControlBar.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QPainter>
#include <cmath>

namespace platform {

KXControlBar::KXControlBar(QWidget* parent) : QWidget(parent)
{}

KXControlBar::~KXControlBar() = default;

void KXControlBar::setBarImage(const std::shared_ptr<Image>& image)
{
    _barImage = image;
    update();
}

KXControlBar::Slices KXControlBar::slicesForRect(const QRectF& rect, qreal imageWidth)
{
    Slices slices;
    const qreal cap = std::floor(imageWidth / 3.0);
    if (cap <= 0 || rect.width() < 2 * cap) {
        slices.middle = rect;
        return slices;
    }
    slices.capWidth = cap;
    slices.left = QRectF(rect.left(), rect.top(), cap, rect.height());
    slices.middle = QRectF(rect.left() + cap, rect.top(), rect.width() - 2 * cap, rect.height());
    slices.right = QRectF(rect.right() - cap, rect.top(), cap, rect.height());
    return slices;
}

void KXControlBar::drawImageStretchedInThreeSlices(const Image& image, const QRectF& rect)
{
    const QSizeF size = image.size();
    if (size.isEmpty() || rect.isEmpty())
        return;
    const Slices slices = slicesForRect(rect, size.width());
    if (slices.capWidth == 0) {
        image.drawInRect(rect);
        return;
    }
    const qreal cap = slices.capWidth;
    image.drawInRect(slices.left, QRectF(0, 0, cap, size.height()));
    image.drawInRect(slices.middle, QRectF(cap, 0, size.width() - 2 * cap, size.height()));
    image.drawInRect(slices.right, QRectF(size.width() - cap, 0, cap, size.height()));
}

void KXControlBar::paintEvent(QPaintEvent*)
{
    if (!_barImage)
        return;
    QPainter painter(this);
    GraphicsContext context(&painter, true);
    GraphicsContext::Scope scope(context);
    drawImageStretchedInThreeSlices(*_barImage, rect());
}

} // namespace platform
