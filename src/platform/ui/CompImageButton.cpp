#include "platform/ui/CompImageButton.h"

#include <QPainter>

namespace platform {

CompImageButton::CompImageButton(QWidget* parent) : ImageButton(parent)
{}

void CompImageButton::setTitleColor(const QColor& color)
{
    _titleColor = color;
    update();
}

QSize CompImageButton::sizeHint() const
{
    const QSize image = ImageButton::sizeHint();
    const QSize title = fontMetrics().size(Qt::TextSingleLine, text()) + QSize(12, 4);
    return image.expandedTo(title);
}

void CompImageButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawImage(painter);
    if (text().isEmpty())
        return;
    QColor color = _titleColor;
    if (!isEnabled())
        color.setAlphaF(color.alphaF() * 0.5);
    painter.setPen(color);
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter, text());
}

} // namespace platform
