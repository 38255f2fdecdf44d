// Length, trimming and per-vertex effects along a long path: 1,000 elements (and 4,000 for
// the zig-zag), half lines and half curves, as a traced outline or a long text baseline
// might have; and the length of one curve asked for with error bounds that can never be
// met (0, below 0, NaN), which must still end quickly.
//
// A path keeps its lengths once measured, so every benchmark of a first question takes an
// unmeasured copy of the path each time. Pairs ("BM_X" beside "BM_X_Baseline"):
// - a path's length beside QPainterPath::length() (counters: how far each is from the
//   length measured to a millionth of a point);
// - trimming a path to or from half its length beside one walk along it measuring every
//   element, with one curve split (the least any trimming does);
// - a zig-zag along 4,000 elements beside four along 1,000: the same for a linear effect.
#include "geometry/LBPathGeometry.h"

#include <QPainterPath>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using LBPathGeometry::Cubic;
using platform::BezierPath;

BezierPath longPath(int elements)
{
    BezierPath path;
    path.moveTo(QPointF(0, 0));
    double x = 0;
    for (int i = 1; i < elements; ++i) {
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
    static const BezierPath path = longPath(1000);
    return path;
}

// The same path, not measured yet (a copy that stops sharing the original's data).
BezierPath unmeasured(const BezierPath& path)
{
    BezierPath copy = path;
    copy.setLineWidth(path.lineWidth());
    return copy;
}

// One walk along the path measuring every element, splitting the curve in which half the
// length falls.
double walkWithOneSplit(const BezierPath& path, double half)
{
    QPointF current;
    double total = 0;
    bool split = false;
    for (const BezierPath::Element& e : path.elements()) {
        double d = 0;
        switch (e.type) {
        case BezierPath::ElementType::MoveTo: current = e.points[0]; break;
        case BezierPath::ElementType::LineTo:
            d = LBPathGeometry::distanceBetween(current, e.points[0]);
            current = e.points[0];
            break;
        case BezierPath::ElementType::CurveTo: {
            const Cubic cubic{current, e.points[0], e.points[1], e.points[2]};
            d = LBPathGeometry::cubicLength(cubic, LBPathGeometry::kDefaultMaximumError);
            if (!split && total + d > half) {
                Cubic left;
                LBPathGeometry::splitCubicAtLength(
                    cubic, half - total, LBPathGeometry::kDefaultMaximumError, &left, nullptr);
                benchmark::DoNotOptimize(left);
                split = true;
            }
            current = e.points[2];
            break;
        }
        case BezierPath::ElementType::ClosePath: break;
        }
        total += d;
    }
    return total;
}

void BM_Length(benchmark::State& state)
{
    const BezierPath& path = fixture();
    const double exact = LBPathGeometry::lengthWithMaximumError(path, 1e-6);
    double measured = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const BezierPath fresh = unmeasured(path);
        state.ResumeTiming();
        measured = LBPathGeometry::length(fresh);
        benchmark::DoNotOptimize(measured);
    }
    state.counters["error"] = std::abs(measured - exact);
}

void BM_Length_Baseline(benchmark::State& state)
{
    const QPainterPath path = fixture().toPainterPath();
    const double exact = LBPathGeometry::lengthWithMaximumError(fixture(), 1e-6);
    double measured = 0;
    for (auto _ : state) {
        measured = path.length();
        benchmark::DoNotOptimize(measured);
    }
    state.counters["error"] = std::abs(measured - exact);
}

// Kept lengths: the same path asked again.
void BM_LengthKept(benchmark::State& state)
{
    const BezierPath& path = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(LBPathGeometry::length(path));
}

// Trims an unmeasured copy of the path at half its length, each time.
void trimAtHalf(benchmark::State& state, BezierPath (*trim)(const BezierPath&, double, double))
{
    const BezierPath& path = fixture();
    const double half = LBPathGeometry::length(path) / 2;
    for (auto _ : state) {
        state.PauseTiming();
        const BezierPath fresh = unmeasured(path);
        state.ResumeTiming();
        benchmark::DoNotOptimize(trim(fresh, half, LBPathGeometry::kDefaultMaximumError));
    }
}

void BM_TrimToHalf(benchmark::State& state)
{
    trimAtHalf(state, LBPathGeometry::bezierPathByTrimmingToLength);
}

void BM_TrimToHalf_Baseline(benchmark::State& state)
{
    const BezierPath& path = fixture();
    const double half = LBPathGeometry::length(path) / 2;
    for (auto _ : state)
        benchmark::DoNotOptimize(walkWithOneSplit(path, half));
}

void BM_TrimFromHalf(benchmark::State& state)
{
    trimAtHalf(state, LBPathGeometry::bezierPathByTrimmingFromLength);
}

void BM_TrimFromHalf_Baseline(benchmark::State& state)
{
    BM_TrimToHalf_Baseline(state);
}

// Kept lengths: trimming a path measured before, cutting out its middle, and the point at
// a length.
void BM_TrimToHalfKept(benchmark::State& state)
{
    const BezierPath& path = fixture();
    const double half = LBPathGeometry::length(path) / 2;
    for (auto _ : state)
        benchmark::DoNotOptimize(LBPathGeometry::bezierPathByTrimmingToLength(path, half));
}

void BM_TrimFromCentreKept(benchmark::State& state)
{
    const BezierPath& path = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(LBPathGeometry::bezierPathByTrimmingFromCentre(path, 100));
}

void BM_PointAtLengthKept(benchmark::State& state)
{
    const BezierPath& path = fixture();
    const double at = LBPathGeometry::length(path) * 0.75;
    double slope = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(LBPathGeometry::pointOnPathAtLength(path, at, &slope));
}

// A vertex every 5 points, 2 points to either side.
void zigZag(benchmark::State& state, int elements, int times)
{
    const BezierPath path = longPath(elements);
    qsizetype vertices = 0;
    for (auto _ : state) {
        for (int i = 0; i < times; ++i) {
            state.PauseTiming();
            const BezierPath fresh = unmeasured(path);
            state.ResumeTiming();
            vertices = LBPathGeometry::bezierPathWithZig(fresh, 5, 2).elementCount();
        }
    }
    state.counters["vertices"] = double(vertices * times);
}

void BM_ZigZag4000(benchmark::State& state)
{
    zigZag(state, 4000, 1);
}

void BM_ZigZag4000_Baseline(benchmark::State& state)
{
    zigZag(state, 1000, 4);
}

void BM_Wave4000(benchmark::State& state)
{
    const BezierPath path = longPath(4000);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            LBPathGeometry::bezierPathWithWavelength(unmeasured(path), 5, 2, 0.5));
}

void LengthWithUnreachableErrorBounds(benchmark::State& state)
{
    // A quarter circle of radius 100 as one cubic.
    BezierPath arc;
    arc.moveTo(QPointF(100, 0));
    const double k = 100 * 0.5522847498;
    arc.curveTo(QPointF(0, 100), QPointF(100, k), QPointF(k, 100));
    for (auto _ : state) {
        for (double error : {0.0, -1.0, std::nan("")})
            benchmark::DoNotOptimize(
                LBPathGeometry::lengthWithMaximumError(unmeasured(arc), error));
    }
}

} // namespace

BENCHMARK(BM_Length)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Length_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LengthKept)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrimToHalf)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrimToHalf_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrimFromHalf)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrimFromHalf_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrimToHalfKept)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrimFromCentreKept)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PointAtLengthKept)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZigZag4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZigZag4000_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Wave4000)->Unit(benchmark::kMillisecond);
BENCHMARK(LengthWithUnreachableErrorBounds)->Unit(benchmark::kMicrosecond);
