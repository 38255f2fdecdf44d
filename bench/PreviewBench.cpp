// Speed of preview mode over a large merge: a 30-up Letter sheet of 2.625 x 1 inch labels
// (3 x 10) with a text box of three import fields, merged with 30,000 imported records
// (1,000 sheets), shown by the preview controller in a window-sized view. Measured: a
// rebuild of the sheets from new renderers, and from the ones there are; repainting the
// merged sheet in view at 100 %; and a change of zoom. Goals: bench/targets.txt.

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

#include "support/BenchMain.h"
#include "support/ImportedLabelSheet.h"

#include <memory>

namespace {

constexpr qint64 kRecords = 30000;

// The document, its window controller (no window) and the preview in a shown view.
struct Preview
{
    LBDocument document;
    LBWindowController* controller = nullptr;
    std::unique_ptr<LBCreateController> preview;
    QWidget container;

    Preview()
    {
        platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
        registerMergeClasses();
        MergeServices::setFactory(
            [](LBWindowController& window) { return std::make_unique<LBMergeServices>(window); });
        controller = new LBWindowController;
        document.addWindowController(controller);
        setThirtyUpSheet(document.dimensionInfo());
        document.setImportTextArray(importedRecords(kRecords), 3);
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

// Made by the first benchmark that needs it, gone before the application.
Preview& shared()
{
    static Preview* const preview = [] {
        auto* made = new Preview;
        bench::atEnd([made] { delete made; });
        return made;
    }();
    return *preview;
}

void BM_Rebuild(benchmark::State& state)
{
    Preview& p = shared();
    const bool discard = state.range(0) != 0;
    for (auto _ : state)
        p.preview->updateViewWithNewRenderingView(discard);
    if (p.preview->renderingViews().size() != kRecords / 30)
        state.SkipWithError("not one renderer a sheet");
    QApplication::processEvents();
    state.counters["sheets"] = double(p.preview->renderingViews().size());
}

void BM_RepaintVisibleSheet(benchmark::State& state)
{
    Preview& p = shared();
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
    Preview& p = shared();
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

// From new renderers (1) and from those there are (0).
BENCHMARK(BM_Rebuild)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintVisibleSheet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomChange)->Unit(benchmark::kMillisecond);
