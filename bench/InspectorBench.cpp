// Speed of the inspector palette's refresh: 1,000 selected graphics of mixed kinds
// (rectangles, stars, lines, text boxes, pictures) on a canvas; one refresh of the smart
// palette decides the kind and fills the pane pop-up, the pull-down and the Inspector menu
// (and places the panel under the selection).
// Goal: bench/targets.txt.

#include "support/PaletteCanvas.h"

#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/PrintInfo.h"
#include "shapes/LBImage.h"
#include "shapes/LBLine.h"
#include "shapes/LBRectangle.h"
#include "shapes/LBStar.h"
#include "shapes/ShapeClasses.h"

#include <QMenu>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void BM_RefreshMixedSelection(benchmark::State& state)
{
    PaletteCanvas fixture;
    const std::unique_ptr<LBDocument>& document = fixture.document;
    const std::unique_ptr<LBGraphicView>& canvas = fixture.canvas;

    document->undoManager()->disableUndoRegistration();
    for (int i = 0; i < 1000; ++i) {
        LBGraphicPtr graphic;
        switch (i % 5) {
        case 0: graphic = std::make_shared<LBRectangle>(); break;
        case 1: graphic = std::make_shared<LBStar>(); break;
        case 2: graphic = std::make_shared<LBLine>(); break;
        case 3: graphic = std::make_shared<LBTextArea>(); break;
        default: graphic = std::make_shared<LBImage>(); break;
        }
        graphic->setBounds(QRectF(10 + 60 * (i % 30), 10 + 50 * (i / 30), 40, 30));
        document->insertGraphic(graphic, document->numGraphicsOnLayer(1), 1);
        canvas->selectGraphic(graphic);
    }
    document->undoManager()->enableUndoRegistration();

    HUDWindowController::setAnimationsEnabled(false);
    HUDWindowController palette(HUDWindowController::SmartShown);
    QMenu menu;
    palette.setToolsMenu(&menu);
    palette.updateFromGraphicView(canvas.get());
    for (auto _ : state) {
        palette.updateFromGraphicView(canvas.get());
        benchmark::DoNotOptimize(palette.selectedGraphicType());
    }
    palette.resetAndHide();
}
BENCHMARK(BM_RefreshMixedSelection)->Unit(benchmark::kMillisecond);

} // namespace
