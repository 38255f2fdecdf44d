// Stylizing filters: cells (pixellate, crystallize, pointillize) and halftone screens.

#include "platform/imaging/FilterKernels.h"
#include "platform/imaging/FilterRegistry.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace platform::filters {

namespace {

constexpr double kPi = std::numbers::pi;

// Each output pixel from its centre and the input around it: a finite input over its
// extent, an infinite one rendered `reach` pixels beyond each rectangle asked for.
template <typename PixelAt>
FilterImage fromSource(const FilterImage& input, int reach, PixelAt pixelAt)
{
    const auto render = [input, reach, pixelAt](const QRect& rect) -> QImage {
        const QRect sourceRect =
            input.isInfinite() ? rect.adjusted(-reach, -reach, reach, reach) : input.extent();
        const QImage source = input.isInfinite() ? input.render(sourceRect) : input.pixels();
        QImage out = kernels::newPixels(rect.size());
        if (source.isNull() || out.isNull())
            return {};
        const kernels::Sampler sampler(source, sourceRect.topLeft(), kernels::Edge::Clamp);
        const QPoint origin = rect.topLeft() - sourceRect.topLeft();
        kernels::forEachBand(rect.height(), [&](int begin, int end) {
            for (int j = begin; j < end; ++j) {
                const QRgb* in = reinterpret_cast<const QRgb*>(
                    source.constScanLine(std::clamp(j + origin.y(), 0, source.height() - 1)));
                QRgb* to = reinterpret_cast<QRgb*>(out.scanLine(j));
                for (int i = 0; i < rect.width(); ++i) {
                    const QRgb own = in[std::clamp(i + origin.x(), 0, source.width() - 1)];
                    to[i] =
                        pixelAt(QPointF(rect.left() + i + 0.5, rect.top() + j + 0.5), own, sampler);
                }
            }
        });
        return out;
    };
    if (input.isInfinite())
        return FilterImage::infinite(render);
    return FilterImage(render(input.extent()), input.origin());
}

FilterImage pixellate(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const QPointF c = f.point(kInputCenter);
    const double s = std::max(1.0, f.number(kInputScale));
    if (f.failed())
        return {};
    return fromSource(input, int(std::ceil(s)) + 1,
                      [=](const QPointF& p, QRgb, const kernels::Sampler& sampler) {
                          const double x = c.x() + (std::floor((p.x() - c.x()) / s) + 0.5) * s;
                          const double y = c.y() + (std::floor((p.y() - c.y()) / s) + 0.5) * s;
                          return sampler.nearest(x, y);
                      });
}

double seedHash(std::int64_t i, std::int64_t j, std::uint32_t k)
{
    std::uint32_t n =
        std::uint32_t(i) * 0x8da6b343u + std::uint32_t(j) * 0xd8163841u + k * 0xcb1ab31fu;
    n ^= n >> 13;
    n *= 0x5bd1e995u;
    n ^= n >> 15;
    return double(n & 0xffffffu) / double(1u << 24);
}

// The seed nearest to p in the grid of side r with a corner at c.
QPointF nearestSeed(const QPointF& p, const QPointF& c, double r, double* distance)
{
    const double ci = std::floor((p.x() - c.x()) / r);
    const double cj = std::floor((p.y() - c.y()) / r);
    QPointF best;
    double bestDistance = HUGE_VAL;
    // Seeds three cells away are at least 2r off, the own cell's at most r sqrt 2.
    for (int dj = -2; dj <= 2; ++dj) {
        for (int di = -2; di <= 2; ++di) {
            const std::int64_t i = std::int64_t(ci) + di;
            const std::int64_t j = std::int64_t(cj) + dj;
            const QPointF seed(c.x() + r * (double(i) + seedHash(i, j, 0)),
                               c.y() + r * (double(j) + seedHash(i, j, 1)));
            const double d = std::hypot(seed.x() - p.x(), seed.y() - p.y());
            if (d < bestDistance) {
                bestDistance = d;
                best = seed;
            }
        }
    }
    *distance = bestDistance;
    return best;
}

template <typename Cell>
FilterImage seeded(const ImageFilter& f, Cell cell)
{
    const FilterImage input = f.image(kInputImage);
    const double r = std::max(1.0, f.number(kInputRadius));
    const QPointF c = f.point(kInputCenter);
    if (f.failed())
        return {};
    return fromSource(input, int(std::ceil(2 * r)) + 1,
                      [=](const QPointF& p, QRgb, const kernels::Sampler& sampler) {
                          double distance = 0;
                          const QPointF seed = nearestSeed(p, c, r, &distance);
                          return cell(distance, r) ? sampler.nearest(seed.x(), seed.y()) : QRgb(0);
                      });
}

FilterImage crystallize(const ImageFilter& f)
{
    return seeded(f, [](double, double) { return true; });
}

FilterImage pointillize(const ImageFilter& f)
{
    return seeded(f, [](double distance, double r) { return distance <= 0.7 * r; });
}

// A halftone: the pixel's grey against a pattern P(p) in 0-1.
template <typename Pattern>
FilterImage screen(const ImageFilter& f, Pattern pattern)
{
    const FilterImage input = f.image(kInputImage);
    const double sharpness = f.number(kInputSharpness);
    if (f.failed())
        return {};
    const double t = std::max(1.0 - sharpness, 0.01) / 2.0;
    return fromSource(input, 0, [=](const QPointF& p, QRgb own, const kernels::Sampler&) -> QRgb {
        const int a = qAlpha(own);
        if (a == 0)
            return 0;
        const double l = kernels::luminance(qRed(own), qGreen(own), qBlue(own)) / a;
        const double g = std::clamp((l - pattern(p)) / (2.0 * t) + 0.5, 0.0, 1.0);
        const double grey[3] = {g, g, g};
        return kernels::premultipliedFromUnit(grey, a);
    });
}

FilterImage dotScreen(const ImageFilter& f)
{
    const QPointF c = f.point(kInputCenter);
    const double angle = f.number(kInputAngle);
    const double w = f.number(kInputWidth);
    if (f.failed() || !(w > 0.0))
        return {};
    const double cs = std::cos(angle), sn = std::sin(angle), k = 2 * kPi / w;
    return screen(f, [=](const QPointF& p) {
        const double dx = p.x() - c.x(), dy = p.y() - c.y();
        const double qx = (cs * dx + sn * dy) * k;
        const double qy = (-sn * dx + cs * dy) * k;
        return 0.5 + 0.25 * (std::cos(qx) + std::cos(qy));
    });
}

FilterImage circularScreen(const ImageFilter& f)
{
    const QPointF c = f.point(kInputCenter);
    const double w = f.number(kInputWidth);
    if (f.failed() || !(w > 0.0))
        return {};
    return screen(f, [=](const QPointF& p) {
        return 0.5 + 0.5 * std::cos(2 * kPi * std::hypot(p.x() - c.x(), p.y() - c.y()) / w);
    });
}

} // namespace

void addStylizeFilters(Definitions& definitions)
{
    const ImageFilter::Input image{kInputImage, {}};
    const ImageFilter::Input centre{kInputCenter, QPointF(150, 150)};
    definitions += {
        {QStringLiteral("CIPixellate"), {image, centre, {kInputScale, 8.0}}, pixellate},
        {QStringLiteral("CICrystallize"), {image, {kInputRadius, 20.0}, centre}, crystallize},
        {QStringLiteral("CIPointillize"), {image, {kInputRadius, 20.0}, centre}, pointillize},
        {QStringLiteral("CIDotScreen"),
         {image, centre, {kInputAngle, 0.0}, {kInputWidth, 6.0}, {kInputSharpness, 0.7}},
         dotScreen},
        {QStringLiteral("CICircularScreen"),
         {image, centre, {kInputWidth, 6.0}, {kInputSharpness, 0.7}},
         circularScreen},
    };
}

} // namespace platform::filters
