// Laying out and drawing a text box, each beside Qt's own QTextLayout doing the same work
// in the same run ("BM_X" beside "BM_X_Baseline"):
// - measuring a box whose text just changed (the size it needs, its height): ten short
//   lines, one paragraph of 300 characters and one of 3,000, against QTextLayout laying
//   the same text out at the same width;
// - drawing a laid-out box, against drawing QTextLayouts laid out once;
// - painting the text with a gradient, against one glyph mask of the same outlines
//   composited with the gradient (SourceIn);
// - a run of letters with no break opportunity laid out anew and drawn, at 100,000 letters
//   beside 10,000 (it may grow with the letters, no faster).
// Unpaired: measuring a box measured before, its glyph outlines, block-aligned and curved
// drawing. Drawing is at twice the size, as on a zoomed canvas or a 144 dpi export.
#include "graphics/LBTextArea.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/text/TextStorage.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QStringList>
#include <QTextLayout>
#include <QTextOption>
#include <QVariantMap>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr double BoxWidth = 260;
constexpr double Padding = 5; // the text container's line fragment padding
const QRectF Box(10, 10, BoxWidth, 160);

enum Text { TenLines, Paragraph300, Paragraph3000 };

QString plainText(Text text)
{
    if (text == TenLines) {
        // Ten lines of an address-label sized text, about 30 characters each.
        QStringList lines;
        for (int i = 1; i <= 10; ++i)
            lines.append(QStringLiteral("Line %1 of a label's text box.").arg(i));
        return lines.join(QLatin1Char('\n'));
    }
    const qsizetype length = text == Paragraph300 ? 300 : 3000;
    QString paragraph;
    while (paragraph.size() < length)
        paragraph += QStringLiteral("Words of a label's text box, wrapped in lines. ");
    paragraph.truncate(length);
    return paragraph;
}

QFont boxFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(12);
    return font;
}

std::shared_ptr<LBTextArea> box(Text text)
{
    auto area = std::make_shared<LBTextArea>();
    area->setBounds(Box);
    area->setContents(
        platform::AttributedString(plainText(text), {{platform::FontAttributeName, boxFont()}}));
    return area;
}

// Changes the box's text (an attribute nothing reads, on all of it), so that it is laid out
// anew; not timed.
void touch(benchmark::State& state, LBTextArea& area)
{
    state.PauseTiming();
    const auto& text = area.contents();
    text->addAttribute(QStringLiteral("BenchmarkTouch"), qint64(state.iterations()),
                       platform::Range(0, text->length()));
    state.ResumeTiming();
}

// --- The baseline: QTextLayout, one per paragraph, as the text system sets it up ---

// QTextLayout without a paint device sizes fonts for the screen: a point size that makes
// one pixel of the layout one point.
QFont layoutFont()
{
    QFont probe;
    probe.setPointSizeF(720);
    const qreal resolution = QRawFont::fromFont(probe).pixelSize() / 10;
    QFont font = boxFont();
    font.setPointSizeF(12 * 72 / resolution);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// The paragraphs laid out at the box's width; the height of all their lines.
qreal layOut(std::vector<std::unique_ptr<QTextLayout>>& layouts, const QString& text)
{
    const QFont font = layoutFont();
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setUseDesignMetrics(true);
    qreal y = 0;
    layouts.clear();
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        auto layout = std::make_unique<QTextLayout>(paragraph, font);
        layout->setTextOption(option);
        layout->beginLayout();
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(BoxWidth - 2 * Padding);
            line.setPosition(QPointF(Padding, y));
            y += line.height();
        }
        layout->endLayout();
        layouts.push_back(std::move(layout));
    }
    return y;
}

// --- Measuring a box whose text changed ---

void requiredSize(benchmark::State& state, Text text)
{
    const auto area = box(text);
    for (auto _ : state) {
        touch(state, *area);
        benchmark::DoNotOptimize(area->requiredSize(BoxWidth));
    }
}

void textHeight(benchmark::State& state, Text text)
{
    const auto area = box(text);
    for (auto _ : state) {
        touch(state, *area);
        benchmark::DoNotOptimize(area->textHeight());
    }
}

void rawLayout(benchmark::State& state, Text text)
{
    const QString string = plainText(text);
    std::vector<std::unique_ptr<QTextLayout>> layouts;
    for (auto _ : state)
        benchmark::DoNotOptimize(layOut(layouts, string));
}

void BM_RequiredSize(benchmark::State& state)
{
    requiredSize(state, TenLines);
}
void BM_RequiredSize_Baseline(benchmark::State& state)
{
    rawLayout(state, TenLines);
}
void BM_RequiredSize300(benchmark::State& state)
{
    requiredSize(state, Paragraph300);
}
void BM_RequiredSize300_Baseline(benchmark::State& state)
{
    rawLayout(state, Paragraph300);
}
void BM_RequiredSize3000(benchmark::State& state)
{
    requiredSize(state, Paragraph3000);
}
void BM_RequiredSize3000_Baseline(benchmark::State& state)
{
    rawLayout(state, Paragraph3000);
}
void BM_TextHeight(benchmark::State& state)
{
    textHeight(state, TenLines);
}
void BM_TextHeight_Baseline(benchmark::State& state)
{
    rawLayout(state, TenLines);
}
void BM_TextHeight300(benchmark::State& state)
{
    textHeight(state, Paragraph300);
}
void BM_TextHeight300_Baseline(benchmark::State& state)
{
    rawLayout(state, Paragraph300);
}
void BM_TextHeight3000(benchmark::State& state)
{
    textHeight(state, Paragraph3000);
}
void BM_TextHeight3000_Baseline(benchmark::State& state)
{
    rawLayout(state, Paragraph3000);
}

// A box measured before: its text keeps its layout.
void BM_RequiredSizeKept(benchmark::State& state)
{
    const auto area = box(TenLines);
    for (auto _ : state)
        benchmark::DoNotOptimize(area->requiredSize(BoxWidth));
}

void BM_GlyphOutlines(benchmark::State& state)
{
    const auto area = box(TenLines);
    for (auto _ : state)
        benchmark::DoNotOptimize(area->textPath());
}

// --- Drawing ---

// One frame per iteration into a picture at twice the size.
template <typename Paint>
void drawFrames(benchmark::State& state, Paint paint)
{
    QImage image(2 * int(Box.right() + 10), 2 * int(Box.bottom() + 10),
                 QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.scale(2, 2);
        paint(painter);
    }
    benchmark::DoNotOptimize(image.constBits());
}

void drawBox(benchmark::State& state, LBTextArea& area)
{
    drawFrames(state, [&](QPainter& painter) {
        platform::GraphicsContext context(&painter);
        platform::GraphicsContext::Scope scope(context);
        area.drawInView(nullptr, false);
    });
}

void BM_DrawText(benchmark::State& state)
{
    const auto area = box(TenLines);
    drawBox(state, *area);
}

void BM_DrawText_Baseline(benchmark::State& state)
{
    std::vector<std::unique_ptr<QTextLayout>> layouts;
    layOut(layouts, plainText(TenLines));
    drawFrames(state, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        for (const auto& layout : layouts)
            layout->draw(&painter, Box.topLeft());
    });
}

void BM_DrawTextBlockAligned(benchmark::State& state)
{
    const auto area = box(TenLines);
    area->setTextBlockHorizontalAlignment(1);
    area->setTextBlockVerticalAlignment(1);
    drawBox(state, *area);
}

void BM_DrawTextCurved(benchmark::State& state)
{
    const auto area = box(TenLines);
    area->setIsCurved(true);
    drawBox(state, *area);
}

// Text painted with a gradient from red at the top to blue at the bottom.
void BM_DrawTextGradient(benchmark::State& state)
{
    const auto area = box(TenLines);
    area->setTextGradientType(2);
    area->setTextGradientColor1(Qt::red);
    area->setTextGradientColor2(Qt::blue);
    drawBox(state, *area);
}

// The same glyph outlines filled into one mask, the gradient composited into it (SourceIn)
// and the mask drawn.
void BM_DrawTextGradient_Baseline(benchmark::State& state)
{
    // The box's own glyph outlines, one path per glyph.
    struct Outlines : LBTextArea
    {
        using LBTextArea::glyphOutlines;
    } area;
    area.setBounds(Box);
    area.setContents(platform::AttributedString(plainText(TenLines),
                                                {{platform::FontAttributeName, boxFont()}}));
    const QList<QPainterPath> glyphs = *area.glyphOutlines(Box.topLeft());
    QRectF extent;
    for (const QPainterPath& glyph : glyphs)
        extent |= glyph.boundingRect();
    drawFrames(state, [&](QPainter& painter) {
        const QTransform toDevice = painter.combinedTransform();
        const QRect area = toDevice.mapRect(extent).toAlignedRect();
        QImage mask(area.size(), QImage::Format_ARGB32_Premultiplied);
        mask.fill(Qt::transparent);
        {
            QPainter maskPainter(&mask);
            maskPainter.setRenderHint(QPainter::Antialiasing);
            maskPainter.setWorldTransform(toDevice
                                          * QTransform::fromTranslate(-area.x(), -area.y()));
            for (const QPainterPath& path : glyphs)
                maskPainter.fillPath(path, Qt::black);
            maskPainter.setCompositionMode(QPainter::CompositionMode_SourceIn);
            QLinearGradient gradient(extent.topLeft(), extent.bottomLeft());
            gradient.setColorAt(0, Qt::red);
            gradient.setColorAt(1, Qt::blue);
            maskPainter.fillRect(extent, gradient);
        }
        painter.save();
        painter.resetTransform();
        painter.drawImage(area.topLeft(), mask);
        painter.restore();
    });
}

// A record with no break opportunity (a long code, a pasted run) filling the box and far
// more: laid out anew and drawn, at 100,000 letters beside the same at 10,000. What lies
// below the box is not shown, so the work may grow with the letters but no faster.
void drawChangedRun(benchmark::State& state, int letters)
{
    auto area = std::make_shared<LBTextArea>();
    area->setBounds(Box);
    area->setContents(platform::AttributedString(QString(letters, QLatin1Char('m')),
                                                 {{platform::FontAttributeName, boxFont()}}));
    drawFrames(state, [&](QPainter& painter) {
        touch(state, *area);
        platform::GraphicsContext context(&painter);
        platform::GraphicsContext::Scope scope(context);
        area->drawInView(nullptr, false);
    });
}

void BM_DrawChangedRun(benchmark::State& state)
{
    drawChangedRun(state, 100000);
}

void BM_DrawChangedRun_Baseline(benchmark::State& state)
{
    drawChangedRun(state, 10000);
}

} // namespace

BENCHMARK(BM_RequiredSize)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RequiredSize_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RequiredSize300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RequiredSize300_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RequiredSize3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RequiredSize3000_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextHeight)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextHeight_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextHeight300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextHeight300_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextHeight3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextHeight3000_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RequiredSizeKept)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GlyphOutlines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawText_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawTextBlockAligned)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawTextCurved)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawTextGradient)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawTextGradient_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawChangedRun)->MinTime(1.0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawChangedRun_Baseline)->MinTime(1.0)->Unit(benchmark::kMillisecond);
