// Geometry: Lanczos scaling, affine and perspective transforms, the clamp and the crop.

#include "platform/imaging/FilterKernels.h"
#include "platform/imaging/FilterRegistry.h"

#include <QPolygonF>

#include <cmath>
#include <memory>
#include <new>
#include <numbers>
#include <vector>

namespace platform::filters {

using kernels::Edge;

namespace {

const QString kTransform = QStringLiteral("inputTransform");
constexpr double kPi = std::numbers::pi;
constexpr double kLobes = 3.0;

// The whole-pixel rectangle covering r, edges within a hair of a whole number kept there.
QRect coveringRect(const QRectF& r)
{
    constexpr double hair = 1e-6;
    const int left = int(std::floor(r.left() + hair));
    const int top = int(std::floor(r.top() + hair));
    const int right = int(std::ceil(r.right() - hair));
    const int bottom = int(std::ceil(r.bottom() - hair));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

int roundHalfUp(double v)
{
    return int(std::floor(v + 0.5));
}

// --- Lanczos ---

double lanczos(double t)
{
    if (t == 0.0)
        return 1.0;
    if (std::abs(t) >= kLobes)
        return 0.0;
    const double a = kPi * t;
    return kLobes * std::sin(a) * std::sin(a / kLobes) / (a * a);
}

// For each output index along one axis, the input indices (into a source of `count`
// samples) and normalised weights that make it.
struct AxisTaps
{
    int taps = 0;              // per output index
    std::vector<int> index;    // outputs × taps
    std::vector<float> weight; // outputs × taps
};

// Output o lies at input position first + (o + 0.5) step - 0.5 (in source indices);
// indices beyond the source are clamped into it.
AxisTaps lanczosTaps(int outputs, double first, double step, double factor, int count)
{
    AxisTaps taps;
    const double shrink = std::min(1.0, factor);
    const double support = kLobes / shrink;
    taps.taps = int(std::ceil(2.0 * support)) + 1;
    taps.index.assign(std::size_t(outputs) * std::size_t(taps.taps), 0);
    taps.weight.assign(taps.index.size(), 0.0f);
    std::vector<double> weights(std::size_t(taps.taps));
    for (int o = 0; o < outputs; ++o) {
        const double u = first + (o + 0.5) * step - 0.5;
        const int start = int(std::floor(u - support)) + 1;
        double total = 0.0;
        for (int k = 0; k < taps.taps; ++k) {
            weights[std::size_t(k)] = lanczos((start + k - u) * shrink);
            total += weights[std::size_t(k)];
        }
        for (int k = 0; k < taps.taps; ++k) {
            const std::size_t at = std::size_t(o) * std::size_t(taps.taps) + std::size_t(k);
            taps.index[at] = std::clamp(start + k, 0, count - 1);
            taps.weight[at] = float(weights[std::size_t(k)] / total);
        }
    }
    return taps;
}

// sum[i] += weight × in[i]: the inner loop of the pass down the columns, made for wide
// vector units too where the processor has them (the results are the same either way: no
// fused operations).
__attribute__((target_clones("avx2", "default"))) void
addWeighted(float* __restrict sum, const float* __restrict in, float weight, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        sum[i] += weight * in[i];
}

// Whether red, green and blue are alike in every pixel (a mask, a grey picture).
bool isGrey(const QImage& source)
{
    for (int y = 0; y < source.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const QRgb p = in[x];
            if (qRed(p) != qGreen(p) || qRed(p) != qBlue(p))
                return false;
        }
    }
    return true;
}

// Resamples source by the two axes' taps: along rows, then down columns, with Channels
// samples a pixel: 4 (red, green, blue, alpha), or 2 (grey and alpha) for a grey source,
// whose red, green and blue come out of the same arithmetic alike anyway.
template <int Channels>
QImage resampleChannels(const QImage& source, const AxisTaps& across, int width,
                        const AxisTaps& down, int height)
{
    QImage out = kernels::newPixels(QSize(width, height));
    if (source.isNull() || out.isNull())
        return {};
    const std::size_t rowSamples = std::size_t(width) * Channels;
    // Every value is written before it is read: no need to clear them first.
    const kernels::LargeArray<float> rows =
        kernels::largeArray<float>(std::size_t(source.height()) * rowSamples);
    if (!rows)
        return {};
    kernels::forEachBand(source.height(), [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
            float* to = rows.get() + std::size_t(y) * rowSamples;
            for (int x = 0; x < width; ++x, to += Channels) {
                float sum[Channels] = {};
                const std::size_t at = std::size_t(x) * std::size_t(across.taps);
                for (int k = 0; k < across.taps; ++k) {
                    const QRgb p = in[across.index[at + std::size_t(k)]];
                    const float w = across.weight[at + std::size_t(k)];
                    if constexpr (Channels == 4) {
                        sum[0] += w * float(qRed(p));
                        sum[1] += w * float(qGreen(p));
                        sum[2] += w * float(qBlue(p));
                        sum[3] += w * float(qAlpha(p));
                    } else {
                        sum[0] += w * float(qRed(p));
                        sum[1] += w * float(qAlpha(p));
                    }
                }
                std::copy(sum, sum + Channels, to);
            }
        }
    });
    uchar* const outBits = out.bits();
    const qsizetype outStride = out.bytesPerLine();
    kernels::forEachBand(height, [&](int begin, int end) {
        std::vector<float> sum(rowSamples);
        for (int y = begin; y < end; ++y) {
            std::fill(sum.begin(), sum.end(), 0.0f);
            const std::size_t at = std::size_t(y) * std::size_t(down.taps);
            for (int k = 0; k < down.taps; ++k)
                addWeighted(sum.data(),
                            rows.get() + std::size_t(down.index[at + std::size_t(k)]) * rowSamples,
                            down.weight[at + std::size_t(k)], rowSamples);
            QRgb* to = reinterpret_cast<QRgb*>(outBits + y * outStride);
            for (int x = 0; x < width; ++x) {
                const float* s = sum.data() + std::size_t(x) * Channels;
                to[x] = Channels == 4 ? kernels::premultipliedPixel(s[0], s[1], s[2], s[3])
                                      : kernels::premultipliedPixel(s[0], s[0], s[0], s[1]);
            }
        }
    });
    return out;
}

QImage resample(const QImage& source, const AxisTaps& across, int width, const AxisTaps& down,
                int height)
{
    return isGrey(source) ? resampleChannels<2>(source, across, width, down, height)
                          : resampleChannels<4>(source, across, width, down, height);
}

FilterImage lanczosScale(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const double scale = f.number(kInputScale);
    const double aspect = f.number(QStringLiteral("inputAspectRatio"));
    if (f.failed())
        return {};
    const double sx = scale * aspect;
    const double sy = scale;
    if (!(sx > 0.0) || !(sy > 0.0) || !std::isfinite(sx) || !std::isfinite(sy))
        return {};
    if (input.isInfinite()) {
        return FilterImage::infinite([input, sx, sy](const QRect& rect) -> QImage {
            // The input positions the rectangle maps to, with the kernel's reach around them.
            const double reachX = kLobes / std::min(1.0, sx) + 1.0;
            const double reachY = kLobes / std::min(1.0, sy) + 1.0;
            const QRect source = coveringRect(
                QRectF(rect.left() / sx - reachX, rect.top() / sy - reachY,
                       rect.width() / sx + 2 * reachX, rect.height() / sy + 2 * reachY));
            const AxisTaps across = lanczosTaps(rect.width(), rect.left() / sx - source.left(),
                                                1.0 / sx, sx, source.width());
            const AxisTaps down = lanczosTaps(rect.height(), rect.top() / sy - source.top(),
                                              1.0 / sy, sy, source.height());
            return resample(input.render(source), across, rect.width(), down, rect.height());
        });
    }
    const QRect extent = input.extent();
    const QRect scaled(roundHalfUp(extent.left() * sx), roundHalfUp(extent.top() * sy),
                       std::max(1, roundHalfUp(extent.width() * sx)),
                       std::max(1, roundHalfUp(extent.height() * sy)));
    const double stepX = double(extent.width()) / scaled.width();
    const double stepY = double(extent.height()) / scaled.height();
    const AxisTaps across = lanczosTaps(scaled.width(), 0.0, stepX, 1.0 / stepX, extent.width());
    const AxisTaps down = lanczosTaps(scaled.height(), 0.0, stepY, 1.0 / stepY, extent.height());
    return FilterImage(resample(input.pixels(), across, scaled.width(), down, scaled.height()),
                       scaled.topLeft());
}

// --- Affine ---

bool isWholeTranslation(const QTransform& t, QPoint* offset)
{
    if (t.type() > QTransform::TxTranslate)
        return false;
    const double dx = t.dx(), dy = t.dy();
    if (std::abs(dx - std::round(dx)) > 1e-9 || std::abs(dy - std::round(dy)) > 1e-9)
        return false;
    *offset = QPoint(int(std::round(dx)), int(std::round(dy)));
    return true;
}

FilterImage affine(const ImageFilter& f, Edge edge)
{
    const FilterImage input = f.image(kInputImage);
    const QTransform t = f.transform(kTransform);
    if (f.failed() || t.type() == QTransform::TxProject)
        return {};
    bool invertible = false;
    const QTransform inverse = t.inverted(&invertible);
    if (!invertible)
        return {};
    const auto map = [inverse](double x, double y, double* sx, double* sy) {
        inverse.map(x, y, sx, sy);
        return true;
    };
    if (edge == Edge::Clamp)
        return kernels::warp(input, std::nullopt, map, Edge::Clamp);
    QPoint offset;
    if (isWholeTranslation(t, &offset))
        return input.translated(offset);
    std::optional<QRect> extent;
    if (!input.isInfinite())
        extent = coveringRect(t.mapRect(QRectF(input.extent())));
    return kernels::warp(input, extent, map, Edge::Transparent);
}

FilterImage affineTransform(const ImageFilter& f)
{
    return affine(f, Edge::Transparent);
}

FilterImage affineClamp(const ImageFilter& f)
{
    return affine(f, Edge::Clamp);
}

FilterImage crop(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const QVariant value = f.valueForKey(QStringLiteral("inputRectangle"));
    if (f.failed())
        return {};
    if (!value.isValid())
        return input;
    const QRectF r = f.rect(QStringLiteral("inputRectangle")).normalized();
    if (f.failed())
        return {};
    const QRect cut(QPoint(roundHalfUp(r.left()), roundHalfUp(r.top())),
                    QPoint(roundHalfUp(r.right()) - 1, roundHalfUp(r.bottom()) - 1));
    const QRect kept = input.isInfinite() ? cut : cut & input.extent();
    if (kept.isEmpty())
        return {};
    return FilterImage(input.render(kept), kept.topLeft());
}

// --- Perspective ---

FilterImage perspective(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const QPolygonF corners(
        {f.point(QStringLiteral("inputTopLeft")), f.point(QStringLiteral("inputTopRight")),
         f.point(QStringLiteral("inputBottomRight")), f.point(QStringLiteral("inputBottomLeft"))});
    if (f.failed() || input.isInfinite())
        return {};
    const QRectF e(input.extent());
    const QPolygonF from({e.topLeft(), e.topRight(), e.bottomRight(), e.bottomLeft()});
    QTransform t;
    if (!QTransform::quadToQuad(from, corners, t))
        return {};
    bool invertible = false;
    const QTransform inverse = t.inverted(&invertible);
    if (!invertible)
        return {};
    return kernels::warp(
        input, coveringRect(corners.boundingRect()),
        [inverse](double x, double y, double* sx, double* sy) {
            // Projective division by hand: beyond the horizon there is nothing to sample.
            const double w = inverse.m13() * x + inverse.m23() * y + inverse.m33();
            if (!(w > 0.0))
                return false;
            *sx = (inverse.m11() * x + inverse.m21() * y + inverse.m31()) / w;
            *sy = (inverse.m12() * x + inverse.m22() * y + inverse.m32()) / w;
            return true;
        },
        Edge::Transparent);
}

} // namespace

void addGeometryFilters(Definitions& definitions)
{
    const ImageFilter::Input image{kInputImage, {}};
    definitions += {
        {QStringLiteral("CILanczosScaleTransform"),
         {image, {kInputScale, 1.0}, {QStringLiteral("inputAspectRatio"), 1.0}},
         lanczosScale},
        {QStringLiteral("CIAffineTransform"), {image, {kTransform, QTransform()}}, affineTransform},
        {QStringLiteral("CIAffineClamp"), {image, {kTransform, QTransform()}}, affineClamp},
        {QStringLiteral("CICrop"), {image, {QStringLiteral("inputRectangle"), QVariant()}}, crop},
        {QStringLiteral("CIPerspectiveTransform"),
         {image,
          {QStringLiteral("inputTopLeft"), QPointF(20, 20)},
          {QStringLiteral("inputTopRight"), QPointF(280, 0)},
          {QStringLiteral("inputBottomRight"), QPointF(300, 300)},
          {QStringLiteral("inputBottomLeft"), QPointF(0, 280)}},
         perspective},
    };
}

} // namespace platform::filters
