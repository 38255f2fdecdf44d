#include "platform/imaging/FilterKernels.h"

#include "platform/drawing/BoxBlur.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <cstring>
#include <new>
#include <vector>

namespace platform::kernels {

namespace {

std::atomic<int> maximumThreads{0};
thread_local bool insideBand = false;

QThreadPool& pool()
{
    static QThreadPool* threads = [] {
        auto* created = new QThreadPool; // lives for the run; its threads end when idle
        created->setExpiryTimeout(30000);
        return created;
    }();
    return *threads;
}

} // namespace

int threadCount()
{
    const int set = maximumThreads.load();
    return set > 0 ? set : std::max(1, QThread::idealThreadCount());
}

void setThreadCount(int count)
{
    maximumThreads.store(std::max(0, count));
}

void forEachBand(int count, const std::function<void(int begin, int end)>& work)
{
    if (count <= 0)
        return;
    const int threads = std::min(threadCount(), count);
    if (threads <= 1 || insideBand) {
        work(0, count);
        return;
    }
    // More bands than threads, so a thread slowed by others' work is made up for.
    const int bands = std::min(count, threads * 4);
    std::atomic<int> next{0};
    const auto runBands = [&] {
        insideBand = true;
        for (int band = next++; band < bands; band = next++)
            work(int(qint64(count) * band / bands), int(qint64(count) * (band + 1) / bands));
        insideBand = false;
    };
    QThreadPool& threadsPool = pool();
    if (threadsPool.maxThreadCount() < threads - 1)
        threadsPool.setMaxThreadCount(threads - 1);
    QSemaphore finished;
    for (int i = 1; i < threads; ++i) {
        threadsPool.start([&] {
            runBands();
            finished.release();
        });
    }
    runBands();
    finished.acquire(threads - 1);
}

QImage newPixels(const QSize& size)
{
    if (size.isEmpty())
        return {};
    return QImage(size, QImage::Format_ARGB32_Premultiplied);
}

QRgb Sampler::at(int i, int j) const
{
    if (i < 0 || j < 0 || i >= _pixels.width() || j >= _pixels.height())
        return 0;
    return reinterpret_cast<const QRgb*>(_pixels.constScanLine(j))[i];
}

void Sampler::sample(double x, double y, double out[4]) const
{
    double u = x - _origin.x() - 0.5;
    double v = y - _origin.y() - 0.5;
    if (_edge == Edge::Clamp) {
        u = std::clamp(u, 0.0, double(_pixels.width() - 1));
        v = std::clamp(v, 0.0, double(_pixels.height() - 1));
    }
    const double fu = std::floor(u);
    const double fv = std::floor(v);
    // Far outside: nothing to blend (and no integer overflow).
    if (fu < -2.0 || fv < -2.0 || fu > _pixels.width() + 1.0 || fv > _pixels.height() + 1.0) {
        out[0] = out[1] = out[2] = out[3] = 0.0;
        return;
    }
    const int i = int(fu);
    const int j = int(fv);
    const double a = u - fu;
    const double b = v - fv;
    const QRgb p00 = at(i, j), p10 = at(i + 1, j), p01 = at(i, j + 1), p11 = at(i + 1, j + 1);
    const double w00 = (1 - a) * (1 - b), w10 = a * (1 - b), w01 = (1 - a) * b, w11 = a * b;
    out[0] = w00 * qRed(p00) + w10 * qRed(p10) + w01 * qRed(p01) + w11 * qRed(p11);
    out[1] = w00 * qGreen(p00) + w10 * qGreen(p10) + w01 * qGreen(p01) + w11 * qGreen(p11);
    out[2] = w00 * qBlue(p00) + w10 * qBlue(p10) + w01 * qBlue(p01) + w11 * qBlue(p11);
    out[3] = w00 * qAlpha(p00) + w10 * qAlpha(p10) + w01 * qAlpha(p01) + w11 * qAlpha(p11);
}

QRgb Sampler::nearest(double x, double y) const
{
    const double u = std::clamp(std::floor(x - _origin.x()), 0.0, double(_pixels.width() - 1));
    const double v = std::clamp(std::floor(y - _origin.y()), 0.0, double(_pixels.height() - 1));
    return at(int(u), int(v));
}

// --- Gaussian blur ---
//
// The pixels become a plane of sixteen-bit samples (each byte times 256, four interleaved
// channels a pixel), padded by the blur's reach. It is blurred along rows by passing down
// the columns of its transpose, transposed back and blurred down its columns, then rounded
// to bytes. Small deviations are convolved with the Gaussian itself; larger ones go
// through five box passes whose ends carry a fractional weight, so their variances add up
// to sigma² exactly and their succession stays within a byte step of the Gaussian.

namespace {

using Sample = std::uint16_t;
constexpr int kChannels = 4;
constexpr double kDirectLimit = 3.0; // up to this deviation the Gaussian is convolved
constexpr int kBoxPasses = 5;
constexpr int kStrip = 256; // samples of a column strip that go through all passes at once

// One pass of the blur along a column: an extended box or a direct kernel.
struct BlurPass
{
    int radius = 0;             // box: samples each side of the centre at full weight
    float inner = 0, edge = 0;  // box: weights of the run and of its two end samples
    std::vector<float> kernel;  // direct: weights from -radius to radius
    int reach() const { return kernel.empty() ? radius + (edge > 0.0f ? 1 : 0) : radius; }
};

std::vector<BlurPass> blurPasses(double sigma)
{
    std::vector<BlurPass> passes;
    if (!(sigma > 0.0))
        return passes;
    if (sigma <= kDirectLimit) {
        BlurPass pass;
        pass.radius = int(std::ceil(3.0 * sigma));
        double total = 0.0;
        std::vector<double> weights;
        for (int k = -pass.radius; k <= pass.radius; ++k) {
            weights.push_back(std::exp(-double(k) * k / (2.0 * sigma * sigma)));
            total += weights.back();
        }
        for (double w : weights)
            pass.kernel.push_back(float(w / total));
        passes.push_back(std::move(pass));
        return passes;
    }
    // Each pass carries a fifth of the variance: a run of n = 2r + 1 samples at weight 1
    // and one sample each side at weight alpha, so (S + 2 alpha (r + 1)²) / (n + 2 alpha)
    // = v with S = r (r + 1) (2r + 1) / 3.
    const double v = sigma * sigma / kBoxPasses;
    const int r = int(std::floor((std::sqrt(12.0 * v + 1.0) - 1.0) / 2.0));
    const double n = 2.0 * r + 1.0;
    const double s = r * (r + 1.0) * (2.0 * r + 1.0) / 3.0;
    const double alpha = std::clamp((v * n - s) / (2.0 * (r + 1.0) * (r + 1.0) - 2.0 * v), 0.0, 1.0);
    BlurPass pass;
    pass.radius = r;
    pass.inner = float(1.0 / (n + 2.0 * alpha));
    pass.edge = float(alpha / (n + 2.0 * alpha));
    passes.assign(kBoxPasses, pass);
    return passes;
}

struct ExtendedBox
{
    static constexpr bool extended = true;
    float inner, edge;
    Sample operator()(std::uint32_t run, std::uint32_t ends) const
    {
        return Sample(float(run) * inner + float(ends) * edge + 0.5f);
    }
};

void convolveColumns(const Sample* source, Sample* target, std::size_t stride, int x0, int x1,
                     int h, const BlurPass& pass)
{
    const std::size_t w = std::size_t(x1 - x0);
    std::vector<float> sums(w);
    for (int y = 0; y < h; ++y) {
        std::fill(sums.begin(), sums.end(), 0.0f);
        for (int k = -pass.radius; k <= pass.radius; ++k) {
            if (y + k < 0 || y + k >= h)
                continue;
            const float weight = pass.kernel[std::size_t(k + pass.radius)];
            const Sample* in = source + std::size_t(y + k) * stride + std::size_t(x0);
            for (std::size_t x = 0; x < w; ++x)
                sums[x] += weight * float(in[x]);
        }
        Sample* out = target + std::size_t(y) * stride + std::size_t(x0);
        for (std::size_t x = 0; x < w; ++x)
            out[x] = Sample(sums[x] + 0.5f);
    }
}

// All passes down the columns of an h-row plane, strip by strip, so a strip stays in the
// cache through every pass. The result is in `a` after an even number of passes, else in `b`.
void blurColumns(std::vector<Sample>& a, std::vector<Sample>& b, std::size_t stride, int h,
                 const std::vector<BlurPass>& passes)
{
    const int strips = int((stride + kStrip - 1) / kStrip);
    forEachBand(strips, [&](int begin, int end) {
        for (int strip = begin; strip < end; ++strip) {
            const int x0 = strip * kStrip;
            const int x1 = std::min(int(stride), x0 + kStrip);
            Sample* from = a.data();
            Sample* to = b.data();
            for (const BlurPass& pass : passes) {
                if (!pass.kernel.empty())
                    convolveColumns(from, to, stride, x0, x1, h, pass);
                else
                    boxblur::passColumns<Sample, std::uint32_t>(from, to, stride, x0, x1, h,
                                                                pass.radius,
                                                                ExtendedBox{pass.inner, pass.edge});
                std::swap(from, to);
            }
        }
    });
}

} // namespace

BlurredPlane gaussianBlurPlane(const QImage& pixels, double sigma, Edge edge, int* grownBy)
{
    const std::vector<BlurPass> passes = blurPasses(sigma);
    int reach = 0;
    for (const BlurPass& pass : passes)
        reach += pass.reach();
    if (grownBy)
        *grownBy = edge == Edge::Transparent ? reach : 0;
    if (pixels.isNull())
        return {};

    const int w = pixels.width();
    const int h = pixels.height();
    const int pw = w + 2 * reach;
    const int ph = h + 2 * reach;
    const std::size_t size = std::size_t(pw) * std::size_t(ph) * kChannels;
    std::vector<Sample> a, b;
    try {
        a.resize(size);
        b.resize(passes.empty() ? 0 : size);
    } catch (const std::bad_alloc&) {
        return {};
    }

    // The padded pixels, transposed: a row per column of the picture.
    const std::size_t transposedStride = std::size_t(ph) * kChannels;
    forEachBand(pw, [&](int begin, int end) {
        for (int py = 0; py < ph; ++py) {
            int sy = py - reach;
            if (edge == Edge::Clamp)
                sy = std::clamp(sy, 0, h - 1);
            const QRgb* line =
                sy >= 0 && sy < h ? reinterpret_cast<const QRgb*>(pixels.constScanLine(sy)) : nullptr;
            for (int px = begin; px < end; ++px) {
                int sx = px - reach;
                if (edge == Edge::Clamp)
                    sx = std::clamp(sx, 0, w - 1);
                const QRgb p = line && sx >= 0 && sx < w ? line[sx] : 0;
                Sample* to = a.data() + std::size_t(px) * transposedStride + std::size_t(py) * kChannels;
                to[0] = Sample(qRed(p) << 8);
                to[1] = Sample(qGreen(p) << 8);
                to[2] = Sample(qBlue(p) << 8);
                to[3] = Sample(qAlpha(p) << 8);
            }
        }
    });
    blurColumns(a, b, transposedStride, pw, passes);
    std::vector<Sample>& rows = passes.size() % 2 == 0 ? a : b;
    std::vector<Sample>& spare = passes.size() % 2 == 0 ? b : a;
    if (spare.empty())
        spare.resize(size);

    // Back to a row per row of the picture, four samples (one pixel) at a time.
    const std::size_t stride = std::size_t(pw) * kChannels;
    forEachBand(ph, [&](int begin, int end) {
        for (int px = 0; px < pw; ++px) {
            const Sample* column = rows.data() + std::size_t(px) * transposedStride;
            for (int py = begin; py < end; ++py)
                std::memcpy(spare.data() + std::size_t(py) * stride + std::size_t(px) * kChannels,
                            column + std::size_t(py) * kChannels, sizeof(Sample) * kChannels);
        }
    });
    blurColumns(spare, rows, stride, ph, passes);

    BlurredPlane plane;
    plane.samples = std::move(passes.size() % 2 == 0 ? spare : rows);
    plane.stride = pw;
    plane.offset = edge == Edge::Clamp ? QPoint(reach, reach) : QPoint();
    plane.size = edge == Edge::Clamp ? QSize(w, h) : QSize(pw, ph);
    return plane;
}

QImage gaussianBlur(const QImage& pixels, double sigma, Edge edge, int* grownBy)
{
    if (!(sigma > 0.0)) {
        if (grownBy)
            *grownBy = 0;
        return pixels;
    }
    const BlurredPlane plane = gaussianBlurPlane(pixels, sigma, edge, grownBy);
    if (plane.isNull())
        return {};
    QImage out = newPixels(plane.size);
    if (out.isNull())
        return {};
    forEachBand(plane.size.height(), [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const Sample* in = plane.at(0, y);
            QRgb* to = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < plane.size.width(); ++x, in += kChannels) {
                const int alpha = std::min(255, (in[3] + 128) >> 8);
                to[x] = qRgba(std::min(alpha, (in[0] + 128) >> 8), std::min(alpha, (in[1] + 128) >> 8),
                              std::min(alpha, (in[2] + 128) >> 8), alpha);
            }
        }
    });
    return out;
}

} // namespace platform::kernels
