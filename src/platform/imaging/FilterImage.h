#pragma once

// The picture image filters take and give (ImageFilter): premultiplied ARGB32 pixels and
// where they lie, in y-down pixel coordinates (x to the right, y downwards, the way QImage
// rows run; pixel (i, j) covers the square from (i, j) to (i + 1, j + 1), its centre at
// (i + 0.5, j + 0.5)).
//
// A finite image covers its extent, a whole-pixel rectangle that may lie anywhere (a blur
// grows it, a translation moves it); around it the image is transparent. An infinite
// image (a generator, a clamped image and whatever is made from one) covers the whole
// plane: it is a renderer evaluated only inside the rectangle that a crop or a composite
// asks for. A value type: copies share their pixels (QImage's implicit sharing) or their
// renderer, and an image never changes once made.

#include <QImage>
#include <QMetaType>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QTransform>

#include <functional>
#include <memory>

namespace platform {

class FilterImage
{
public:
    // Gives the premultiplied ARGB32 pixels of any rectangle it is asked for, exactly that
    // size (a null QImage when it cannot). Called on the calling thread, never twice at once.
    using Renderer = std::function<QImage(const QRect& rect)>;

    // The null image: what a failing filter gives.
    FilterImage() = default;
    // The pixels with their top-left pixel at `origin`, converted to premultiplied ARGB32
    // whatever their format (grey, 16-bit, CMYK, indexed, padded rows). A null or empty
    // QImage gives the null image.
    explicit FilterImage(const QImage& image, const QPoint& origin = QPoint());
    static FilterImage infinite(Renderer renderer);

    bool isNull() const { return !_infinite && _pixels.isNull(); }
    bool isInfinite() const { return bool(_infinite); }
    // The rectangle the pixels cover: empty for the null image, QRect() for an infinite one
    // (ask isInfinite() first).
    QRect extent() const { return isInfinite() ? QRect() : QRect(_origin, _pixels.size()); }
    QPoint origin() const { return _origin; }
    // A finite image's pixels (premultiplied ARGB32, extent().size()); null otherwise.
    const QImage& pixels() const { return _pixels; }

    // The pixels of any rectangle: the image where it has pixels, transparent elsewhere.
    // Asking for exactly the extent of a finite image hands out its own pixels (shared).
    // A null QImage for the null image, an empty rectangle or a failed allocation.
    QImage render(const QRect& rect) const;

    // The same image moved by whole pixels (no resampling).
    FilterImage translated(const QPoint& offset) const;

    // The rectangle two finite images cover together. False (and QRect()) when either is
    // infinite.
    static bool unitedExtent(const FilterImage& a, const FilterImage& b, QRect* extent);

private:
    QImage _pixels;
    QPoint _origin;
    std::shared_ptr<const Renderer> _infinite;
};

// The one place where y-up figures (y = 0 at the bottom edge of a picture `height` pixels
// high, growing upwards, angles turning from +x towards +y up) become this library's y-down
// pixels. Nowhere else flips.
class YUpFrame
{
public:
    explicit YUpFrame(qreal height) : _height(height) {}

    QPointF point(const QPointF& p) const { return {p.x(), _height - p.y()}; }
    // A rectangle given by its lower-left corner and size.
    QRectF rect(const QRectF& r) const
    {
        return {r.x(), _height - r.y() - r.height(), r.width(), r.height()};
    }
    // A transform of y-up points as a transform of y-down points: flip, apply, flip back.
    QTransform transform(const QTransform& t) const
    {
        const QTransform flip(1, 0, 0, -1, 0, _height);
        return flip * t * flip;
    }
    // Turning counter-clockwise on screen in y-up is turning towards -y here.
    static qreal angle(qreal radians) { return -radians; }

private:
    qreal _height;
};

} // namespace platform

Q_DECLARE_METATYPE(platform::FilterImage)
