#include "platform/ui/ImageButton.h"

#include <QPainter>

namespace platform {

ImageButton::ImageButton(QWidget* parent) : QAbstractButton(parent)
{}

void ImageButton::setNormalImage(const QImage& normal, const QImage& pressed)
{
    _normal = normal;
    _pressed = pressed;
    updateGeometry();
    update();
}

QImage ImageButton::currentImage() const
{
    return isDown() && !_pressed.isNull() ? _pressed : _normal;
}

QSize ImageButton::sizeHint() const
{
    if (_normal.isNull())
        return QSize(16, 16);
    return (QSizeF(_normal.size()) / _normal.devicePixelRatio()).toSize();
}

void ImageButton::drawImage(QPainter& painter) const
{
    const QImage image = currentImage();
    if (image.isNull())
        return;
    painter.setOpacity(isEnabled() ? 1.0 : 0.5);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), image);
    painter.setOpacity(1.0);
}

void ImageButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawImage(painter);
}

} // namespace platform
