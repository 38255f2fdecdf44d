// Speed of the pixel hit test of unfilled shapes: clicks near the outline of a 600 × 400
// point shape, close enough that every test draws the stroke around the click; most hit.

#include "geometry/LBPathGeometry.h"
#include "shapes/LBCircle.h"
#include "shapes/LBCloud.h"
#include "shapes/LBRoundedRect.h"

#include <QPointF>
#include <QTransform>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

template <typename T>
void hitTests(benchmark::State& state)
{
    const auto shape = std::make_shared<T>();
    shape->setBounds(QRectF(50, 50, 600, 400));
    shape->setStrokeLineWidth(2);
    if (state.range(0) != 0)
        shape->setRotation(30);
    // Points along the outline as drawn, each moved by up to 8 points across and along it:
    // all within the outline's reach, so every test draws the stroke around its point.
    platform::BezierPath outline = *shape->shapeBezierPath();
    if (state.range(0) != 0) {
        const QPointF c = shape->bounds().center();
        outline.transformUsingAffineTransform(
            QTransform().translate(c.x(), c.y()).rotate(30).translate(-c.x(), -c.y()));
    }
    const double length = LBPathGeometry::length(outline);
    std::vector<QPointF> points;
    for (int i = 0; i < 64; ++i) {
        const double offset = -8 + i % 17;
        points.push_back(LBPathGeometry::pointOnPathAtLength(outline, length * i / 64)
                         + QPointF(offset, offset / 2));
    }
    int hits = 0;
    std::size_t n = 0;
    for (auto _ : state)
        hits += shape->hitTest(points[n++ % points.size()], false, nullptr) ? 1 : 0;
    state.counters["hit_fraction"] = double(hits) / double(state.iterations());
}

} // namespace

BENCHMARK_TEMPLATE(hitTests, LBCircle)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(hitTests, LBRoundedRect)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(hitTests, LBCloud)->Arg(0)->Unit(benchmark::kMicrosecond);
