#include "platform/drawing/BoxBlur.h"

#include <cmath>

namespace platform::boxblur {

std::array<int, 3> radiiForSigma(double sigma)
{
    if (!(sigma >= 0.25))
        return {0, 0, 0};
    constexpr int passes = 3;
    const double ideal = std::sqrt(12.0 * sigma * sigma / passes + 1.0);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const double idealCount =
        (12.0 * sigma * sigma - passes * lower * lower - 4.0 * passes * lower - 3.0 * passes)
        / (-4.0 * lower - 4.0);
    const int lowerCount = int(std::lround(idealCount));
    std::array<int, 3> radii{};
    for (int i = 0; i < passes; ++i)
        radii[i] = ((i < lowerCount ? lower : upper) - 1) / 2;
    return radii;
}

namespace {

// The average as sum × (2^Shift / width, rounded up) >> Shift. Sum is wide enough for
// 255 × width and holds the scale; Product holds the two multiplied (so sixteen-bit lanes
// multiply to their high halves).
template <typename Sum, typename Product, int Shift>
struct RoundedDownAverage
{
    static constexpr bool extended = false;
    Sum scale;
    std::uint8_t operator()(Sum sum, Sum) const
    {
        return std::uint8_t((Product(sum) * Product(scale)) >> Shift);
    }
};

template <typename Sum, typename Product, int Shift>
void averageColumns(const std::uint8_t* source, std::uint8_t* target, int w, int h, int radius)
{
    const std::uint32_t width = std::uint32_t(2 * radius + 1);
    const RoundedDownAverage<Sum, Product, Shift> weigh{
        Sum(((std::uint64_t(1) << Shift) + width - 1) / width)};
    passColumns<std::uint8_t, Sum>(source, target, std::size_t(w), 0, w, h, radius, weigh);
}

} // namespace

void boxBlurColumns(const std::uint8_t* source, std::uint8_t* target, int w, int h, int radius)
{
    // Sixteen-bit lanes (twice as many at a time) while a box's sum fits in them.
    if (radius <= 128)
        averageColumns<std::uint16_t, std::uint32_t, 16>(source, target, w, h, radius);
    else
        averageColumns<std::uint32_t, std::uint64_t, 32>(source, target, w, h, radius);
}

} // namespace platform::boxblur
