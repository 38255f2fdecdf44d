// Laying out and drawing a 10-line text box: measuring it (the size it needs, its height),
// its glyph outlines, and drawing it into an image straight, block-aligned, curved and
// painted with a gradient through its glyph outlines.
#include "graphics/LBTextArea.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/text/AttributedString.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QVariantMap>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Ten lines of an address-label sized text, about 30 characters each.
platform::AttributedString tenLines()
{
    QStringList lines;
    for (int i = 1; i <= 10; ++i)
        lines.append(QStringLiteral("Line %1 of a label's text box.").arg(i));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(12);
    return platform::AttributedString(lines.join(QLatin1Char('\n')),
                                      {{platform::FontAttributeName, font}});
}

std::shared_ptr<LBTextArea> box()
{
    auto area = std::make_shared<LBTextArea>();
    area->setBounds(QRectF(10, 10, 260, 160));
    area->setContents(tenLines());
    return area;
}

void RequiredSize(benchmark::State& state)
{
    const auto area = box();
    for (auto _ : state)
        benchmark::DoNotOptimize(area->requiredSize(1000000));
}
BENCHMARK(RequiredSize)->Unit(benchmark::kMicrosecond);

void TextHeight(benchmark::State& state)
{
    const auto area = box();
    for (auto _ : state)
        benchmark::DoNotOptimize(area->textHeight());
}
BENCHMARK(TextHeight)->Unit(benchmark::kMicrosecond);

void GlyphOutlines(benchmark::State& state)
{
    const auto area = box();
    for (auto _ : state)
        benchmark::DoNotOptimize(area->textPath());
}
BENCHMARK(GlyphOutlines)->Unit(benchmark::kMicrosecond);

enum Kind { Straight, BlockAligned, Curved, Gradient };

// Drawing at twice the size, as on a zoomed canvas or a 144 dpi export.
void Draw(benchmark::State& state, Kind kind)
{
    const auto area = box();
    switch (kind) {
    case Straight: break;
    case BlockAligned:
        area->setTextBlockHorizontalAlignment(1);
        area->setTextBlockVerticalAlignment(1);
        break;
    case Curved: area->setIsCurved(true); break;
    case Gradient:
        area->setTextGradientType(2);
        area->setTextGradientColor1(Qt::red);
        area->setTextGradientColor2(Qt::blue);
        break;
    }
    QImage image(560, 360, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.scale(2, 2);
        platform::GraphicsContext context(&painter);
        platform::GraphicsContext::Scope scope(context);
        area->drawInView(nullptr, false);
    }
    benchmark::DoNotOptimize(image.constBits());
}
BENCHMARK_CAPTURE(Draw, straight, Straight)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Draw, blockAligned, BlockAligned)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Draw, curved, Curved)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Draw, gradient, Gradient)->Unit(benchmark::kMicrosecond);

} // namespace
