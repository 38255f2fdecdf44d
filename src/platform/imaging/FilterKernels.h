#pragma once

// Building blocks of the image filters' kernels: row bands on the filters' thread pool,
// premultiplied pixel arithmetic, bilinear sampling, and the shapes most filters take
// (a function of each pixel, of each unpremultiplied colour, or of where each pixel is
// sampled from). Internal to the imaging folder.
//
// Every kernel computes each output pixel from its inputs alone, never from work done for
// a neighbouring band, so the result is the same for any number of threads.

#include "platform/imaging/FilterImage.h"

#include <QImage>
#include <QRect>
#include <QRgb>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform::kernels {

// Runs work(begin, end) over consecutive parts of [0, count) on the filters' thread pool
// and the calling thread; returns when all are done. Work running inside a band runs
// whole on its own thread.
void forEachBand(int count, const std::function<void(int begin, int end)>& work);

// Memory for a large buffer (a picture's pixels, a blur's samples), not cleared: aligned
// to and asking the system for huge pages where it has them, so that filling tens of
// megabytes takes a page fault every 2 MiB rather than every 4 KiB (eight threads writing
// a new picture otherwise spend more time on faults, contending for the process's memory
// map, than on the filter). nullptr when it cannot be had; freed by freeLarge().
void* allocateLarge(std::size_t bytes);
void freeLarge(void* buffer);
struct LargeFree
{
    void operator()(void* buffer) const { freeLarge(buffer); }
};
template <typename T>
using LargeArray = std::unique_ptr<T[], LargeFree>;
template <typename T>
LargeArray<T> largeArray(std::size_t count)
{
    return LargeArray<T>(static_cast<T*>(allocateLarge(count * sizeof(T))));
}

// A new premultiplied ARGB32 image, its pixels not cleared, in allocateLarge() memory
// (null when it cannot be had).
QImage newPixels(const QSize& size);

// --- Premultiplied pixels ---

inline int roundToInt(double v)
{
    return int(std::floor(v + 0.5));
}
// The same as std::clamp(roundToInt(v), 0, 255) (NaN giving 0), without a call to floor:
// every pixel of most filters comes through here.
inline int clampByte(double v)
{
    const double r = v + 0.5;
    if (r >= 255.0)
        return 255;
    if (r >= 0.0)
        return int(r);
    return 0;
}
// A premultiplied pixel from channel values in 0-255 (rounded, clamped, colour at most alpha).
inline QRgb premultipliedPixel(double r, double g, double b, double a)
{
    const int alpha = clampByte(a);
    return qRgba(std::min(clampByte(r), alpha), std::min(clampByte(g), alpha),
                 std::min(clampByte(b), alpha), alpha);
}
// A premultiplied pixel from an unpremultiplied colour in 0-1 and an alpha in 0-255.
inline QRgb premultipliedFromUnit(const double rgb[3], int alpha)
{
    const auto channel = [alpha](double v) { return roundToInt(std::clamp(v, 0.0, 1.0) * alpha); };
    return qRgba(channel(rgb[0]), channel(rgb[1]), channel(rgb[2]), alpha);
}
// Rec. 709 luma weights, used wherever a filter asks how bright a colour is.
inline double luminance(double r, double g, double b)
{
    return 0.2126 * r + 0.7152 * g + 0.0722 * b;
}

// --- Sampling ---

enum class Edge {
    Transparent, // beyond the extent the picture is transparent
    Clamp,       // beyond the extent the edge pixels repeat
};

// Bilinear samples of premultiplied pixels whose top-left pixel lies at `origin`, at
// continuous positions (pixel centres at + 0.5), as doubles in 0-255.
// Defined here so the filters' loops inline it: they take tens of millions of samples.
// The pixels must outlive the sampler.
class Sampler
{
public:
    Sampler(const QImage& pixels, const QPoint& origin, Edge edge)
        : _bits(pixels.constBits()),
          _stride(pixels.bytesPerLine()),
          _width(pixels.width()),
          _height(pixels.height()),
          _origin(origin),
          _edge(edge)
    {}
    void sample(double x, double y, double out[4]) const
    {
        double u = x - _origin.x() - 0.5;
        double v = y - _origin.y() - 0.5;
        if (_edge == Edge::Clamp) {
            u = std::clamp(u, 0.0, double(_width - 1));
            v = std::clamp(v, 0.0, double(_height - 1));
        }
        // Far outside (or no position at all): nothing to blend, and no integer overflow.
        if (!(u >= -2.0) || !(v >= -2.0) || u >= _width + 2.0 || v >= _height + 2.0) {
            out[0] = out[1] = out[2] = out[3] = 0.0;
            return;
        }
        const int i = wholeBelow(u);
        const int j = wholeBelow(v);
        const double a = u - i;
        const double b = v - j;
        QRgb p00, p10, p01, p11;
        if (i >= 0 && j >= 0 && i + 1 < _width && j + 1 < _height) {
            const QRgb* row = reinterpret_cast<const QRgb*>(_bits + j * _stride) + i;
            const QRgb* next = reinterpret_cast<const QRgb*>(_bits + (j + 1) * _stride) + i;
            p00 = row[0];
            p10 = row[1];
            p01 = next[0];
            p11 = next[1];
        } else {
            p00 = at(i, j);
            p10 = at(i + 1, j);
            p01 = at(i, j + 1);
            p11 = at(i + 1, j + 1);
        }
        const double w00 = (1 - a) * (1 - b), w10 = a * (1 - b), w01 = (1 - a) * b, w11 = a * b;
        out[0] = w00 * qRed(p00) + w10 * qRed(p10) + w01 * qRed(p01) + w11 * qRed(p11);
        out[1] = w00 * qGreen(p00) + w10 * qGreen(p10) + w01 * qGreen(p01) + w11 * qGreen(p11);
        out[2] = w00 * qBlue(p00) + w10 * qBlue(p10) + w01 * qBlue(p01) + w11 * qBlue(p11);
        out[3] = w00 * qAlpha(p00) + w10 * qAlpha(p10) + w01 * qAlpha(p01) + w11 * qAlpha(p11);
    }
    // The pixel containing a position, clamped into the pixels.
    QRgb nearest(double x, double y) const;

private:
    // floor(v) for v well inside an int's range.
    static int wholeBelow(double v)
    {
        const int i = int(v);
        return double(i) > v ? i - 1 : i;
    }
    // Relative to the pixels; transparent beyond them.
    QRgb at(int i, int j) const
    {
        if (i < 0 || j < 0 || i >= _width || j >= _height)
            return 0;
        return reinterpret_cast<const QRgb*>(_bits + j * _stride)[i];
    }
    const uchar* _bits;
    qsizetype _stride;
    int _width;
    int _height;
    QPoint _origin;
    Edge _edge;
};

// --- Shapes of filters ---

// out = f(pixel) for every premultiplied pixel; infinite inputs stay infinite.
template <typename PixelFunction>
FilterImage mapPixels(const FilterImage& input, PixelFunction f)
{
    const auto apply = [f](const QImage& source) -> QImage {
        if (source.isNull())
            return {};
        QImage out = newPixels(source.size());
        if (out.isNull())
            return {};
        forEachBand(source.height(), [&](int begin, int end) {
            for (int y = begin; y < end; ++y) {
                const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
                QRgb* to = reinterpret_cast<QRgb*>(out.scanLine(y));
                for (int x = 0; x < source.width(); ++x)
                    to[x] = f(in[x]);
            }
        });
        return out;
    };
    if (input.isNull())
        return {};
    if (input.isInfinite())
        return FilterImage::infinite(
            [input, apply](const QRect& rect) { return apply(input.render(rect)); });
    return FilterImage(apply(input.pixels()), input.origin());
}

// A colour filter: f(rgb) turns an unpremultiplied colour (each channel 0-1) in place;
// the result is clamped to 0-1 and premultiplied by the pixel's own alpha, so alpha never
// changes and transparent pixels stay transparent.
template <typename ColourFunction>
FilterImage mapColours(const FilterImage& input, ColourFunction f)
{
    return mapPixels(input, [f](QRgb p) -> QRgb {
        const int a = qAlpha(p);
        if (a == 0)
            return 0;
        double rgb[3] = {double(qRed(p)) / a, double(qGreen(p)) / a, double(qBlue(p)) / a};
        f(rgb);
        return premultipliedFromUnit(rgb, a);
    });
}

// A picture sampled elsewhere: for each output pixel centre (x, y), map(x, y, &sx, &sy)
// says where the input is sampled (bilinear, with the given edge), or returns false for
// a transparent pixel. The output covers `extent`, or is infinite when it is not given or
// the input is infinite; an infinite input is rendered over the bounding box of the
// positions sampled.
template <typename Map>
FilterImage warp(const FilterImage& input, std::optional<QRect> extent, Map map, Edge edge)
{
    if (input.isNull())
        return {};
    const auto render = [input, map, edge](const QRect& rect) -> QImage {
        QImage out = newPixels(rect.size());
        if (out.isNull())
            return {};
        QRect sourceRect = input.extent();
        QImage source = input.pixels();
        if (input.isInfinite()) {
            double left = HUGE_VAL, top = HUGE_VAL, right = -HUGE_VAL, bottom = -HUGE_VAL;
            for (int y = rect.top(); y <= rect.bottom(); ++y) {
                for (int x = rect.left(); x <= rect.right(); ++x) {
                    double sx = 0, sy = 0;
                    if (!map(x + 0.5, y + 0.5, &sx, &sy) || !std::isfinite(sx)
                        || !std::isfinite(sy))
                        continue;
                    left = std::min(left, sx);
                    right = std::max(right, sx);
                    top = std::min(top, sy);
                    bottom = std::max(bottom, sy);
                }
            }
            if (left > right) {
                out.fill(Qt::transparent);
                return out;
            }
            sourceRect = QRect(QPoint(int(std::floor(left)) - 1, int(std::floor(top)) - 1),
                               QPoint(int(std::ceil(right)) + 1, int(std::ceil(bottom)) + 1));
            source = input.render(sourceRect);
            if (source.isNull())
                return {};
        }
        const Sampler sampler(source, sourceRect.topLeft(), edge);
        forEachBand(rect.height(), [&](int begin, int end) {
            for (int j = begin; j < end; ++j) {
                QRgb* to = reinterpret_cast<QRgb*>(out.scanLine(j));
                const double y = rect.top() + j + 0.5;
                for (int i = 0; i < rect.width(); ++i) {
                    double sx = 0, sy = 0;
                    if (!map(rect.left() + i + 0.5, y, &sx, &sy) || !std::isfinite(sx)
                        || !std::isfinite(sy)) {
                        to[i] = 0;
                        continue;
                    }
                    double v[4];
                    sampler.sample(sx, sy, v);
                    to[i] = premultipliedPixel(v[0], v[1], v[2], v[3]);
                }
            }
        });
        return out;
    };
    if (!extent || input.isInfinite())
        return FilterImage::infinite(render);
    if (extent->isEmpty())
        return {};
    return FilterImage(render(*extent), extent->topLeft());
}

// --- Blurs ---

// Blurred pixels at sixteen bits a channel (byte values times 256), four channels a pixel
// in the order red, green, blue, alpha, premultiplied. Kept in strips of kStripPixels
// columns, each strip's rows one after the other, so a blur down the columns reads
// memory in order.
struct BlurredPlane
{
    static constexpr int kStripPixels = 16;
    static constexpr int kStripSamples = kStripPixels * 4;

    LargeArray<std::uint16_t> samples;
    int rows = 0;  // rows of every strip
    QPoint offset; // where pixel (0, 0) of the result lies in the strips
    QSize size;    // pixels of the result
    bool isNull() const { return !samples; }
    const std::uint16_t* at(int x, int y) const
    {
        const int px = x + offset.x();
        return samples.get()
               + (std::size_t(px / kStripPixels) * std::size_t(rows) + std::size_t(y + offset.y()))
                     * kStripSamples
               + std::size_t(px % kStripPixels) * 4;
    }
};

// The pixels blurred with a Gaussian of standard deviation sigma (in pixels), as exactly
// as sixteen-bit samples allow (rounded to bytes, within 2 of a direct convolution).
// Transparent: the result covers the pixels grown by `grownBy` on every side (where the
// blur reaches). Clamp: the result covers the pixels themselves, edge pixels repeated
// beyond them. A null result when memory cannot be had.
BlurredPlane gaussianBlurPlane(const QImage& pixels, double sigma, Edge edge,
                               int* grownBy = nullptr);
// The same rounded to premultiplied bytes.
QImage gaussianBlur(const QImage& pixels, double sigma, Edge edge, int* grownBy = nullptr);

} // namespace platform::kernels
