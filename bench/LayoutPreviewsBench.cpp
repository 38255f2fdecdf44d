// Speed of the layout chooser's template step and miniatures: the miniature of a sheet of
// 30 labels and of a shipped disc sheet, drawn on every change of the selected sheet; and
// the two-pass design search over a designs folder of 300 size folders (none of the
// stock's size, so every one is compared), run on every stock selection.

#include "graphics/LBProcessState.h"
#include "layouts/LBLayoutSheetController.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using Controller = LBLayoutSheetController;

void BM_SheetMiniature30Labels(benchmark::State& state)
{
    const QVariantMap card{{"pageWidth", 612.0},  {"pageHeight", 792.0}, {"labelWidth", 189.0},
                           {"labelHeight", 72.0}, {"leftMargin", 13.5},  {"topMargin", 36.0},
                           {"numRows", 10},       {"numColumns", 3},     {"hLabelSpace", 9.0},
                           {"vLabelSpace", 0.0},  {"cornerRadius", 6.0}};
    for (auto _ : state)
        benchmark::DoNotOptimize(Controller::previewImageForCard(card, 500, false));
}
BENCHMARK(BM_SheetMiniature30Labels)->Unit(benchmark::kMillisecond);

void BM_DiscSheetMiniature(benchmark::State& state)
{
    Controller chooser(false, Controller::DiscLabelsProject);
    chooser.parseDiscLabelsFile();
    QVariantMap layout;
    for (const Controller::Card& card : chooser.paperFormats()) {
        layout = Controller::convertDimensionsToPoints(card.record());
        if (layout.value("labels").toList().size() >= 3)
            break;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(Controller::discPreviewImageForCard(layout, 6, false));
}
BENCHMARK(BM_DiscSheetMiniature)->Unit(benchmark::kMillisecond);

void BM_DesignSearch300SizeFolders(benchmark::State& state)
{
    QTemporaryDir designs;
    QTemporaryDir smart;
    for (int i = 0; i < 300; ++i) {
        QDir().mkpath(QStringLiteral("%1/Set %2/Address Labels/%3x%4 in/Designs")
                          .arg(designs.path())
                          .arg(i % 3)
                          .arg(1 + i * 0.01)
                          .arg(3 + i * 0.02));
    }
    QDir().mkpath(smart.path() + QStringLiteral("/Shipped/Address Labels/4x2 in/Designs"));
    Controller chooser(true, Controller::AddressLabelsProject);
    chooser.setSelectedProjectType(Controller::AddressLabelsProject);
    chooser.parseAddressLabelsFile();
    chooser.filterByManufacturer(QStringLiteral("All"));
    for (auto _ : state) {
        chooser.buildDocumentListForStyleIndex(0, true, designs.path() + QLatin1Char('/'));
        chooser.buildDocumentListForStyleIndex(0, false, smart.path() + QLatin1Char('/'));
        benchmark::DoNotOptimize(chooser.topFolders().size());
    }
    state.counters["folders"] = double(chooser.topFolders().size());
}
BENCHMARK(BM_DesignSearch300SizeFolders)->Unit(benchmark::kMillisecond);

} // namespace
