// Speed of preview mode over a large merge: a 30-up Letter sheet of 2.625 x 1 inch labels
// (3 x 10) with a text box of three import fields, merged with 3,000, 30,000 and 300,000
// imported records (100 to 10,000 sheets), shown by the preview controller in a
// window-sized view. Measured: a rebuild of the sheets from new renderers, and from the
// ones there are; repainting the merged sheet in view at 100 %; and a change of zoom. A
// rebuild should grow no faster than the records, the repaint and the zoom not at all.
// Goals: bench/targets.txt.

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "layouts/LBPageView.h"
#include "merge/LBCreateController.h"
#include "merge/LBMergeServices.h"
#include "merge/LBRenderingView.h"
#include "merge/MergeClasses.h"
#include "platform/core/PropertyList.h"
#include "platform/core/UndoManager.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/PrintInfo.h"
#include "window/LBWindowController.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <benchmark/benchmark.h>

#include "support/ImportedLabelSheet.h"

#include <memory>

namespace {

// The document, its window controller (no window) and the preview in a shown view.
struct Preview
{
    LBDocument document;
    LBWindowController* controller = nullptr;
    std::unique_ptr<LBCreateController> preview;
    QWidget container;
    qint64 records = 0;

    explicit Preview(qint64 records) : records(records)
    {
        platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
        registerMergeClasses();
        MergeServices::setFactory(
            [](LBWindowController& window) { return std::make_unique<LBMergeServices>(window); });
        controller = new LBWindowController;
        document.addWindowController(controller);
        setThirtyUpSheet(document.dimensionInfo());
        document.setImportTextArray(importedRecords(records), 3);
        loadShippedFieldLists();

        document.undoManager()->disableUndoRegistration();
        const auto box = importFieldsTextBox();
        box->setTextResizeMask(LBTextArea::ReduceFont);
        document.insertGraphic(box, 0, 1);
        document.undoManager()->enableUndoRegistration();

        preview = std::make_unique<LBCreateController>();
        preview->setWindowController(controller);
        container.resize(900, 760);
        preview->showPageInView(&container, QRectF(0, 0, 900, 726));
        container.show();
        preview->updateViewWithNewRenderingView(true);
        QApplication::processEvents();
    }
    ~Preview()
    {
        preview.reset();
        MergeServices::setFactory({});
    }
};

// The preview of that many records, kept for the benchmarks that follow and dropped
// before the application goes (a window must not outlive it).
Preview& shared(qint64 records)
{
    static std::unique_ptr<Preview> preview;
    static const bool dropsAtExit = [] {
        qAddPostRoutine([] { preview.reset(); });
        return true;
    }();
    Q_UNUSED(dropsAtExit);
    if (!preview || preview->records != records) {
        preview.reset();
        preview = std::make_unique<Preview>(records);
    }
    return *preview;
}

void BM_Rebuild(benchmark::State& state)
{
    Preview& p = shared(state.range(0));
    const bool discard = state.range(1) != 0;
    for (auto _ : state)
        p.preview->updateViewWithNewRenderingView(discard);
    if (p.preview->renderingViews().size() != p.records / 30)
        state.SkipWithError("not one renderer a sheet");
    QApplication::processEvents();
    state.counters["sheets"] = double(p.preview->renderingViews().size());
}

void BM_RepaintVisibleSheet(benchmark::State& state)
{
    Preview& p = shared(state.range(0));
    p.controller->setZoomFactor(1.0);
    p.preview->setZoomFactor(1.0);
    p.preview->refreshRenderingView();
    LBRenderingView* sheet = p.preview->renderingViews().first();
    QImage image(sheet->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        // What the screen's paint of the sheet does.
        sheet->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}

void BM_ZoomChange(benchmark::State& state)
{
    Preview& p = shared(state.range(0));
    bool zoomed = false;
    for (auto _ : state) {
        zoomed = !zoomed;
        const double z = zoomed ? 1.5 : 0.75;
        p.controller->setZoomFactor(z);
        p.preview->setZoomFactor(z);
    }
    p.controller->setZoomFactor(1.0);
    p.preview->setZoomFactor(1.0);
}

} // namespace

// Each size in turn (the preview of one is built once for its four cases): a rebuild from
// new renderers (records/1) and from those there are (records/0), the repaint, the change
// of zoom.
BENCHMARK(BM_Rebuild)->Args({3000, 1})->Args({3000, 0})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintVisibleSheet)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomChange)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rebuild)->Args({30000, 1})->Args({30000, 0})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintVisibleSheet)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomChange)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rebuild)->Args({300000, 1})->Args({300000, 0})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintVisibleSheet)->Arg(300000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomChange)->Arg(300000)->Unit(benchmark::kMillisecond);
