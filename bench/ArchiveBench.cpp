// Decoding archived attributed text with many attribute runs (a long text whose kerning
// changes every few characters): 64,000 runs, about 17 MB. The decoder is paired
// with reading the archive's XML property list alone into the tree it decodes from, so
// the ratio shows what building the runs adds. Building them must be linear in their
// number.

#include "platform/core/Archive.h"
#include "platform/core/PropertyListTree.h"
#include "platform/text/AttributedString.h"

#include <benchmark/benchmark.h>

namespace {

using platform::AttributedString;

const QByteArray& manyRuns()
{
    static const QByteArray data = [] {
        constexpr int runs = 64000;
        AttributedString text(QString(runs * 3, QChar('x')));
        for (int i = 0; i < runs; ++i) {
            // Neighbours always differ: the kerning steps through 0.0 ... 0.9.
            text.setAttributes({{platform::KernAttributeName, (i % 10) / 10.0}},
                               platform::Range(i * 3, 3));
        }
        return platform::Archive::archivedDataWithAttributedString(text);
    }();
    return data;
}

void BM_DecodeAttributedString(benchmark::State& state)
{
    const QByteArray& data = manyRuns();
    for (auto _ : state) {
        std::optional<AttributedString> text =
            platform::Archive::attributedStringFromArchivedData(data);
        if (!text) {
            state.SkipWithError("the archive did not decode");
            break;
        }
        benchmark::DoNotOptimize(text);
    }
    state.counters["archive_bytes"] = double(data.size());
}

void BM_DecodeAttributedString_Baseline(benchmark::State& state)
{
    const QByteArray& data = manyRuns();
    for (auto _ : state) {
        std::optional<platform::PropertyListTree> tree = platform::PropertyListTree::fromXml(data);
        benchmark::DoNotOptimize(tree);
    }
    state.counters["archive_bytes"] = double(data.size());
}

} // namespace

BENCHMARK(BM_DecodeAttributedString)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAttributedString_Baseline)->Unit(benchmark::kMillisecond);
