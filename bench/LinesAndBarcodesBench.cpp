// Speed of barcode graphics and curves: a barcode graphic of each symbology given a new
// text, encoded with its picture (goal 0.3 ms; a sheet encodes one a label), and a point of
// a 200-point curve moved, with the bounds fitted again, then its outline and drawing bounds
// (goal 0.5 ms; a drag moves a point at every mouse event).

#include "shapes/LBBarcodeImage.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/ShapeClasses.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

void EncodeBarcodeGraphic(benchmark::State& state)
{
    registerShapeClasses();
    const auto id = qint32(state.range(0));
    const auto barcode = LBBarcodeImage::withBarcodeType(id);
    const QString text = LBBarcodeImage::sampleText(id);
    for (auto _ : state) {
        benchmark::DoNotOptimize(barcode->setBarcodeDataString(text));
        benchmark::DoNotOptimize(barcode->imageOfType(LBGraphic::FillImageType).get());
    }
    if (!barcode->isValidBarcode())
        state.SkipWithError("the sample does not encode");
}

void MoveCurvePoint(benchmark::State& state)
{
    const auto curve = std::make_shared<LBCurvedLine>();
    curve->setDrawsStroke(true);
    curve->setArrow1Type(1);
    curve->setArrow2Type(3);
    for (int i = 0; i < 200; ++i)
        curve->addControlPointAndModifiersAtPoint({i * 5.0, 300.0 + 200.0 * std::sin(i * 0.2)});
    for (int i = 0; i < 200; ++i)
        curve->resetModifiersForControlPoint(i);
    int n = 0;
    for (auto _ : state) {
        const double d = (n & 1) ? -3.0 : 3.0;
        curve->moveControlPointAtIndex(qsizetype((n * 37) % 200), d, -d);
        ++n;
        benchmark::DoNotOptimize(curve->shapeBezierPath());
        benchmark::DoNotOptimize(curve->drawingBounds());
    }
}

} // namespace

BENCHMARK(EncodeBarcodeGraphic)->DenseRange(0, 15)->Unit(benchmark::kMicrosecond);
BENCHMARK(MoveCurvePoint)->Unit(benchmark::kMicrosecond);
