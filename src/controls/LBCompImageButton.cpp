#include "controls/LBCompImageButton.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QPainter>
#include <cmath>
#include <cstdlib>

using namespace platform;

LBCompImageButton::LBCompImageButton(QWidget* parent) : LBTitledButton(parent)
{}

LBCompImageButton::LBCompImageButton(const QString& componentImageString, QWidget* parent)
    : LBTitledButton(parent)
{
    setComponentImageString(componentImageString);
}

LBCompImageButton::~LBCompImageButton() = default;

void LBCompImageButton::setComponentImageString(const QString& names)
{
    const QStringList parts = names.split(QLatin1Char('|'));
    if (parts.size() != 6)
        return;
    for (int i = 0; i < 6; ++i)
        _images[i] = Image::imageNamed(parts[i]);
    update();
}

LBCompImageButton::Shifts LBCompImageButton::shifts() const
{
    const qint64 t = tagOffset(tag());
    const bool hasTitle = titleWidth() != 0;
    Shifts shifts;
    if (hasTitle && image()) {
        shifts.title = qreal(t % 10);
        const qint64 magnitude = std::llabs(t);
        shifts.image = magnitude < 100 ? qreal(magnitude / 10) : -qreal(magnitude / 100);
    } else {
        shifts.title = shifts.image = qreal(t);
    }
    return shifts;
}

qreal LBCompImageButton::titleTop() const
{
    if (image())
        return 0.75 * height() - 0.5 * image()->size().height() + shifts().title;
    return (height() - titleHeight()) / 2 + shifts().title;
}

QRectF LBCompImageButton::imageRect() const
{
    if (!image())
        return QRectF();
    const QSizeF size = image()->size();
    const qreal h = height();
    const qreal bottom = titleWidth() != 0
                             ? std::floor(shifts().image + 0.75 * h - 0.5 * size.height())
                             : std::floor(shifts().image + h - (h - size.height()) / 2);
    return QRectF(QPointF(std::floor((width() - size.width()) / 2), bottom - size.height()), size);
}

void LBCompImageButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    GraphicsContext context(&painter, true);
    GraphicsContext::Scope scope(context);
    painter.setOpacity(drawingOpacity());
    const int first = isPressed() ? 3 : 0;
    const auto& left = _images[first];
    const auto& middle = _images[first + 1];
    const auto& right = _images[first + 2];
    const qreal leftWidth = left ? left->size().width() : 0;
    const qreal rightWidth = right ? right->size().width() : 0;
    if (left)
        left->drawInRect(QRectF(QPointF(0, height() - left->size().height()), left->size()));
    if (middle)
        middle->drawInRect(
            QRectF(leftWidth, 0, width() - leftWidth - rightWidth, middle->size().height()));
    if (right)
        right->drawInRect(QRectF(QPointF(width() - rightWidth, height() - right->size().height()),
                                 right->size()));
    drawTitle(painter, titleTop());
    if (image())
        image()->drawInRect(imageRect());
}
