// Blurs and the filters made from a blur or a small neighbourhood: Gaussian, unsharp mask,
// motion and zoom blur, noise reduction, bloom, gloom, edge work and edges.

#include "platform/imaging/FilterKernels.h"
#include "platform/imaging/FilterRegistry.h"

#include <cmath>
#include <map>
#include <utility>
#include <vector>

namespace platform::filters {

using kernels::BlurredPlane;
using kernels::Edge;

namespace {

// Evaluates render(rect) over a finite input's extent at once, or lazily for an infinite one.
template <typename Render>
FilterImage overInput(const FilterImage& input, Render render)
{
    if (input.isInfinite())
        return FilterImage::infinite(render);
    return FilterImage(render(input.extent()), input.origin());
}

// The input over rect grown by `reach` on every side: an infinite input rendered there, a
// finite one (rect being its extent) with its edge pixels repeated.
QImage padded(const FilterImage& input, const QRect& rect, int reach)
{
    const QRect grown = rect.adjusted(-reach, -reach, reach, reach);
    if (input.isInfinite())
        return input.render(grown);
    const QImage& pixels = input.pixels();
    QImage out = kernels::newPixels(grown.size());
    if (out.isNull())
        return {};
    for (int y = 0; y < grown.height(); ++y) {
        const int sy = std::clamp(y - reach, 0, pixels.height() - 1);
        const QRgb* in = reinterpret_cast<const QRgb*>(pixels.constScanLine(sy));
        QRgb* to = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < grown.width(); ++x)
            to[x] = in[std::clamp(x - reach, 0, pixels.width() - 1)];
    }
    return out;
}

// G over rect: the Gaussian blur with edge pixels repeated beyond a finite input's extent.
BlurredPlane blurredOver(const FilterImage& input, const QRect& rect, double sigma)
{
    if (!input.isInfinite())
        return kernels::gaussianBlurPlane(input.pixels(), sigma, Edge::Clamp);
    int reach = 0;
    kernels::gaussianBlurPlane(QImage(), sigma, Edge::Transparent, &reach);
    BlurredPlane plane = kernels::gaussianBlurPlane(padded(input, rect, reach), sigma, Edge::Clamp);
    plane.offset += QPoint(reach, reach);
    plane.size = rect.size();
    return plane;
}

// A function of each pixel and its blurred value (both premultiplied, 0-255).
template <typename PixelFunction>
FilterImage withBlurred(const FilterImage& input, double sigma, PixelFunction f)
{
    return overInput(input, [input, sigma, f](const QRect& rect) -> QImage {
        const QImage source = input.isInfinite() ? input.render(rect) : input.pixels();
        const BlurredPlane blurred = blurredOver(input, rect, sigma);
        QImage out = kernels::newPixels(rect.size());
        if (source.isNull() || blurred.isNull() || out.isNull())
            return {};
        kernels::forEachBand(rect.height(), [&](int begin, int end) {
            for (int y = begin; y < end; ++y) {
                const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
                QRgb* to = reinterpret_cast<QRgb*>(out.scanLine(y));
                for (int x = 0; x < rect.width(); ++x) {
                    const std::uint16_t* g = blurred.at(x, y);
                    const double b[4] = {g[0] / 256.0, g[1] / 256.0, g[2] / 256.0, g[3] / 256.0};
                    to[x] = f(in[x], b);
                }
            }
        });
        return out;
    });
}

FilterImage gaussianBlur(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const double radius = f.number(kInputRadius);
    if (f.failed())
        return {};
    if (!(radius > 0.0))
        return input;
    int reach = 0;
    if (!input.isInfinite()) {
        const QImage blurred =
            kernels::gaussianBlur(input.pixels(), radius, Edge::Transparent, &reach);
        return FilterImage(blurred, input.origin() - QPoint(reach, reach));
    }
    kernels::gaussianBlur(QImage(), radius, Edge::Transparent, &reach);
    return FilterImage::infinite([input, radius, reach](const QRect& rect) -> QImage {
        const QImage blurred = kernels::gaussianBlur(
            input.render(rect.adjusted(-reach, -reach, reach, reach)), radius, Edge::Clamp);
        return blurred.isNull() ? QImage() : blurred.copy(QRect(QPoint(reach, reach), rect.size()));
    });
}

FilterImage unsharpMask(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const double radius = f.number(kInputRadius);
    const double intensity = f.number(kInputIntensity);
    if (f.failed())
        return {};
    return withBlurred(input, std::max(0.0, radius), [intensity](QRgb p, const double g[4]) {
        const auto sharpen = [&](int v, double blurred) { return v + intensity * (v - blurred); };
        return kernels::premultipliedPixel(sharpen(qRed(p), g[0]), sharpen(qGreen(p), g[1]),
                                           sharpen(qBlue(p), g[2]), sharpen(qAlpha(p), g[3]));
    });
}

// u' = combine(u, v, intensity) on unpremultiplied colours, v the blurred colour.
template <typename Combine>
FilterImage withBlurredColour(const ImageFilter& f, Combine combine)
{
    const FilterImage input = f.image(kInputImage);
    const double radius = f.number(kInputRadius);
    const double intensity = f.number(kInputIntensity);
    if (f.failed())
        return {};
    return withBlurred(input, std::max(0.0, radius),
                       [intensity, combine](QRgb p, const double g[4]) {
                           const int a = qAlpha(p);
                           if (a == 0)
                               return QRgb(0);
                           const int channels[3] = {qRed(p), qGreen(p), qBlue(p)};
                           double u[3];
                           for (int i = 0; i < 3; ++i) {
                               const double v = g[3] > 0.0 ? std::min(1.0, g[i] / g[3]) : 0.0;
                               u[i] = combine(double(channels[i]) / a, v, intensity);
                           }
                           return kernels::premultipliedFromUnit(u, a);
                       });
}

FilterImage bloom(const ImageFilter& f)
{
    return withBlurredColour(
        f, [](double u, double v, double k) { return 1.0 - (1.0 - u) * (1.0 - k * v); });
}

FilterImage gloom(const ImageFilter& f)
{
    return withBlurredColour(f, [](double u, double v, double k) { return u * (1.0 - k + k * v); });
}

FilterImage edgeWork(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const double radius = f.number(kInputRadius);
    if (f.failed())
        return {};
    // The luma as a grey picture, blurred, then compared with itself.
    const FilterImage luma = kernels::mapPixels(input, [](QRgb p) -> QRgb {
        const int l = kernels::clampByte(kernels::luminance(qRed(p), qGreen(p), qBlue(p)));
        return qRgba(l, l, l, 255);
    });
    return withBlurred(luma, std::max(0.0, radius), [](QRgb p, const double g[4]) {
        const double ink = std::clamp(4.0 * (g[0] - qRed(p)), 0.0, 255.0);
        return kernels::premultipliedPixel(ink, ink, ink, ink);
    });
}

// A function of the 3 x 3 pixels around each pixel, edge pixels repeated.
template <typename Neighbourhood>
FilterImage withNeighbours(const FilterImage& input, Neighbourhood f)
{
    return overInput(input, [input, f](const QRect& rect) -> QImage {
        const QImage source = padded(input, rect, 1);
        QImage out = kernels::newPixels(rect.size());
        if (source.isNull() || out.isNull())
            return {};
        kernels::forEachBand(rect.height(), [&](int begin, int end) {
            for (int y = begin; y < end; ++y) {
                const QRgb* rows[3];
                for (int k = 0; k < 3; ++k)
                    rows[k] = reinterpret_cast<const QRgb*>(source.constScanLine(y + k)) + 1;
                QRgb* to = reinterpret_cast<QRgb*>(out.scanLine(y));
                for (int x = 0; x < rect.width(); ++x) {
                    const QRgb around[3][3] = {{rows[0][x - 1], rows[0][x], rows[0][x + 1]},
                                               {rows[1][x - 1], rows[1][x], rows[1][x + 1]},
                                               {rows[2][x - 1], rows[2][x], rows[2][x + 1]}};
                    to[x] = f(around);
                }
            }
        });
        return out;
    });
}

double channel(QRgb p, int i)
{
    switch (i) {
    case 0: return qRed(p);
    case 1: return qGreen(p);
    case 2: return qBlue(p);
    default: return qAlpha(p);
    }
}

FilterImage noiseReduction(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const double level = f.number(QStringLiteral("inputNoiseLevel"));
    const double sharpness = f.number(QStringLiteral("inputSharpness"));
    if (f.failed())
        return {};
    const auto luma = [](QRgb p) {
        return kernels::luminance(qRed(p), qGreen(p), qBlue(p)) / 255.0;
    };
    return withNeighbours(input, [=](const QRgb around[3][3]) {
        const QRgb centre = around[1][1];
        const double centreLuma = luma(centre);
        double sum[4] = {0, 0, 0, 0};
        int count = 0;
        for (int j = 0; j < 3; ++j) {
            for (int i = 0; i < 3; ++i) {
                const QRgb q = around[j][i];
                if ((i == 1 && j == 1) || std::abs(luma(q) - centreLuma) <= level) {
                    for (int c = 0; c < 4; ++c)
                        sum[c] += channel(q, c);
                    ++count;
                }
            }
        }
        double out[4];
        for (int c = 0; c < 4; ++c) {
            const double mean = sum[c] / count;
            out[c] = mean + sharpness * (channel(centre, c) - mean);
        }
        return kernels::premultipliedPixel(out[0], out[1], out[2], out[3]);
    });
}

FilterImage edges(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const double intensity = f.number(kInputIntensity);
    if (f.failed())
        return {};
    return withNeighbours(input, [intensity](const QRgb n[3][3]) {
        double out[3];
        for (int c = 0; c < 3; ++c) {
            const auto v = [&](int j, int i) { return channel(n[j][i], c) / 255.0; };
            const double gx =
                (v(0, 2) + 2 * v(1, 2) + v(2, 2) - v(0, 0) - 2 * v(1, 0) - v(2, 0)) / 8.0;
            const double gy =
                (v(2, 0) + 2 * v(2, 1) + v(2, 2) - v(0, 0) - 2 * v(0, 1) - v(0, 2)) / 8.0;
            out[c] = std::clamp(intensity * std::sqrt(gx * gx + gy * gy), 0.0, 1.0) * 255.0;
        }
        return kernels::premultipliedPixel(out[0], out[1], out[2], 255.0);
    });
}

// The mean of bilinear samples at positions(p) for each output pixel centre p.
template <typename Positions>
QImage meanOfSamples(const QImage& source, const QPoint& origin, Edge edge, const QRect& rect,
                     int count, Positions positions)
{
    QImage out = kernels::newPixels(rect.size());
    if (source.isNull() || out.isNull())
        return {};
    const kernels::Sampler sampler(source, origin, edge);
    kernels::forEachBand(rect.height(), [&](int begin, int end) {
        std::vector<QPointF> at(static_cast<std::size_t>(count));
        for (int j = begin; j < end; ++j) {
            QRgb* to = reinterpret_cast<QRgb*>(out.scanLine(j));
            for (int i = 0; i < rect.width(); ++i) {
                positions(QPointF(rect.left() + i + 0.5, rect.top() + j + 0.5), at.data());
                double sum[4] = {0, 0, 0, 0};
                for (const QPointF& q : at) {
                    double v[4];
                    sampler.sample(q.x(), q.y(), v);
                    for (int c = 0; c < 4; ++c)
                        sum[c] += v[c];
                }
                to[i] = kernels::premultipliedPixel(sum[0] / count, sum[1] / count, sum[2] / count,
                                                    sum[3] / count);
            }
        }
    });
    return out;
}

// A weight on the pixel `dx`, `dy` away.
struct Tap
{
    int dx, dy;
    float weight;
};

// The sum of the taps at each pixel of rect, transparent beyond the source's pixels.
QImage weightedSum(const FilterImage& input, const QRect& rect, const std::vector<Tap>& taps,
                   const QRect& reach)
{
    QImage out = kernels::newPixels(rect.size());
    // Rendered with room for every tap, so no tap needs a bounds test.
    const QRect around(rect.topLeft() + reach.topLeft(), rect.bottomRight() + reach.bottomRight());
    const QImage source = input.render(around);
    if (source.isNull() || out.isNull())
        return {};
    const int ox = -reach.left();
    const int oy = -reach.top();
    kernels::forEachBand(rect.height(), [&](int begin, int end) {
        for (int j = begin; j < end; ++j) {
            QRgb* to = reinterpret_cast<QRgb*>(out.scanLine(j));
            for (int i = 0; i < rect.width(); ++i) {
                float sum[4] = {0, 0, 0, 0};
                for (const Tap& tap : taps) {
                    const QRgb p = reinterpret_cast<const QRgb*>(
                        source.constScanLine(j + oy + tap.dy))[i + ox + tap.dx];
                    sum[0] += tap.weight * float(qRed(p));
                    sum[1] += tap.weight * float(qGreen(p));
                    sum[2] += tap.weight * float(qBlue(p));
                    sum[3] += tap.weight * float(qAlpha(p));
                }
                to[i] = kernels::premultipliedPixel(sum[0], sum[1], sum[2], sum[3]);
            }
        }
    });
    return out;
}

FilterImage motionBlur(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const double radius = f.number(kInputRadius);
    const double angle = f.number(kInputAngle);
    if (f.failed())
        return {};
    if (!(radius > 0.0))
        return input;
    const int count = int(std::min(64.0, 2.0 * std::ceil(radius) + 1.0));
    const QPointF step(std::cos(angle), std::sin(angle));
    const int gx = int(std::ceil(radius * std::abs(step.x()) - 1e-9));
    const int gy = int(std::ceil(radius * std::abs(step.y()) - 1e-9));
    // Every pixel samples at the same offsets from its centre, so each bilinear sample is
    // the same four weights on the same neighbours everywhere: one sum of taps.
    std::map<std::pair<int, int>, double> weights;
    for (int k = 0; k < count; ++k) {
        const QPointF d = step * (-radius + 2.0 * radius * k / (count - 1));
        const double fx = std::floor(d.x());
        const double fy = std::floor(d.y());
        const double a = d.x() - fx;
        const double b = d.y() - fy;
        const int ix = int(fx);
        const int iy = int(fy);
        weights[{ix, iy}] += (1 - a) * (1 - b) / count;
        weights[{ix + 1, iy}] += a * (1 - b) / count;
        weights[{ix, iy + 1}] += (1 - a) * b / count;
        weights[{ix + 1, iy + 1}] += a * b / count;
    }
    std::vector<Tap> taps;
    QRect reach;
    for (const auto& [at, weight] : weights) {
        if (weight <= 0.0)
            continue;
        taps.push_back({at.first, at.second, float(weight)});
        reach |= QRect(at.first, at.second, 1, 1);
    }
    const auto render = [=](const QRect& rect) { return weightedSum(input, rect, taps, reach); };
    if (input.isInfinite())
        return FilterImage::infinite(render);
    const QRect extent = input.extent().adjusted(-gx, -gy, gx, gy);
    return FilterImage(render(extent), extent.topLeft());
}

FilterImage zoomBlur(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const QPointF centre = f.point(QStringLiteral("inputCenter"));
    const double amount = f.number(QStringLiteral("inputAmount"));
    if (f.failed())
        return {};
    constexpr int count = 24;
    const auto positions = [=](const QPointF& p, QPointF* at) {
        for (int k = 0; k < count; ++k)
            at[k] = p + (centre - p) * (amount / 100.0 * k / (count - 1));
    };
    return overInput(input, [=](const QRect& rect) {
        if (!input.isInfinite())
            return meanOfSamples(input.pixels(), input.origin(), Edge::Clamp, rect, count,
                                 positions);
        // Samples lie between each pixel and its point towards the centre.
        QRectF reach(rect);
        for (const QPointF corner : {QPointF(rect.topLeft()), QPointF(rect.topRight()),
                                     QPointF(rect.bottomLeft()), QPointF(rect.bottomRight())}) {
            const QPointF end = corner + (centre - corner) * (amount / 100.0);
            reach |= QRectF(end, QSizeF(1, 1));
        }
        const QRect source = reach.toAlignedRect().adjusted(-2, -2, 2, 2);
        return meanOfSamples(input.render(source), source.topLeft(), Edge::Clamp, rect, count,
                             positions);
    });
}

} // namespace

void addBlurFilters(Definitions& definitions)
{
    const ImageFilter::Input image{kInputImage, {}};
    const QPointF centre(150, 150);
    definitions += {
        {QStringLiteral("CIGaussianBlur"), {image, {kInputRadius, 10.0}}, gaussianBlur},
        {QStringLiteral("CIUnsharpMask"),
         {image, {kInputRadius, 2.5}, {kInputIntensity, 0.5}},
         unsharpMask},
        {QStringLiteral("CIMotionBlur"),
         {image, {kInputRadius, 20.0}, {kInputAngle, 0.0}},
         motionBlur},
        {QStringLiteral("CIZoomBlur"),
         {image, {QStringLiteral("inputCenter"), centre}, {QStringLiteral("inputAmount"), 20.0}},
         zoomBlur},
        {QStringLiteral("CINoiseReduction"),
         {image,
          {QStringLiteral("inputNoiseLevel"), 0.02},
          {QStringLiteral("inputSharpness"), 0.4}},
         noiseReduction},
        {QStringLiteral("CIBloom"), {image, {kInputRadius, 10.0}, {kInputIntensity, 0.5}}, bloom},
        {QStringLiteral("CIGloom"), {image, {kInputRadius, 10.0}, {kInputIntensity, 0.5}}, gloom},
        {QStringLiteral("CIEdgeWork"), {image, {kInputRadius, 3.0}}, edgeWork},
        {QStringLiteral("CIEdges"), {image, {kInputIntensity, 1.0}}, edges},
    };
}

} // namespace platform::filters
