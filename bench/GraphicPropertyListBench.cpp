// Speed of the graphic property list: 1,000 graphics of every registered class in turn,
// with colours, strokes, turns, dashes, shadows and text where a class has it, but no
// pictures, written into their dictionaries (and the text form a document stores) and made
// again from them.

#include "graphics/LBGraphic.h"
#include "graphics/LBTextArea.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/PropertyList.h"
#include "platform/text/AttributedString.h"
#include "shapes/ShapeClasses.h"

#include <QColor>
#include <QFont>
#include <QVariantList>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int GraphicCount = 1000;

std::vector<std::shared_ptr<LBGraphic>> mixedGraphics()
{
    registerShapeClasses();
    const QStringList classes = platform::ClassRegistry<LBGraphic>::classNames();
    std::vector<std::shared_ptr<LBGraphic>> graphics;
    for (int i = 0; i < GraphicCount; ++i) {
        const auto g = platform::ClassRegistry<LBGraphic>::create(classes[i % classes.size()]);
        g->setBounds(QRectF(10 + i % 400, 20 + i % 300, 80 + i % 50, 40 + i % 30));
        g->setFillType(1);
        g->setFillColor(QColor::fromHsv(i % 360, 200, 220));
        g->setStrokeColor(Qt::darkBlue);
        g->setStrokeLineWidth(1 + i % 4);
        g->setRotation(i % 7 * 15.0);
        if (i % 3 == 0)
            g->setLineDash({3, 1, 0, 0}, 2);
        if (i % 5 == 0)
            g->setShadowInfo(1, 4, 4, 45, 0.3, Qt::black);
        if (auto* text = dynamic_cast<LBTextArea*>(g.get()); text && i % 2 == 0) {
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPointSizeF(12 + i % 6);
            text->setContents(platform::AttributedString(
                QStringLiteral("Label text %1").arg(i),
                {{platform::FontAttributeName, font},
                 {platform::ForegroundColorAttributeName, QColor(Qt::black)}}));
        }
        graphics.push_back(g);
    }
    return graphics;
}

QVariantList dictionaries(const std::vector<std::shared_ptr<LBGraphic>>& graphics)
{
    QVariantList list;
    list.reserve(qsizetype(graphics.size()));
    for (const auto& g : graphics)
        list.append(g->propertyListRepresentation());
    return list;
}

void BM_WriteDictionaries(benchmark::State& state)
{
    const auto graphics = mixedGraphics();
    for (auto _ : state)
        benchmark::DoNotOptimize(dictionaries(graphics));
    state.counters["graphics"] = GraphicCount;
}

void BM_WriteText(benchmark::State& state)
{
    const auto graphics = mixedGraphics();
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray text = platform::PropertyList::toText(dictionaries(graphics));
        bytes = text.size();
        benchmark::DoNotOptimize(text.constData());
    }
    state.counters["text_bytes"] = double(bytes);
}

void BM_ReadDictionaries(benchmark::State& state)
{
    // As the document reads them: from the text form, so every value is text or data.
    const QVariantList list = platform::PropertyList::fromText(
                                  platform::PropertyList::toText(dictionaries(mixedGraphics())))
                                  ->toList();
    for (auto _ : state) {
        for (const QVariant& dictionary : list)
            benchmark::DoNotOptimize(
                LBGraphic::graphicWithPropertyListRepresentation(dictionary.toMap()));
    }
    state.counters["graphics"] = double(list.size());
}

void BM_ReadText(benchmark::State& state)
{
    const QByteArray text = platform::PropertyList::toText(dictionaries(mixedGraphics()));
    for (auto _ : state) {
        for (const QVariant& dictionary : platform::PropertyList::fromText(text)->toList())
            benchmark::DoNotOptimize(
                LBGraphic::graphicWithPropertyListRepresentation(dictionary.toMap()));
    }
}

} // namespace

BENCHMARK(BM_WriteDictionaries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDictionaries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadText)->Unit(benchmark::kMillisecond);
