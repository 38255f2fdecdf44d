// Laying out and drawing a 40-glyph text along a circle: the glyph outlines a shape's text
// is made of, a justified text (kerned to the circle first), the placement alone, and
// drawing into an image without and with the layout cache.
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

} // namespace
