// Length and trimming of a long path: 1,000 elements, half lines and half curves, as a
// traced outline or a long text baseline might have; and the length of one curve asked
// for with error bounds that can never be met (0, below 0, NaN), which must still end
// quickly.
#include "geometry/LBPathGeometry.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using platform::BezierPath;

BezierPath longPath()
{
    BezierPath path;
    path.moveTo(QPointF(0, 0));
    double x = 0;
    for (int i = 1; i < 1000; ++i) {
        const double y = 20 * std::sin(i * 0.37);
        if (i % 2) {
            path.lineTo(QPointF(x + 5, y));
        } else {
            path.curveTo(QPointF(x + 10, y), QPointF(x + 2, y + 15), QPointF(x + 8, y - 15));
        }
        x += 10;
    }
    return path;
}

const BezierPath& fixture()
{
    static const BezierPath path = longPath();
    return path;
}

void Length(benchmark::State& state)
{
    const BezierPath& path = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            LBPathGeometry::lengthWithMaximumError(path, state.range(0) / 1000.0));
    state.SetLabel("maximum error " + std::to_string(state.range(0) / 1000.0));
}
BENCHMARK(Length)->Arg(100)->Arg(10)->Arg(1)->Unit(benchmark::kMicrosecond);

void TrimToHalf(benchmark::State& state)
{
    const BezierPath& path = fixture();
    const double half = LBPathGeometry::length(path) / 2;
    for (auto _ : state)
        benchmark::DoNotOptimize(LBPathGeometry::bezierPathByTrimmingToLength(path, half));
}
BENCHMARK(TrimToHalf)->Unit(benchmark::kMicrosecond);

void TrimFromHalf(benchmark::State& state)
{
    const BezierPath& path = fixture();
    const double half = LBPathGeometry::length(path) / 2;
    for (auto _ : state)
        benchmark::DoNotOptimize(LBPathGeometry::bezierPathByTrimmingFromLength(path, half));
}
BENCHMARK(TrimFromHalf)->Unit(benchmark::kMicrosecond);

void TrimFromCentre(benchmark::State& state)
{
    const BezierPath& path = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(LBPathGeometry::bezierPathByTrimmingFromCentre(path, 100));
}
BENCHMARK(TrimFromCentre)->Unit(benchmark::kMicrosecond);

void PointAtLength(benchmark::State& state)
{
    const BezierPath& path = fixture();
    const double at = LBPathGeometry::length(path) * 0.75;
    double slope = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(LBPathGeometry::pointOnPathAtLength(path, at, &slope));
}
BENCHMARK(PointAtLength)->Unit(benchmark::kMicrosecond);

void LengthWithUnreachableErrorBounds(benchmark::State& state)
{
    // A quarter circle of radius 100 as one cubic.
    BezierPath arc;
    arc.moveTo(QPointF(100, 0));
    const double k = 100 * 0.5522847498;
    arc.curveTo(QPointF(0, 100), QPointF(100, k), QPointF(k, 100));
    for (auto _ : state) {
        for (double error : {0.0, -1.0, std::nan("")})
            benchmark::DoNotOptimize(LBPathGeometry::lengthWithMaximumError(arc, error));
    }
}
BENCHMARK(LengthWithUnreachableErrorBounds)->Unit(benchmark::kMicrosecond);

} // namespace
