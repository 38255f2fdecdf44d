// Speed of the graphic property list: the mixed graphics (support/MixedGraphics.h)
// written into their dictionaries (and the text form a document stores) and made again
// from them.

#include "support/MixedGraphics.h"

#include "platform/core/PropertyList.h"

#include <QVariantList>

#include <benchmark/benchmark.h>

namespace {

QVariantList dictionaries(const QList<LBGraphicPtr>& graphics)
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
    state.counters["graphics"] = MixedGraphicCount;
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
