// Compositing: source over, source atop, and blending through a mask.

#include "platform/imaging/FilterKernels.h"
#include "platform/imaging/FilterRegistry.h"

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
    return combined(s, b, {}, unionOf(s, b), [](QRgb sp, QRgb bp, QRgb) {
        const double k = 1.0 - qAlpha(sp) / 255.0;
        return kernels::premultipliedPixel(qRed(sp) + qRed(bp) * k, qGreen(sp) + qGreen(bp) * k,
                                           qBlue(sp) + qBlue(bp) * k, qAlpha(sp) + qAlpha(bp) * k);
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
    return combined(s, b, {}, extent, [](QRgb sp, QRgb bp, QRgb) {
        const double ks = qAlpha(bp) / 255.0;
        const double kb = 1.0 - qAlpha(sp) / 255.0;
        return kernels::premultipliedPixel(qRed(sp) * ks + qRed(bp) * kb,
                                           qGreen(sp) * ks + qGreen(bp) * kb,
                                           qBlue(sp) * ks + qBlue(bp) * kb, qAlpha(bp));
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
    return combined(s, b, m, extent, [](QRgb sp, QRgb bp, QRgb mp) {
        const double k = kernels::luminance(qRed(mp), qGreen(mp), qBlue(mp)) / 255.0;
        const auto mix = [k](int v, int w) { return v * k + w * (1.0 - k); };
        return kernels::premultipliedPixel(mix(qRed(sp), qRed(bp)), mix(qGreen(sp), qGreen(bp)),
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
