// Scaled copies, whole-number sizes and rectangles, and bitmap access for Image.

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QPainter>

#include <cmath>

namespace platform {

namespace {

qreal roundHalfUp(qreal value)
{
    return std::floor(value + 0.5);
}

} // namespace

QRectF Image::roundRectToIntegerBoundaries(const QRectF& rect)
{
    return {roundHalfUp(rect.x()), roundHalfUp(rect.y()), roundHalfUp(rect.width()),
            roundHalfUp(rect.height())};
}

ImagePtr Image::withIntegralSize(const QSizeF& size)
{
    return withSize(QSizeF(roundHalfUp(size.width()), roundHalfUp(size.height())));
}

ImagePtr Image::imageWithData(const QByteArray& data, const QSizeF& scaledToSize, bool proportional,
                              bool downscaleOnly, QString* error)
{
    ImagePtr image = fromData(data, error);
    return image ? image->imageScaledToSize(scaledToSize, proportional, downscaleOnly) : nullptr;
}

ImagePtr Image::imageScaledToSize(const QSizeF& size, bool proportional, bool downscaleOnly)
{
    const qreal w = _size.width();
    const qreal h = _size.height();
    const qreal tw = size.width();
    const qreal th = size.height();

    // Nothing to scale from: a zero side would divide by zero in proportional mode and
    // has no picture to stretch otherwise.
    if (!(w > 0.0) || !(h > 0.0))
        return shared_from_this();
    if (downscaleOnly ? (w <= tw && h <= th) : (w == tw && h == th))
        return shared_from_this();

    QSizeF newSize(tw, th);
    if (proportional) {
        const qreal factor = std::min(tw / w, th / h);
        newSize = QSizeF(w * factor, h * factor);
    }

    ImagePtr scaled = withIntegralSize(newSize);
    const QSize pixels = OffscreenContext::pixelsFor(scaled->_size, 1.0);
    if (pixels.isEmpty())
        return scaled; // a target side of 0: an empty picture, nothing to draw

    OffscreenContext offscreen(pixels, 1.0);
    if (!offscreen.isActive())
        return nullptr;
    drawInRect(roundRectToIntegerBoundaries(QRectF(QPointF(0, 0), newSize)), QRectF(0, 0, w, h),
               QPainter::CompositionMode_SourceOver, 1.0);
    scaled->_bitmap = offscreen.image();
    scaled->_kind = RepresentationKind::Bitmap;
    return scaled;
}

void Image::drawInIntegralRect(const QRectF& rect, const QRectF& fromRect,
                               QPainter::CompositionMode operation, qreal fraction) const
{
    drawInRect(roundRectToIntegerBoundaries(rect), fromRect, operation, fraction);
}

QImage Image::bitmapImageRep() const
{
    return _kind == RepresentationKind::Bitmap ? _bitmap : QImage();
}

QImage Image::forcedBitmapImageRep() const
{
    if (_kind == RepresentationKind::Bitmap && !_bitmap.isNull())
        return _bitmap;
    const QSizeF size(roundHalfUp(_size.width()), roundHalfUp(_size.height()));
    OffscreenContext offscreen(OffscreenContext::pixelsFor(size, 1.0), 1.0);
    drawInRect(QRectF(QPointF(0, 0), _size));
    return offscreen.image();
}

} // namespace platform
