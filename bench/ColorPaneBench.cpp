// Speed of the inspector's Color pane: a fill colour picked for 200 selected rectangles
// (one undo step, the pane reloaded once), then undone and the pane reloaded again.
// Goal: bench/targets.txt.

#include "support/PaletteCanvas.h"

#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/PrintInfo.h"
#include "shapes/LBRectangle.h"
#include "shapes/ShapeClasses.h"

#include <QWidget>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void BM_FillColorOn200Shapes(benchmark::State& state)
{
    PaletteCanvas fixture;
    const std::unique_ptr<LBDocument>& document = fixture.document;
    const std::unique_ptr<LBGraphicView>& canvas = fixture.canvas;

    platform::UndoManager* undo = document->undoManager();
    undo->disableUndoRegistration();
    for (int i = 0; i < 200; ++i) {
        auto shape = std::make_shared<LBRectangle>();
        shape->setBounds(QRectF(10 + 60 * (i % 20), 10 + 50 * (i / 20), 40, 30));
        shape->setFillType(1);
        shape->setFillColor(Qt::white);
        document->insertGraphic(shape, document->numGraphicsOnLayer(1), 1);
        canvas->selectGraphic(shape);
    }
    undo->enableUndoRegistration();

    HUDWindowController::setAnimationsEnabled(false);
    HUDWindowController palette(HUDWindowController::SmartShown);
    palette.updateFromGraphicView(canvas.get());
    palette.toolsPopupAction(HUDWindowController::ShapeColorTools);
    auto* well =
        palette.currentTools()->findChild<platform::ColorWell*>(QStringLiteral("_shapeFillColor"));
    // The pane really recolours the shapes, and undo really restores them.
    const LBGraphicPtr last = canvas->selectedGraphics(false).last();
    Q_EMIT well->colorChanged(QColor(1, 2, 3));
    const bool recoloured = last->storedFillColor() == QColor(1, 2, 3);
    undo->endAutomaticGroup();
    undo->undo();
    if (!recoloured || last->storedFillColor() != QColor(Qt::white)
        || canvas->selectedGraphics(false).size() != 200) {
        state.SkipWithError("the pane did not recolour and restore the shapes");
        return;
    }
    int i = 0;
    for (auto _ : state) {
        Q_EMIT well->colorChanged(QColor::fromHsv(i++ % 360, 200, 200));
        undo->endAutomaticGroup();
        undo->undo();
        palette.updateSelectedTools();
    }
    palette.resetAndHide();
}
BENCHMARK(BM_FillColorOn200Shapes)->Unit(benchmark::kMillisecond);

} // namespace
