// Laying out and drawing a 40-glyph text along a circle: the glyph outlines a shape's text
// is made of, a justified text (kerned to the circle first), the placement alone, and
// drawing into an image without and with the layout cache. And 400 glyphs along a path of
// 10,000 elements (a path not measured before each time), beside the least that takes:
// measuring that path once and laying the text along a straight line as long.
#include "geometry/LBPathGeometry.h"
#include "geometry/LBPathText.h"

#include "geometry/PTTextOnPathPlacement.h"

#include "platform/drawing/BezierPath.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextStorage.h"

#include <QFont>
#include <QPainter>
#include <QVariantMap>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using platform::AttributedString;
using platform::BezierPath;

const QString kText = QStringLiteral("Forty glyphs laid along a circular path.");
static_assert(sizeof("Forty glyphs laid along a circular path.") - 1 == 40);

BezierPath circle()
{
    return BezierPath::withOvalInRect(QRectF(20, 20, 200, 200));
}

AttributedString text(bool justified = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(12);
    QVariantMap attributes{{platform::FontAttributeName, font}};
    if (justified) {
        platform::ParagraphStyle style;
        style.alignment = platform::ParagraphStyle::Alignment::Justified;
        attributes.insert(platform::ParagraphStyleAttributeName, QVariant::fromValue(style));
    }
    return AttributedString(kText, attributes);
}

void GlyphOutlines(benchmark::State& state)
{
    const BezierPath path = circle();
    const AttributedString string = text();
    for (auto _ : state)
        benchmark::DoNotOptimize(LBPathText::bezierPathWithTextOnPath(path, string, 0, 0));
    state.counters["glyphs"] =
        double(LBPathText::bezierPathsWithGlyphsOnPath(path, string, 0, 0).size());
}
BENCHMARK(GlyphOutlines)->Unit(benchmark::kMicrosecond);

void GlyphOutlinesJustified(benchmark::State& state)
{
    const BezierPath path = circle();
    const AttributedString string = text(true);
    for (auto _ : state)
        benchmark::DoNotOptimize(LBPathText::bezierPathWithTextOnPath(path, string, 0, 0));
}
BENCHMARK(GlyphOutlinesJustified)->Unit(benchmark::kMicrosecond);

// The placement alone: where each glyph goes, without making or drawing anything.
class Discard : public PTTextOnPathPlacement
{
public:
    void layoutManager(platform::LayoutManager*, qsizetype, const QPointF&, double, double) override
    {}
};

void Placement(benchmark::State& state)
{
    const BezierPath path = circle();
    const AttributedString string = text();
    platform::LayoutManager* manager = LBPathText::textOnPathLayoutManager();
    for (auto _ : state) {
        Discard discard;
        const auto storage = LBPathText::preadjustedTextStorageWithString(path, &string, manager);
        benchmark::DoNotOptimize(
            LBPathText::layoutStringOnPath(path, storage.get(), 0, 0, &discard, manager, nullptr));
    }
}
BENCHMARK(Placement)->Unit(benchmark::kMicrosecond);

void Draw(benchmark::State& state, bool cached)
{
    const BezierPath path = circle();
    const AttributedString string = text();
    platform::OffscreenContext image(QSize(240, 240));
    QVariantMap cache;
    bool fitted = false;
    for (auto _ : state) {
        fitted = LBPathText::drawTextOnPath(path, string, 0, 0, nullptr, cached ? &cache : nullptr);
        benchmark::DoNotOptimize(fitted);
    }
    state.counters["fitted"] = fitted ? 1 : 0;
}
BENCHMARK_CAPTURE(Draw, uncached, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Draw, cached, true)->Unit(benchmark::kMicrosecond);

// A wavy path of 10,000 elements, half lines and half curves.
BezierPath longPath()
{
    BezierPath path;
    path.moveTo(QPointF(0, 0));
    double x = 0;
    for (int i = 1; i < 10000; ++i) {
        const double y = 20 * std::sin(i * 0.37);
        if (i % 2)
            path.lineTo(QPointF(x + 5, y));
        else
            path.curveTo(QPointF(x + 10, y), QPointF(x + 2, y + 15), QPointF(x + 8, y - 15));
        x += 10;
    }
    return path;
}

AttributedString fourHundredGlyphs()
{
    QString string;
    while (string.size() < 400)
        string += QStringLiteral("Four hundred glyphs along a long path. ");
    string.truncate(400);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(12);
    return AttributedString(string, {{platform::FontAttributeName, font}});
}

// The same path, not measured yet (a copy that stops sharing the original's data).
BezierPath unmeasured(const BezierPath& path)
{
    BezierPath copy = path;
    copy.setLineWidth(path.lineWidth());
    return copy;
}

void BM_TextOnLongPath(benchmark::State& state)
{
    const BezierPath path = longPath();
    const AttributedString string = fourHundredGlyphs();
    qsizetype glyphs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const BezierPath fresh = unmeasured(path);
        state.ResumeTiming();
        glyphs = LBPathText::bezierPathsWithGlyphsOnPath(fresh, string, 0, 0).size();
    }
    state.counters["glyphs"] = double(glyphs);
}

void BM_TextOnLongPath_Baseline(benchmark::State& state)
{
    const BezierPath path = longPath();
    const AttributedString string = fourHundredGlyphs();
    for (auto _ : state) {
        state.PauseTiming();
        const BezierPath fresh = unmeasured(path);
        state.ResumeTiming();
        const double length = LBPathGeometry::length(fresh);
        BezierPath line;
        line.moveTo(QPointF(0, 0));
        line.lineTo(QPointF(length, 0));
        benchmark::DoNotOptimize(LBPathText::bezierPathsWithGlyphsOnPath(line, string, 0, 0));
    }
}
BENCHMARK(BM_TextOnLongPath)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextOnLongPath_Baseline)->Unit(benchmark::kMillisecond);

} // namespace
