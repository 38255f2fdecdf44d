#include "controls/LBGradientButton.h"

#include "platform/core/NotificationCenter.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QLinearGradient>
#include <QPainter>
#include <cmath>

using namespace platform;

namespace {

// A gradient across the rectangle, from its top (vertical) or its left edge.
void fillGradient(QPainter& painter, Qt::Orientation direction, const QRectF& rect,
                  const QColor& from, const QColor& to)
{
    if (rect.isEmpty())
        return;
    QLinearGradient gradient(rect.topLeft(),
                             direction == Qt::Vertical ? rect.bottomLeft() : rect.topRight());
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    painter.fillRect(rect, gradient);
}

} // namespace

void LBGradientButtonCell::noteHighlight(bool highlighted)
{
    if (highlighted == _wasHighlighted)
        return;
    _wasHighlighted = highlighted;
    NotificationCenter::defaultCenter().post(LBGradientButtonHighlightChanged, this);
}

void LBGradientButtonCell::drawBackgroundForButtonFrame(QPainter& painter, const QRectF& frame,
                                                        bool highlighted) const
{
    const QColor black(0, 0, 0);
    const qreal w = frame.width(), h = frame.height();
    painter.fillRect(QRectF(frame.x(), frame.y(), w, 1), black);
    painter.fillRect(QRectF(frame.x(), frame.bottom() - 1, w, 1), black);
    if (_drawLeftDivider)
        painter.fillRect(QRectF(frame.x(), frame.y(), 1, h), black);
    if (_drawRightDivider)
        painter.fillRect(QRectF(frame.right() - 1, frame.y(), 1, h), black);
    const qreal innerX = frame.x() + (_drawLeftDivider ? 1 : 0);
    const qreal innerWidth = w - (_drawLeftDivider ? 1 : 0) - (_drawRightDivider ? 1 : 0);
    painter.fillRect(QRectF(innerX, frame.y() + 1, innerWidth, 1),
                     _selected ? QColor(84, 85, 87) : QColor(163, 167, 169));
    // The bands fill what lies between the light line and the bottom line.
    const QRectF inner(innerX, frame.y() + 2, innerWidth, qMax<qreal>(0, h - 3));
    if (_selected) {
        fillGradient(painter, Qt::Vertical, inner, QColor(76, 80, 81), QColor(19, 19, 20));
    } else {
        const qreal bodyHeight = std::floor(inner.height() / 2);
        fillGradient(painter, Qt::Vertical, QRectF(inner.x(), inner.y(), inner.width(), bodyHeight),
                     QColor(157, 162, 165), QColor(78, 79, 81));
        fillGradient(
            painter, Qt::Vertical,
            QRectF(inner.x(), inner.y() + bodyHeight, inner.width(), inner.height() - bodyHeight),
            QColor(145, 150, 154), QColor(51, 52, 56));
    }
    if (_selected || highlighted) {
        const QColor halfBlack(0, 0, 0, 128), clear(0, 0, 0, 0);
        fillGradient(painter, Qt::Horizontal, QRectF(inner.x(), inner.y(), 4, inner.height()),
                     halfBlack, clear);
        fillGradient(painter, Qt::Horizontal,
                     QRectF(inner.right() - 4, inner.y(), 4, inner.height()), clear, halfBlack);
        fillGradient(painter, Qt::Vertical, QRectF(inner.x(), inner.y(), inner.width(), 7), black,
                     clear);
    }
}

LBGradientButton::LBGradientButton(QWidget* parent)
    : LBTitledButton(parent), _cell(std::make_unique<LBGradientButtonCell>())
{}

LBGradientButton::~LBGradientButton() = default;

void LBGradientButton::setAlternateImage(const std::shared_ptr<Image>& image)
{
    _alternateImage = image;
    update();
}

QRectF LBGradientButton::imageRect() const
{
    const bool alternate = (_cell->isSelected() || isDown()) && _alternateImage;
    const auto& picture = alternate ? _alternateImage : image();
    if (!picture)
        return QRectF();
    const QSizeF size = picture->size();
    qreal x = (width() - size.width()) / 2;
    if (!title().isEmpty())
        x -= titleWidth() / 2;
    const qreal y = (height() - size.height()) / 2 + (isDown() ? 1 : 0);
    return QRectF(std::trunc(x), std::trunc(y), std::trunc(size.width()),
                  std::trunc(size.height()));
}

QPointF LBGradientButton::titleOrigin() const
{
    const auto& picture = image();
    const qreal x = picture ? picture->size().width() / 2 : 0;
    return QPointF(x, std::floor((height() - titleHeight()) / 2) + (isDown() ? 1 : 0));
}

void LBGradientButton::paintEvent(QPaintEvent*)
{
    _cell->noteHighlight(isDown());
    QPainter painter(this);
    GraphicsContext context(&painter, true);
    GraphicsContext::Scope scope(context);
    _cell->drawBackgroundForButtonFrame(painter, rect(), isDown());
    const bool alternate = (_cell->isSelected() || isDown()) && _alternateImage;
    if (const auto& picture = alternate ? _alternateImage : image())
        picture->drawInRect(imageRect(), QRectF(), QPainter::CompositionMode_SourceOver,
                            isEnabled() ? 1.0 : 0.5);
    if (!title().isEmpty()) {
        const QPointF origin = titleOrigin();
        drawTitle(painter, origin.y(), origin.x());
    }
}
