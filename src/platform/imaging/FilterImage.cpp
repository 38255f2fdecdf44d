#include "platform/imaging/FilterImage.h"

#include "platform/imaging/FilterKernels.h"

#include <cstring>

namespace platform {

FilterImage::FilterImage(const QImage& image, const QPoint& origin) : _origin(origin)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return;
    _pixels = image.format() == QImage::Format_ARGB32_Premultiplied
                  ? image
                  : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

FilterImage FilterImage::infinite(Renderer renderer)
{
    FilterImage image;
    if (renderer)
        image._infinite = std::make_shared<const Renderer>(std::move(renderer));
    return image;
}

QImage FilterImage::render(const QRect& rect) const
{
    if (isNull() || rect.isEmpty())
        return {};
    if (_infinite) {
        QImage pixels = (*_infinite)(rect);
        if (pixels.size() != rect.size())
            return {};
        return pixels.format() == QImage::Format_ARGB32_Premultiplied
                   ? pixels
                   : pixels.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    const QRect own = extent();
    if (rect == own)
        return _pixels;
    QImage pixels = kernels::newPixels(rect.size());
    if (pixels.isNull())
        return {};
    const QRect overlap = rect & own;
    // Row by row in bands (a large picture is copied on every thread): transparent where
    // the image has no pixels, its own pixels where it has.
    uchar* const bits = pixels.bits();
    const qsizetype stride = pixels.bytesPerLine();
    kernels::forEachBand(rect.height(), [&](int begin, int end) {
        for (int row = begin; row < end; ++row) {
            uchar* to = bits + row * stride;
            const int y = rect.top() + row;
            if (overlap.isEmpty() || y < overlap.top() || y > overlap.bottom()) {
                std::memset(to, 0, std::size_t(rect.width()) * 4);
                continue;
            }
            const int left = overlap.left() - rect.left();
            const int right = rect.right() - overlap.right();
            std::memset(to, 0, std::size_t(left) * 4);
            std::memcpy(to + left * 4,
                        _pixels.constScanLine(y - own.top()) + (overlap.left() - own.left()) * 4,
                        std::size_t(overlap.width()) * 4);
            std::memset(to + (left + overlap.width()) * 4, 0, std::size_t(right) * 4);
        }
    });
    return pixels;
}

FilterImage FilterImage::translated(const QPoint& offset) const
{
    if (!_infinite) {
        FilterImage moved = *this;
        moved._origin += offset;
        return moved;
    }
    const FilterImage source = *this;
    return infinite(
        [source, offset](const QRect& rect) { return source.render(rect.translated(-offset)); });
}

bool FilterImage::unitedExtent(const FilterImage& a, const FilterImage& b, QRect* extent)
{
    if (a.isInfinite() || b.isInfinite()) {
        *extent = QRect();
        return false;
    }
    *extent = a.extent() | b.extent();
    return true;
}

} // namespace platform
