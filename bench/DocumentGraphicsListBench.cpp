// Speed of the graphics list: the mixed graphics (support/MixedGraphics.h) written as the
// text a document or the pasteboard carries, and made again from it.

#include "support/MixedGraphics.h"

#include "document/LBDocument.h"

#include <benchmark/benchmark.h>

namespace {

void BM_DataForGraphics(benchmark::State& state)
{
    const LBDocument::Layer graphics = mixedGraphics();
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray data = LBDocument::dataForGraphics(graphics);
        bytes = data.size();
        benchmark::DoNotOptimize(data.constData());
    }
    state.counters["text_bytes"] = double(bytes);
}

void BM_GraphicsForData(benchmark::State& state)
{
    const QByteArray data = LBDocument::dataForGraphics(mixedGraphics());
    for (auto _ : state)
        benchmark::DoNotOptimize(LBDocument::graphicsForData(data));
}

} // namespace

BENCHMARK(BM_DataForGraphics)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphicsForData)->Unit(benchmark::kMillisecond);
