#include "app/LBLibraryCell.h"

#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPen>
#include <QRectF>
#include <QWidget>

LBLibraryThumbnail LBLibraryThumbnail::fromData(const QByteArray& data)
{
    LBLibraryThumbnail thumbnail;
    if (data.isEmpty())
        return thumbnail;
    thumbnail._state = std::make_shared<State>();
    thumbnail._state->data = data;
    return thumbnail;
}

LBLibraryThumbnail LBLibraryThumbnail::fromImage(const QImage& image)
{
    LBLibraryThumbnail thumbnail;
    if (image.isNull())
        return thumbnail;
    thumbnail._state = std::make_shared<State>();
    thumbnail._state->image = image;
    thumbnail._state->decoded = true;
    return thumbnail;
}

QImage LBLibraryThumbnail::image() const
{
    if (!_state)
        return {};
    if (!_state->decoded) {
        _state->decoded = true;
        _state->image = QImage::fromData(_state->data);
        _state->data.clear();
    }
    return _state->image;
}

void LBMatrixCell::drawImageInRect(QPainter& painter, const QRectF& rect) const
{
    const QImage picture = _image.image();
    if (picture.isNull() || rect.width() <= 0 || rect.height() <= 0)
        return;
    // Thumbnails are made at one pixel a point.
    QSizeF size = picture.size() / picture.devicePixelRatio();
    if (size.width() > rect.width() || size.height() > rect.height())
        size.scale(rect.size(), Qt::KeepAspectRatio);
    const QRectF target(rect.center().x() - size.width() / 2.0,
                        rect.center().y() - size.height() / 2.0, size.width(), size.height());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    painter.restore();
}

void LBMatrixCell::drawWithFrame(QPainter& painter, const QRectF& frame, const QWidget* view) const
{
    (void)view;
    drawImageInRect(painter, frame);
}

QColor LBLibraryCell::focusRingColor(const QWidget* view)
{
    return (view ? view->palette() : QPalette()).color(QPalette::Active, QPalette::Highlight);
}

void LBLibraryCell::drawWithFrame(QPainter& painter, const QRectF& frame, const QWidget* view) const
{
    if (isHighlighted()) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(focusRingColor(view), 2.5);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(frame.adjusted(3, 3, -3, -3), 7, 7);
        painter.restore();
    }
    drawImageInRect(painter, frame.adjusted(6, 6, -6, -6));
}
