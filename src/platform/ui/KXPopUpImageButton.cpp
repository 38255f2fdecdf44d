#include "platform/ui/KXPopUpImageButton.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QFontMetricsF>
#include <QPainter>

namespace platform {

KXPopUpImageButton::KXPopUpImageButton(QWidget* parent, bool pullsDown)
    : PopUpButton(parent, pullsDown)
{}

KXPopUpImageButton::~KXPopUpImageButton() = default;

void KXPopUpImageButton::setPopupImage(const std::shared_ptr<Image>& image)
{
    _popupImage = image;
    update();
}

void KXPopUpImageButton::setAlternatePopupImage(const std::shared_ptr<Image>& image)
{
    _alternatePopupImage = image;
    update();
}

void KXPopUpImageButton::setTitleRectOffsets(const QRectF& offsets)
{
    _titleRectOffsets = offsets;
    update();
}

QRectF KXPopUpImageButton::titleRect() const
{
    const QRectF& o = _titleRectOffsets;
    return QRectF(o.x(), o.y(), width() - o.x() - o.width(), height() - o.y() - o.height());
}

QString KXPopUpImageButton::fittedTitle(const QString& title, qreal width) const
{
    return QFontMetricsF(font()).elidedText(title, Qt::ElideRight, width);
}

void KXPopUpImageButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    GraphicsContext context(&painter, true);
    GraphicsContext::Scope scope(context);
    if (!isEnabled())
        painter.setOpacity(0.5);
    const auto& image = isDown() && _alternatePopupImage ? _alternatePopupImage : _popupImage;
    if (image)
        image->drawInRect(rect());
    const QString title = displayedTitle();
    const QRectF titleRect = this->titleRect();
    if (title.isEmpty() || titleRect.width() <= 0)
        return;
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
                     fittedTitle(title, titleRect.width()));
}

} // namespace platform
