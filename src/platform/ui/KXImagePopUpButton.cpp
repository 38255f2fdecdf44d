#include "platform/ui/KXImagePopUpButton.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QPainter>
#include <QPainterPath>

namespace platform {

KXImagePopUpButton::KXImagePopUpButton(QWidget* parent) : PopUpButton(parent, true)
{}

KXImagePopUpButton::~KXImagePopUpButton() = default;

void KXImagePopUpButton::setIconImage(const std::shared_ptr<Image>& image)
{
    _iconImage = image;
    updateGeometry();
    update();
}

void KXImagePopUpButton::setUsesItemFromMenu(bool uses)
{
    _usesItemFromMenu = uses;
    update();
}

QSize KXImagePopUpButton::sizeHint() const
{
    if (!_iconImage)
        return QSize(32, 32);
    return _iconImage->size().toSize() + QSize(8, 0);
}

void KXImagePopUpButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    GraphicsContext context(&painter, true);
    GraphicsContext::Scope scope(context);
    if (!isEnabled())
        painter.setOpacity(0.5);
    else if (isDown())
        painter.setOpacity(0.7);
    if (_iconImage) {
        const QSizeF size = _iconImage->size();
        const qreal scale = qMin(1.0, qMin((width() - 8) / size.width(), height() / size.height()));
        const QSizeF drawn = size * scale;
        const QRectF iconRect(
            QPointF((width() - 8 - drawn.width()) / 2, (height() - drawn.height()) / 2), drawn);
        _iconImage->drawInRect(iconRect);
    }
    // The pull-down arrow.
    QPainterPath arrow;
    const QPointF tip(width() - 4, height() - 3);
    arrow.moveTo(tip + QPointF(-3, -3));
    arrow.lineTo(tip + QPointF(3, -3));
    arrow.lineTo(tip);
    arrow.closeSubpath();
    painter.fillPath(arrow, palette().color(QPalette::ButtonText));
}

} // namespace platform
