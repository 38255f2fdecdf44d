#pragma once

// Box passes: the running-sum blur that the drawing context's shadows and the image
// filters' Gaussian blur are both made of. A pass runs down the columns of a plane of
// samples (row after row, so memory is read in order and the per-column sums are added
// side by side); blurring along rows is done by passing down a transposed plane.
// Internal to the platform layer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::boxblur {

// Radii of three box blurs whose succession approximates a Gaussian of deviation sigma:
// the widths are the two odd numbers around the ideal width, as many of the smaller as
// make the variances add up.
std::array<int, 3> radiiForSigma(double sigma);

// One box pass down the columns [x0, x1) of a plane of h rows of `stride` samples, into
// the same columns of `target`. Samples beyond the first and last row count as 0. For
// each sample, `weigh(sum, ends)` makes the output from the sum of the 2 radius + 1
// samples centred on it and, when Weigh::extended, the sum of the two samples just
// outside that run (0 otherwise). Sum must hold 2 radius + 3 samples' worth.
template <typename Sample, typename Sum, typename Weigh>
void passColumns(const Sample* source, Sample* target, std::size_t stride, int x0, int x1, int h,
                 int radius, const Weigh& weigh)
{
    const std::size_t w = std::size_t(x1 - x0);
    std::vector<Sum> sums(w, 0);
    std::vector<Sample> zeros(Weigh::extended ? w : 0, 0);
    const auto line = [&](int row) { return source + std::size_t(row) * stride + std::size_t(x0); };
    for (int y = 0; y < radius && y < h; ++y) {
        const Sample* in = line(y);
        for (std::size_t x = 0; x < w; ++x)
            sums[x] = Sum(sums[x] + in[x]);
    }
    for (int y = 0; y < h; ++y) {
        if (y + radius < h) {
            const Sample* in = line(y + radius);
            for (std::size_t x = 0; x < w; ++x)
                sums[x] = Sum(sums[x] + in[x]);
        }
        Sample* out = target + std::size_t(y) * stride + std::size_t(x0);
        if constexpr (Weigh::extended) {
            const Sample* above = y - radius - 1 >= 0 ? line(y - radius - 1) : zeros.data();
            const Sample* below = y + radius + 1 < h ? line(y + radius + 1) : zeros.data();
            for (std::size_t x = 0; x < w; ++x)
                out[x] = weigh(sums[x], Sum(Sum(above[x]) + below[x]));
        } else {
            for (std::size_t x = 0; x < w; ++x)
                out[x] = weigh(sums[x], Sum(0));
        }
        if (y - radius >= 0) {
            const Sample* in = line(y - radius);
            for (std::size_t x = 0; x < w; ++x)
                sums[x] = Sum(sums[x] - in[x]);
        }
    }
}

// A plain box pass over a whole w × h plane of bytes, the average rounded down (a full
// box of 255 gives 255 again, never more).
void boxBlurColumns(const std::uint8_t* source, std::uint8_t* target, int w, int h, int radius);

} // namespace platform::boxblur
