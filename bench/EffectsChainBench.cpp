// Speed of the effects chain. A 4000 × 3000 photo (as a camera's JPEG reads: 32-bit pixels
// without alpha) about to print, with brightness 20, contrast 20, sharpness -50 and the
// blurred-edge mask effect (kind 35) at its defaults, at 1, 2 and 8 threads (goal 300 ms
// on 8 cores), with the process's peak memory after the runs (run it alone for its own);
// the same photo brought to a 1000 × 750 screen size first; and each effect kind alone on
// a 2-megapixel picture at its full resolution, 8 threads (goals: bench/targets.txt, about
// twice what each takes).

#include "graphics/LBGraphic.h"
#include "platform/drawing/Image.h"
#include "platform/imaging/ImageFilter.h"
#include "support/PhotoPixels.h"

#include <QImage>

#include <sys/resource.h>

#include <benchmark/benchmark.h>

namespace {

using ImagePtr = LBGraphic::ImagePtr;

const QPointF kDefault(LBGraphic::DefaultEffectLocationX, 0);
constexpr qint64 kDefaultModifier = LBGraphic::DefaultEffectModifier;

ImagePtr photo()
{
    static const ImagePtr picture =
        platform::Image::fromBitmap(photoPixels(QImage::Format_RGB32), QSizeF(4000, 3000));
    return picture;
}

// About 2 megapixels, the middle of the photo.
ImagePtr twoMegapixels()
{
    static const ImagePtr picture = platform::Image::fromBitmap(
        photo()->bitmap().copy(1184, 887, 1633, 1225), QSizeF(1633, 1225));
    return picture;
}

void addDefaultEffect(LBGraphic& graphic, qint64 kind)
{
    graphic.addEffect(kind, kDefaultModifier, kDefaultModifier, kDefaultModifier, kDefaultModifier,
                      kDefaultModifier, kDefaultModifier, kDefault, kDefault, kDefault, kDefault,
                      QColor(), false);
}

// The photo's graphic with the benchmark's adjustments and effect.
std::shared_ptr<LBGraphic> adjustedPhoto()
{
    auto graphic = std::make_shared<LBGraphic>();
    graphic->setBoundsNoOtherChanges(QRectF(QPointF(0, 0), photo()->size()));
    graphic->setBrightness(20);
    graphic->setContrast(20);
    graphic->setSharpness(-50);
    addDefaultEffect(*graphic, 35);
    return graphic;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void run(benchmark::State& state, LBGraphic& graphic, const ImagePtr& picture,
         const QSizeF& finalSize, bool aboutToPrint)
{
    for (auto _ : state) {
        graphic.applyEffectsToImage(picture, false, finalSize, aboutToPrint);
        benchmark::DoNotOptimize(graphic.cachedImageOfType(LBGraphic::FillImageType));
        state.PauseTiming();
        graphic.clearCachedImage();
        state.ResumeTiming();
    }
}

void ChainToPrint(benchmark::State& state)
{
    platform::ImageFilter::setMaximumThreadCount(int(state.range(0)));
    const auto graphic = adjustedPhoto();
    run(state, *graphic, photo(), photo()->size(), true);
    state.counters["peak_MB"] = peakMegabytes();
    platform::ImageFilter::setMaximumThreadCount(0);
}

void ChainToScreen(benchmark::State& state)
{
    platform::ImageFilter::setMaximumThreadCount(int(state.range(0)));
    const auto graphic = adjustedPhoto();
    run(state, *graphic, photo(), QSizeF(1000, 750), false);
    platform::ImageFilter::setMaximumThreadCount(0);
}

void EffectKind(benchmark::State& state)
{
    platform::ImageFilter::setMaximumThreadCount(8);
    auto graphic = std::make_shared<LBGraphic>();
    graphic->setBoundsNoOtherChanges(QRectF(QPointF(0, 0), twoMegapixels()->size()));
    addDefaultEffect(*graphic, state.range(0));
    run(state, *graphic, twoMegapixels(), twoMegapixels()->size(), true);
    platform::ImageFilter::setMaximumThreadCount(0);
}

} // namespace

BENCHMARK(ChainToPrint)->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ChainToScreen)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(EffectKind)->DenseRange(1, 35)->Unit(benchmark::kMillisecond)->UseRealTime();
