// Compositing: source over, source atop, and blending through a mask.

#include "platform/imaging/FilterKernels.h"
#include "platform/imaging/FilterRegistry.h"

#include <algorithm>

namespace platform::filters {

namespace {

const QString kMask = QStringLiteral("inputMaskImage");

// out = combine(s, b, m) for the pixels of the images over an extent (or infinitely when
// `extent` is not given); m is the mask's pixel, 0 without a mask.
template <typename Combine>
FilterImage combined(const FilterImage& s, const FilterImage& b, const FilterImage& m,
                     std::optional<QRect> extent, Combine combine)
{
    const auto render = [s, b, m, combine](const QRect& rect) -> QImage {
        const QImage source = s.render(rect);
        const QImage background = b.isNull() ? QImage() : b.render(rect);
        const QImage mask = m.isNull() ? QImage() : m.render(rect);
        QImage out = kernels::newPixels(rect.size());
        if (source.isNull() || out.isNull() || (!b.isNull() && background.isNull())
            || (!m.isNull() && mask.isNull()))
            return {};
        kernels::forEachBand(rect.height(), [&](int begin, int end) {
            for (int y = begin; y < end; ++y) {
                const QRgb* sp = reinterpret_cast<const QRgb*>(source.constScanLine(y));
                const QRgb* bp = background.isNull()
                                     ? nullptr
                                     : reinterpret_cast<const QRgb*>(background.constScanLine(y));
                const QRgb* mp =
                    mask.isNull() ? nullptr : reinterpret_cast<const QRgb*>(mask.constScanLine(y));
                QRgb* to = reinterpret_cast<QRgb*>(out.scanLine(y));
                for (int x = 0; x < rect.width(); ++x)
                    to[x] = combine(sp[x], bp ? bp[x] : 0u, mp ? mp[x] : 0u);
            }
        });
        return out;
    };
    if (!extent)
        return FilterImage::infinite(render);
    if (extent->isEmpty())
        return {};
    return FilterImage(render(*extent), extent->topLeft());
}

// x / 255 rounded, for x >= 0 (never a tie: 255 is odd).
inline int over255(int x)
{
    return (x + 127) / 255;
}

// A premultiplied pixel from whole channel values, clamped, colour at most alpha.
inline QRgb wholePixel(int r, int g, int b, int a)
{
    a = std::min(a, 255);
    return qRgba(std::min(r, a), std::min(g, a), std::min(b, a), a);
}

std::optional<QRect> unionOf(const FilterImage& a, const FilterImage& b)
{
    QRect extent;
    if (!FilterImage::unitedExtent(a, b, &extent))
        return std::nullopt;
    return extent;
}

FilterImage sourceOver(const ImageFilter& f)
{
    const FilterImage s = f.image(kInputImage);
    const FilterImage b = f.image(kInputBackgroundImage);
    if (f.failed())
        return {};
    // In whole numbers: S + B (255 - S alpha) / 255, the product rounded.
    return combined(s, b, {}, unionOf(s, b), [](QRgb sp, QRgb bp, QRgb) {
        const int k = 255 - qAlpha(sp);
        return wholePixel(qRed(sp) + over255(qRed(bp) * k), qGreen(sp) + over255(qGreen(bp) * k),
                          qBlue(sp) + over255(qBlue(bp) * k), qAlpha(sp) + over255(qAlpha(bp) * k));
    });
}

FilterImage sourceAtop(const ImageFilter& f)
{
    const FilterImage s = f.image(kInputImage);
    const FilterImage b = f.image(kInputBackgroundImage);
    if (f.failed())
        return {};
    std::optional<QRect> extent;
    if (!b.isInfinite())
        extent = b.extent();
    // In whole numbers: (S B alpha + B (255 - S alpha)) / 255, the sum rounded.
    return combined(s, b, {}, extent, [](QRgb sp, QRgb bp, QRgb) {
        const int ks = qAlpha(bp);
        const int kb = 255 - qAlpha(sp);
        return wholePixel(over255(qRed(sp) * ks + qRed(bp) * kb),
                          over255(qGreen(sp) * ks + qGreen(bp) * kb),
                          over255(qBlue(sp) * ks + qBlue(bp) * kb), ks);
    });
}

FilterImage blendWithMask(const ImageFilter& f)
{
    const FilterImage s = f.image(kInputImage);
    const FilterImage b = f.image(kInputBackgroundImage, false);
    const FilterImage m = f.image(kMask);
    if (f.failed())
        return {};
    const std::optional<QRect> extent =
        b.isNull() ? (s.isInfinite() ? std::nullopt : std::optional(s.extent())) : unionOf(s, b);
    // The mask's luma in 65536ths of full (weights rounded to sum to 65536): each channel
    // v m + w (1 - m), rounded, within a hair of the exact weights.
    return combined(s, b, m, extent, [](QRgb sp, QRgb bp, QRgb mp) {
        constexpr qint64 full = 255 * 65536;
        const qint64 l = 13933 * qRed(mp) + 46871 * qGreen(mp) + 4732 * qBlue(mp);
        if (l == 0)
            return wholePixel(qRed(bp), qGreen(bp), qBlue(bp), qAlpha(bp));
        if (l == full)
            return wholePixel(qRed(sp), qGreen(sp), qBlue(sp), qAlpha(sp));
        const auto mix = [l](int v, int w) {
            return int((v * l + w * (full - l) + full / 2) / full);
        };
        return wholePixel(mix(qRed(sp), qRed(bp)), mix(qGreen(sp), qGreen(bp)),
                          mix(qBlue(sp), qBlue(bp)), mix(qAlpha(sp), qAlpha(bp)));
    });
}

} // namespace

void addCompositingFilters(Definitions& definitions)
{
    const ImageFilter::Input image{kInputImage, {}};
    const ImageFilter::Input background{kInputBackgroundImage, {}};
    definitions += {
        {QStringLiteral("CISourceOverCompositing"), {image, background}, sourceOver},
        {QStringLiteral("CISourceAtopCompositing"), {image, background}, sourceAtop},
        {QStringLiteral("CIBlendWithMask"), {image, background, {kMask, {}}}, blendWithMask},
    };
}

} // namespace platform::filters
