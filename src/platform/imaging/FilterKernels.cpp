#include "platform/imaging/FilterKernels.h"

#include "platform/drawing/BoxBlur.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <sys/mman.h>

#include <atomic>
#include <cstdlib>
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

void* allocateLarge(std::size_t bytes)
{
    constexpr std::size_t hugePage = std::size_t(2) << 20;
    if (bytes < 4 * hugePage)
        return std::malloc(std::max<std::size_t>(bytes, 1));
    const std::size_t whole = (bytes + hugePage - 1) / hugePage * hugePage;
    void* buffer = nullptr;
    if (posix_memalign(&buffer, hugePage, whole) != 0)
        return nullptr;
    // Only a hint: where the system has no huge pages, ordinary ones.
    ::madvise(buffer, whole, MADV_HUGEPAGE);
    return buffer;
}

void freeLarge(void* buffer)
{
    std::free(buffer);
}

QImage newPixels(const QSize& size)
{
    if (size.isEmpty())
        return {};
    const qsizetype stride = qsizetype(size.width()) * 4;
    uchar* bits =
        static_cast<uchar*>(allocateLarge(std::size_t(stride) * std::size_t(size.height())));
    if (!bits)
        return {};
    QImage image(bits, size.width(), size.height(), stride, QImage::Format_ARGB32_Premultiplied,
                 freeLarge, bits);
    if (image.isNull())
        freeLarge(bits);
    return image;
}

QRgb Sampler::nearest(double x, double y) const
{
    const double u = std::clamp(std::floor(x - _origin.x()), 0.0, double(_width - 1));
    const double v = std::clamp(std::floor(y - _origin.y()), 0.0, double(_height - 1));
    return at(int(u), int(v));
}

// --- Gaussian blur ---
//
// The pixels become sixteen-bit samples (each byte times 256, four interleaved channels a
// pixel), padded by the blur's reach. Bands of rows are blurred along their rows by
// passing down the columns of their transposes (so the passes run side by side over the
// band's samples), then laid into strips of columns, which are blurred down their columns
// the same way. Bands and strips are each small and whole in memory, so every pass reads
// memory in order. Small deviations are convolved with the Gaussian itself; larger ones go
// through five box passes whose ends carry a fractional weight, so their variances add up
// to sigma² exactly and their succession stays within a byte step of the Gaussian.

namespace {

using Sample = std::uint16_t;
constexpr int kChannels = 4;
constexpr double kDirectLimit = 3.0; // up to this deviation the Gaussian is convolved
constexpr int kBoxPasses = 5;
constexpr int kBand = BlurredPlane::kStripPixels; // rows of a band, columns of a strip
constexpr int kBandSamples = BlurredPlane::kStripSamples;

// One pass of the blur along a column: an extended box or a direct kernel.
struct BlurPass
{
    int radius = 0;            // box: samples each side of the centre at full weight
    float inner = 0, edge = 0; // box: weights of the run and of its two end samples
    std::vector<float> kernel; // direct: weights from -radius to radius
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
    const double alpha =
        std::clamp((v * n - s) / (2.0 * (r + 1.0) * (r + 1.0) - 2.0 * v), 0.0, 1.0);
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
    // Through signed 32-bit integers both ways (the sums stay far below 2^31, the result
    // below 65536): vector units convert those, not unsigned ones, so the loop this is
    // called in is vectorised. The values are the same as straight conversions.
    Sample operator()(std::uint32_t run, std::uint32_t ends) const
    {
        return Sample(std::int32_t(float(std::int32_t(run)) * inner
                                   + float(std::int32_t(ends)) * edge + 0.5f));
    }
};

void convolveColumns(const Sample* source, Sample* target, int h, const BlurPass& pass)
{
    float sums[kBandSamples];
    for (int y = 0; y < h; ++y) {
        std::fill(sums, sums + kBandSamples, 0.0f);
        for (int k = -pass.radius; k <= pass.radius; ++k) {
            if (y + k < 0 || y + k >= h)
                continue;
            const float weight = pass.kernel[std::size_t(k + pass.radius)];
            const Sample* in = source + std::size_t(y + k) * kBandSamples;
            for (int x = 0; x < kBandSamples; ++x)
                sums[x] += weight * float(in[x]);
        }
        Sample* out = target + std::size_t(y) * kBandSamples;
        for (int x = 0; x < kBandSamples; ++x)
            out[x] = Sample(sums[x] + 0.5f);
    }
}

// Every pass down the columns of a block of h rows of kBandSamples samples, between the
// block and the scratch of the same size; returns where the result is. Made for wide
// vector units too where the processor has them (the results are the same either way:
// no fused operations). Clang takes no inlining hint on functions with clones (fuzzing
// builds).
#if defined(__clang__)
__attribute__((target_clones("avx2", "default"))) Sample*
#else
__attribute__((flatten, target_clones("avx2", "default"))) Sample*
#endif
blurBlock(Sample* block, Sample* scratch, int h, const std::vector<BlurPass>& passes)
{
    Sample* from = block;
    Sample* to = scratch;
    for (const BlurPass& pass : passes) {
        if (!pass.kernel.empty())
            convolveColumns(from, to, h, pass);
        else
            boxblur::passColumns<Sample, std::uint32_t>(from, to, kBandSamples, 0, kBandSamples, h,
                                                        pass.radius,
                                                        ExtendedBox{pass.inner, pass.edge});
        std::swap(from, to);
    }
    return from;
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
    const int strips = (pw + kBand - 1) / kBand;
    BlurredPlane plane;
    plane.samples = largeArray<Sample>(std::size_t(strips) * std::size_t(ph) * kBandSamples);
    if (!plane.samples)
        return {};
    plane.rows = ph;
    plane.offset = edge == Edge::Clamp ? QPoint(reach, reach) : QPoint();
    plane.size = edge == Edge::Clamp ? QSize(w, h) : QSize(pw, ph);
    // The last strip's columns beyond the picture are blurred too, so they hold zeros.
    std::fill_n(plane.samples.get() + std::size_t(strips - 1) * std::size_t(ph) * kBandSamples,
                std::size_t(ph) * kBandSamples, Sample(0));

    // Along the rows: a band of kBand padded rows, transposed into a block of a row of
    // samples per column, blurred, and laid into the strips.
    const int bands = (ph + kBand - 1) / kBand;
    forEachBand(bands, [&](int begin, int end) {
        std::vector<Sample> block(std::size_t(pw) * kBandSamples), scratch(block.size());
        for (int band = begin; band < end; ++band) {
            const int top = band * kBand;
            const int rows = std::min(kBand, ph - top);
            std::fill(block.begin(), block.end(), Sample(0));
            for (int j = 0; j < rows; ++j) {
                int sy = top + j - reach;
                if (edge == Edge::Clamp)
                    sy = std::clamp(sy, 0, h - 1);
                if (sy < 0 || sy >= h)
                    continue;
                const QRgb* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(sy));
                for (int px = 0; px < pw; ++px) {
                    int sx = px - reach;
                    if (edge == Edge::Clamp)
                        sx = std::clamp(sx, 0, w - 1);
                    const QRgb p = sx >= 0 && sx < w ? line[sx] : 0;
                    Sample* to =
                        block.data() + std::size_t(px) * kBandSamples + std::size_t(j) * kChannels;
                    to[0] = Sample(qRed(p) << 8);
                    to[1] = Sample(qGreen(p) << 8);
                    to[2] = Sample(qBlue(p) << 8);
                    to[3] = Sample(qAlpha(p) << 8);
                }
            }
            const Sample* blurred = blurBlock(block.data(), scratch.data(), pw, passes);
            for (int px = 0; px < pw; ++px) {
                Sample* strip = plane.samples.get()
                                + std::size_t(px / kBand) * std::size_t(ph) * kBandSamples
                                + std::size_t(px % kBand) * kChannels;
                for (int j = 0; j < rows; ++j)
                    std::memcpy(strip + std::size_t(top + j) * kBandSamples,
                                blurred + std::size_t(px) * kBandSamples
                                    + std::size_t(j) * kChannels,
                                sizeof(Sample) * kChannels);
            }
        }
    });

    // Down the columns: each strip, in place.
    forEachBand(strips, [&](int begin, int end) {
        std::vector<Sample> scratch(std::size_t(ph) * kBandSamples);
        for (int strip = begin; strip < end; ++strip) {
            Sample* block =
                plane.samples.get() + std::size_t(strip) * std::size_t(ph) * kBandSamples;
            const Sample* blurred = blurBlock(block, scratch.data(), ph, passes);
            if (blurred != block)
                std::memcpy(block, blurred, sizeof(Sample) * scratch.size());
        }
    });
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
    // A band of rows at a time, strip by strip: each strip's rows lie one after the other,
    // so the samples are read in order (row by row across the strips would touch a page of
    // every strip for each row).
    const int width = plane.size.width();
    const int firstStrip = plane.offset.x() / kBand;
    const int lastStrip = (plane.offset.x() + width - 1) / kBand;
    uchar* const bits = out.bits();
    const qsizetype stride = out.bytesPerLine();
    constexpr int kRowsAtOnce = 64;
    const int rowBands = (plane.size.height() + kRowsAtOnce - 1) / kRowsAtOnce;
    forEachBand(rowBands, [&](int begin, int end) {
        for (int band = begin; band < end; ++band) {
            const int top = band * kRowsAtOnce;
            const int bottom = std::min(plane.size.height(), top + kRowsAtOnce);
            for (int strip = firstStrip; strip <= lastStrip; ++strip) {
                // The strip's columns within the result.
                const int x0 = std::max(0, strip * kBand - plane.offset.x());
                const int x1 = std::min(width, (strip + 1) * kBand - plane.offset.x());
                for (int y = top; y < bottom; ++y) {
                    QRgb* to = reinterpret_cast<QRgb*>(bits + y * stride);
                    const Sample* in = plane.at(x0, y);
                    for (int x = x0; x < x1; ++x, in += kChannels) {
                        const int alpha = std::min(255, (in[3] + 128) >> 8);
                        to[x] = qRgba(std::min(alpha, (in[0] + 128) >> 8),
                                      std::min(alpha, (in[1] + 128) >> 8),
                                      std::min(alpha, (in[2] + 128) >> 8), alpha);
                    }
                }
            }
        }
    });
    return out;
}

} // namespace platform::kernels
