#include "controls/LBImageButton.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QPainter>
#include <cmath>

using namespace platform;

LBImageButton::LBImageButton(QWidget* parent) : LBTitledButton(parent)
{}

LBImageButton::LBImageButton(const QString& componentImageString, QWidget* parent)
    : LBTitledButton(parent)
{
    setComponentImageString(componentImageString);
}

LBImageButton::~LBImageButton() = default;

std::shared_ptr<Image> LBImageButton::darkenedCopy(const Image& image)
{
    constexpr qreal scale = 2.0;
    OffscreenContext offscreen(OffscreenContext::pixelsFor(image.size(), scale), scale);
    if (!offscreen.isActive())
        return nullptr;
    const QRectF rect(QPointF(), image.size());
    image.drawInRect(rect);
    offscreen.painter()->setCompositionMode(QPainter::CompositionMode_SourceAtop);
    offscreen.painter()->fillRect(rect, QColor(0, 0, 0, 128));
    return Image::fromBitmap(offscreen.image(), image.size());
}

void LBImageButton::setComponentImageString(const QString& names)
{
    _normalImage.reset();
    _pressedImage.reset();
    const QStringList parts = names.split(QLatin1Char('|'));
    if (parts.size() == 2) {
        if (const auto normal = Image::imageNamed(parts[0]))
            _normalImage = normal->copy();
        if (const auto pressed = Image::imageNamed(parts[1]))
            _pressedImage = pressed->copy();
    } else if (parts.size() == 1) {
        if (const auto normal = Image::imageNamed(parts[0])) {
            _normalImage = normal->copy();
            _pressedImage = darkenedCopy(*normal);
        }
    }
    update();
}

void LBImageButton::setTitleColor(const QColor& color)
{
    LBTitledButton::setTitleColor(color);
    if (!title().isEmpty())
        _titleColor = color;
}

void LBImageButton::applyTitleColorForState()
{
    if (isPressed() && _alternateTitleColor.isValid() && !_alternateTitleColorApplied) {
        LBTitledButton::setTitleColor(_alternateTitleColor);
        _alternateTitleColorApplied = true;
    } else if (!isPressed() && _alternateTitleColorApplied) {
        LBTitledButton::setTitleColor(
            _titleColor.isValid() ? _titleColor : palette().color(QPalette::ButtonText));
        _alternateTitleColorApplied = false;
    }
}

qreal LBImageButton::titleTop() const
{
    return qreal(tagOffset(tag())) + (height() - titleHeight()) / 2;
}

QRectF LBImageButton::imageRect() const
{
    if (!image())
        return QRectF();
    const QSizeF size = image()->size();
    const qreal bottom =
        std::floor(height() - (height() - size.height()) / 2 - qreal(tagOffset(tag())));
    return QRectF(QPointF(std::floor((width() - size.width()) / 2), bottom - size.height()), size);
}

void LBImageButton::paintEvent(QPaintEvent*)
{
    applyTitleColorForState();
    QPainter painter(this);
    GraphicsContext context(&painter, true);
    GraphicsContext::Scope scope(context);
    painter.setOpacity(drawingOpacity());
    if (const auto& picture = isPressed() ? _pressedImage : _normalImage)
        picture->drawInRect(
            QRectF(QPointF(0, height() - picture->size().height()), picture->size()));
    drawTitle(painter, titleTop());
    if (image())
        image()->drawInRect(imageRect());
}
