// Speed of the label catalogue in the layout chooser: reading and parsing the whole label
// catalogue with its records and filtering it by a maker and a label type, as entering the
// sheet step does; and the model side of a search by code over the whole catalogue (the
// maker's list restored, then filtered by the folded texts made while parsing). The first
// is paired with expat passing over the catalogue with handlers that do nothing.

#include "layouts/LBLayoutSheetController.h"
#include "platform/core/XmlParser.h"

#include <QFile>

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

// expat passing over the same bytes with handlers that do nothing: the floor.
class NoHandlers : public platform::XmlParser
{
    void startElement(QByteArrayView, const platform::XmlAttributes&) override {}
    void endElement(QByteArrayView) override {}
    void characters(QByteArrayView) override {}
};

void BM_LoadAndFilterLabelCatalogue_Baseline(benchmark::State& state)
{
    QFile file(QStringLiteral(":/catalogue/Labels.xml"));
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    NoHandlers parser;
    for (auto _ : state)
        benchmark::DoNotOptimize(parser.parse(bytes));
}
BENCHMARK(BM_LoadAndFilterLabelCatalogue_Baseline)->Unit(benchmark::kMillisecond);

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
