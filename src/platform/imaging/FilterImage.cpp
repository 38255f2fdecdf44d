#include "platform/imaging/FilterImage.h"

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
    QImage pixels(rect.size(), QImage::Format_ARGB32_Premultiplied);
    if (pixels.isNull())
        return {};
    const QRect overlap = rect & own;
    if (overlap != rect)
        pixels.fill(Qt::transparent);
    const qsizetype bytes = qsizetype(overlap.width()) * 4;
    for (int y = overlap.top(); y <= overlap.bottom(); ++y) {
        const uchar* from =
            _pixels.constScanLine(y - own.top()) + (overlap.left() - own.left()) * 4;
        uchar* to = pixels.scanLine(y - rect.top()) + (overlap.left() - rect.left()) * 4;
        std::memcpy(to, from, std::size_t(bytes));
    }
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
