// Speed of the label catalogue in the layout chooser: reading and parsing the whole label
// catalogue with its records and filtering it by a maker and a label type, as entering the
// sheet step does; and the model side of a search by code over the whole catalogue (the
// maker's list restored, then filtered by the folded texts made while parsing).

#include "layouts/LBLayoutSheetController.h"

#include <benchmark/benchmark.h>

namespace {

void BM_LoadAndFilterLabelCatalogue(benchmark::State& state)
{
    LBLayoutSheetController chooser(false, LBLayoutSheetController::AddressLabelsProject);
    for (auto _ : state) {
        chooser.parseAddressLabelsFile();
        chooser.populateManufacturerPopupMenu();
        chooser.filterByManufacturer(QStringLiteral("All"));
        chooser.filterByManufacturer(QStringLiteral("Avery"));
        chooser.filterByLabelType(QStringLiteral("Address Labels"));
        benchmark::DoNotOptimize(chooser.cardArray().size());
    }
    state.counters["sheets"] = double(chooser.paperFormats().size());
}
BENCHMARK(BM_LoadAndFilterLabelCatalogue)->Unit(benchmark::kMillisecond);

void BM_SearchLabelCatalogueByCode(benchmark::State& state)
{
    LBLayoutSheetController chooser(false, LBLayoutSheetController::AddressLabelsProject);
    chooser.parseAddressLabelsFile();
    chooser.populateManufacturerPopupMenu();
    chooser.selectManufacturerAtIndex(0);
    const QStringList texts = {QStringLiteral("5160"), QStringLiteral("L71"),
                               QStringLiteral("zz-none")};
    qsizetype i = 0;
    for (auto _ : state) {
        chooser.searchPaperCode(texts.at(i++ % texts.size()));
        benchmark::DoNotOptimize(chooser.cardArray().size());
    }
}
BENCHMARK(BM_SearchLabelCatalogueByCode)->Unit(benchmark::kMicrosecond);

} // namespace
