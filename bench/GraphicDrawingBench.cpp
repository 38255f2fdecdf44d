// Speed of drawing a busy page: 500 filled and stroked graphics (a third of them ovals, a
// tenth turned) drawn into a 1600 × 1200 image, one frame per iteration; the same page
// with drop shadows on 50 of them (shadow type 1: the stroke and the fill each cast one);
// and, for comparison, a page of unturned rectangles only. Goals: bench/targets.txt.
// The pages without shadows are paired ("BM_X" beside "BM_X_Baseline") with the same
// shapes drawn by plain QPainter calls: pen, brush, drawRect or drawEllipse, turned where
// the graphic is; the two frames are drawn in turn, one timed.

#include "graphics/LBGraphic.h"
#include "platform/drawing/BezierPath.h"
#include "platform/drawing/GraphicsContext.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPen>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

class OutlineGraphic : public LBGraphic
{
public:
    std::optional<platform::BezierPath> bezierPath() const override
    {
        platform::BezierPath path = oval ? platform::BezierPath::withOvalInRect(bounds())
                                         : platform::BezierPath::withRect(bounds());
        path.setLineWidth(strokeLineWidth());
        return path;
    }
    bool oval = false;
};

QList<std::shared_ptr<LBGraphic>> page(int shadowed, bool rectanglesOnly = false)
{
    QRandomGenerator random(1234);
    QList<std::shared_ptr<LBGraphic>> graphics;
    for (int i = 0; i < 500; ++i) {
        auto graphic = std::make_shared<OutlineGraphic>();
        graphic->oval = !rectanglesOnly && i % 3 == 0;
        const double w = 30 + random.bounded(120);
        const double h = 20 + random.bounded(90);
        graphic->setBounds(QRectF(random.bounded(1600.0 - w), random.bounded(1200.0 - h), w, h));
        graphic->setFillType(1);
        graphic->setFillColor(QColor::fromHsv(random.bounded(360), 160, 230));
        graphic->setStrokeColor(QColor::fromHsv(random.bounded(360), 200, 120));
        graphic->setStrokeLineWidth(1 + random.bounded(3));
        if (!rectanglesOnly && i % 10 == 0)
            graphic->setRotation(random.bounded(90));
        if (i < shadowed * 10 && i % 10 == 5)
            graphic->setShadowInfo(1, 3, 3, 90, 0.25, Qt::black);
        graphics.append(graphic);
    }
    return graphics;
}

// One frame: the image filled white, the graphics drawn.
void drawFrame(QImage& image, const QList<std::shared_ptr<LBGraphic>>& graphics)
{
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    platform::GraphicsContext context(&painter, true);
    platform::GraphicsContext::Scope scope(context);
    for (const auto& graphic : graphics)
        graphic->drawInView(nullptr, false);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
}

// The same frame drawn with plain QPainter calls.
void drawPlainFrame(QImage& image, const QList<std::shared_ptr<LBGraphic>>& graphics)
{
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const auto& graphic : graphics) {
        const QRectF bounds = graphic->bounds();
        const double rotation = graphic->rotation();
        painter.save();
        if (rotation != 0.0) {
            painter.translate(bounds.center());
            painter.rotate(rotation);
            painter.translate(-bounds.center());
        }
        QPen pen(graphic->strokeColor(), graphic->strokeLineWidth());
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::SvgMiterJoin);
        pen.setMiterLimit(10);
        painter.setPen(pen);
        painter.setBrush(graphic->fillColor());
        if (static_cast<const OutlineGraphic&>(*graphic).oval)
            painter.drawEllipse(bounds);
        else
            painter.drawRect(bounds);
        painter.restore();
    }
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
}

void drawPage(benchmark::State& state, int shadowed, bool rectanglesOnly = false)
{
    const QList<std::shared_ptr<LBGraphic>> graphics = page(shadowed, rectanglesOnly);
    QImage image(1600, 1200, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        drawFrame(image, graphics);
}

// A pair draws both frames in turn, each iteration, timing one of them (the other is drawn
// with the timer paused), so that both see the same machine however busy it is; the
// counter "ratio" is ours over the baseline over those same frames.
void drawPair(benchmark::State& state, bool rectanglesOnly, bool baseline)
{
    using Clock = std::chrono::steady_clock;
    const QList<std::shared_ptr<LBGraphic>> graphics = page(0, rectanglesOnly);
    QImage image(1600, 1200, QImage::Format_ARGB32_Premultiplied);
    Clock::duration ours{};
    Clock::duration plain{};
    bool timedFirst = true;
    for (auto _ : state) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool timed = (turn == 0) == timedFirst;
            if (!timed)
                state.PauseTiming();
            const auto start = Clock::now();
            if (timed != baseline) {
                drawFrame(image, graphics);
                ours += Clock::now() - start;
            } else {
                drawPlainFrame(image, graphics);
                plain += Clock::now() - start;
            }
            if (!timed)
                state.ResumeTiming();
        }
        timedFirst = !timedFirst;
    }
    if (plain.count() > 0)
        state.counters["ratio"] = double(ours.count()) / double(plain.count());
}

void BM_DrawPage(benchmark::State& state)
{
    drawPair(state, false, false);
}

void BM_DrawPage_Baseline(benchmark::State& state)
{
    drawPair(state, false, true);
}

void BM_DrawPageOfRectangles_Baseline(benchmark::State& state)
{
    drawPair(state, true, true);
}

void BM_DrawPageWithShadows(benchmark::State& state)
{
    drawPage(state, 50);
}

void BM_DrawPageOfRectangles(benchmark::State& state)
{
    drawPair(state, true, false);
}

void BM_DrawPageOfRectanglesWithShadows(benchmark::State& state)
{
    drawPage(state, 50, true);
}

BENCHMARK(BM_DrawPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawPage_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawPageWithShadows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawPageOfRectangles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawPageOfRectangles_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawPageOfRectanglesWithShadows)->Unit(benchmark::kMillisecond);

} // namespace
