// Speed of the heavy image filters on a 4000 × 3000 photo-like picture (opaque, smooth
// gradients with noise): the Gaussian blur (a small deviation, convolved, and a large one,
// through box passes), the Lanczos scale to 1000 × 750, and the unsharp mask, each at 1, 2
// and 8 threads. The effects chain runs the unsharp mask or a blur and the scale on every
// full-resolution print.

#include "platform/imaging/FilterImage.h"
#include "platform/imaging/ImageFilter.h"
#include "support/PhotoPixels.h"

#include <benchmark/benchmark.h>

using platform::FilterImage;
using platform::ImageFilter;

namespace {

const FilterImage& photo()
{
    static const FilterImage picture(photoPixels(QImage::Format_ARGB32_Premultiplied));
    return picture;
}

void run(benchmark::State& state, const char* name, const QVariantMap& inputs)
{
    ImageFilter::setMaximumThreadCount(int(state.range(0)));
    const auto filter = ImageFilter::filterWithName(QString::fromLatin1(name));
    filter->setValue(QVariant::fromValue(photo()), QStringLiteral("inputImage"));
    for (auto it = inputs.cbegin(); it != inputs.cend(); ++it)
        filter->setValue(it.value(), it.key());
    for (auto _ : state) {
        const FilterImage out = filter->outputImage();
        benchmark::DoNotOptimize(out.pixels().constBits());
    }
    ImageFilter::setMaximumThreadCount(0);
}

void GaussianBlurSmall(benchmark::State& state)
{
    run(state, "CIGaussianBlur", {{"inputRadius", 2.5}});
}
void GaussianBlurLarge(benchmark::State& state)
{
    run(state, "CIGaussianBlur", {{"inputRadius", 40.0}});
}
void LanczosScaleToQuarter(benchmark::State& state)
{
    run(state, "CILanczosScaleTransform", {{"inputScale", 0.25}, {"inputAspectRatio", 1.0}});
}
void UnsharpMask(benchmark::State& state)
{
    run(state, "CIUnsharpMask", {{"inputRadius", 8.0}, {"inputIntensity", 0.5}});
}
void ColorControls(benchmark::State& state)
{
    run(state, "CIColorControls",
        {{"inputBrightness", 0.2}, {"inputContrast", 1.6}, {"inputSaturation", 1.0}});
}

} // namespace

BENCHMARK(GaussianBlurSmall)->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(GaussianBlurLarge)->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LanczosScaleToQuarter)
    ->Arg(1)
    ->Arg(2)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(UnsharpMask)->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ColorControls)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();
