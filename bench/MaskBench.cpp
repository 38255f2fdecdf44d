// Speed of masking a 12-megapixel photo (4000 × 3000, as a camera's JPEG reads: 32-bit
// pixels without alpha) with a grey mask of its own size, the common case of a mask file
// made for its photo (goal 60 ms on 8 cores), at 1, 2 and 8 threads; and with a mask of a
// quarter the size in each direction, which is stretched over the photo first.

#include "graphics/LBGraphic.h"
#include "platform/drawing/Image.h"
#include "platform/imaging/ImageFilter.h"
#include "support/PhotoPixels.h"

#include <QImage>

#include <algorithm>

#include <benchmark/benchmark.h>

namespace {

using ImagePtr = LBGraphic::ImagePtr;

ImagePtr photo()
{
    static const ImagePtr picture =
        platform::Image::fromBitmap(photoPixels(QImage::Format_RGB32), QSizeF(960, 720));
    return picture;
}

// A soft oval: white in the middle fading to black at the edges.
ImagePtr mask(int width, int height)
{
    QImage pixels(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y) {
        uchar* line = pixels.scanLine(y);
        const double dy = (y + 0.5) / height * 2.0 - 1.0;
        for (int x = 0; x < width; ++x) {
            const double dx = (x + 0.5) / width * 2.0 - 1.0;
            line[x] = uchar(std::clamp(int((1.0 - (dx * dx + dy * dy)) * 400.0), 0, 255));
        }
    }
    return platform::Image::fromBitmap(pixels, QSizeF(width, height));
}

void applyMask(benchmark::State& state, const ImagePtr& maskImage)
{
    platform::ImageFilter::setMaximumThreadCount(int(state.range(0)));
    auto graphic = std::make_shared<LBGraphic>();
    for (auto _ : state) {
        state.PauseTiming();
        graphic->setImage(photo(), LBGraphic::FillImageType);
        state.ResumeTiming();
        graphic->applyMask(maskImage, true);
        benchmark::DoNotOptimize(graphic->imageOfType(LBGraphic::FillImageType));
    }
    platform::ImageFilter::setMaximumThreadCount(0);
}

void ApplyMask12MP(benchmark::State& state)
{
    static const ImagePtr sameSize = mask(4000, 3000);
    applyMask(state, sameSize);
}
BENCHMARK(ApplyMask12MP)->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

void ApplyMask12MPStretchedMask(benchmark::State& state)
{
    static const ImagePtr smaller = mask(1000, 750);
    applyMask(state, smaller);
}
BENCHMARK(ApplyMask12MPStretchedMask)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
