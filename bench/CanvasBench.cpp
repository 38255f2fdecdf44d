// Speed of the editing canvas on a busy page of 1600 × 1200 points at 100 %: 500 graphics
// in a grid, 50 of them (within a quarter of the page) selected with their handles.
// - BM_RepaintRectangles, BM_RepaintMixed: one whole repaint of the canvas (page shadow,
//   graphics, outline, handles) into an image, for filled rectangles and for a mix of
//   rectangles, ovals, stars, lines, turned shapes and text boxes.
// - BM_DragStep: one step of moving the 50 selected graphics by drag: the alignment guides
//   checked against the other 450 and the page, the move with its undo registration,
//   redraw requests and notifications; no painting.
// - BM_DragStepRepaint: painting what such a step leaves to redraw.
// - BM_SelectAllCopyPaste: select all 500, copy them to the clipboard and paste them back
//   (each a step of its own, as from the menus); the pasted copies are taken away again
//   between iterations, untimed.
// Goals: bench/targets.txt.

#include "../tests/canvas/CanvasHostStub.h"
#include "support/BusyPageGraphics.h"

#include "canvas/LBGraphicView.h"
#include "document/DocumentWindowController.h"
#include "document/LBDocument.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/ui/PrintInfo.h"
#include "shapes/ShapeClasses.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr QSizeF kPage(1600.0, 1200.0);

struct Scene
{
    std::unique_ptr<LBDocument> document;
    std::unique_ptr<LBGraphicView> canvas;
    QList<LBGraphicPtr> selected;
};

Scene makeScene(bool mixed)
{
    registerShapeClasses();
    platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
    platform::UserDefaults::standardUserDefaults().registerDefaults(
        {{QStringLiteral("Grid Spacing"), 9.0},
         {QStringLiteral("Grid Guide Spacing"), 8},
         {QStringLiteral("Draw Dynamic Guides"), true}});
    Scene scene;
    scene.document = std::make_unique<LBDocument>();
    // The page is white; there are no other decorations.
    auto* host = new CanvasHostStub;
    host->backgroundColor = Qt::white;
    host->doc = scene.document.get();
    scene.document->addWindowController(host);
    scene.canvas = std::make_unique<LBGraphicView>();
    host->canvas = scene.canvas.get();
    scene.canvas->setWindowController(host);
    scene.canvas->setCanvasSize(kPage);
    scene.canvas->setVisiblePageRect(QRectF(QPointF(), kPage));

    platform::UndoManager* undo = scene.document->undoManager();
    undo->disableUndoRegistration();
    // 25 columns by 20 rows of 40 × 30 graphics, 64 × 60 points apart.
    for (int i = 0; i < 500; ++i) {
        const QRectF bounds(12.0 + 64.0 * (i % 25), 15.0 + 60.0 * (i / 25), 40.0, 30.0);
        LBGraphicPtr graphic = busyPageGraphic(i, mixed, bounds);
        graphic->setDocument(scene.document.get());
        scene.document->insertGraphic(graphic, scene.document->numGraphicsOnLayer(1), 1);
    }
    // 50 in the top-left quarter: 10 columns of the first 5 rows.
    for (const LBGraphicPtr& graphic : scene.document->pageGraphics().at(1)) {
        if (graphic->bounds().x() < 640.0 && graphic->bounds().y() < 300.0)
            scene.selected.append(graphic);
    }
    for (const LBGraphicPtr& graphic : scene.selected)
        scene.canvas->selectGraphic(graphic);
    undo->enableUndoRegistration();
    undo->removeAllActions();
    return scene;
}

void paint(LBGraphicView& canvas, QImage& image, const QRegion& region = QRegion())
{
    image.fill(Qt::transparent);
    canvas.render(&image, QPoint(), region.isEmpty() ? QRegion(canvas.rect()) : region,
                  QWidget::DrawChildren);
}

void repaint(benchmark::State& state, bool mixed)
{
    Scene scene = makeScene(mixed);
    QImage image(kPage.toSize(), QImage::Format_ARGB32_Premultiplied);
    paint(*scene.canvas, image); // pictures and layouts made once, as on screen
    for (auto _ : state) {
        paint(*scene.canvas, image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_RepaintRectangles(benchmark::State& state)
{
    repaint(state, false);
}
BENCHMARK(BM_RepaintRectangles)->Unit(benchmark::kMillisecond);

void BM_RepaintMixed(benchmark::State& state)
{
    repaint(state, true);
}
BENCHMARK(BM_RepaintMixed)->Unit(benchmark::kMillisecond);

// One drag step of the selection, moving it to and fro by a point so it stays in place.
class DragStep
{
public:
    explicit DragStep(Scene& scene) : _scene(scene)
    {
        _offset = QPointF(20.0, 15.0);
        _imageSize = LBDocument::boundsForGraphics(scene.selected).size() + QSizeF(1.0, 1.0);
    }

    void run(int i)
    {
        const QPointF pointer = QPointF(100.0, 100.0) + (i % 2 ? QPointF(1.0, 1.0) : QPointF());
        const QPointF guided = _scene.canvas->checkDynamicGuidesAtPoint(
            pointer, _offset, _imageSize, 4.0, _scene.selected);
        _scene.canvas->performMoveLoop(guided, Qt::NoModifier);
    }

private:
    Scene& _scene;
    QPointF _offset;
    QSizeF _imageSize;
};

void BM_DragStep(benchmark::State& state)
{
    Scene scene = makeScene(true);
    QImage image(kPage.toSize(), QImage::Format_ARGB32_Premultiplied);
    paint(*scene.canvas, image);
    platform::UndoManager* undo = scene.document->undoManager();
    DragStep step(scene);
    undo->beginUndoGrouping();
    int i = 0;
    for (auto _ : state) {
        step.run(i++);
        if (i % 1000 == 0) {
            // A drag is not endless: its undo step is closed now and then, untimed.
            state.PauseTiming();
            undo->endUndoGrouping();
            undo->removeAllActions();
            undo->beginUndoGrouping();
            state.ResumeTiming();
        }
    }
    undo->endUndoGrouping();
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMicrosecond);

void BM_DragStepRepaint(benchmark::State& state)
{
    Scene scene = makeScene(true);
    QImage image(kPage.toSize(), QImage::Format_ARGB32_Premultiplied);
    paint(*scene.canvas, image);
    // What a step redraws: the selection where it was and where it went, with room for
    // handles, and the guides' bands.
    const QRectF moved =
        LBDocument::shadowBoundsForGraphics(scene.selected).adjusted(-17, -17, 18, 18);
    const QRegion region(moved.toAlignedRect());
    for (auto _ : state) {
        paint(*scene.canvas, image, region);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_DragStepRepaint)->Unit(benchmark::kMillisecond);

void BM_SelectAllCopyPaste(benchmark::State& state)
{
    Scene scene = makeScene(true);
    LBDocument& document = *scene.document;
    platform::UndoManager* undo = document.undoManager();
    const LBDocument::Layer originals = document.pageGraphics().at(1);
    for (auto _ : state) {
        scene.canvas->selectAll(nullptr);
        undo->endAutomaticGroup();
        scene.canvas->copy(nullptr);
        undo->endAutomaticGroup();
        scene.canvas->paste(nullptr);
        undo->endAutomaticGroup();

        state.PauseTiming();
        if (document.pageGraphics().at(1).size() != 2 * originals.size())
            state.SkipWithError("the paste did not insert every graphic");
        scene.canvas->clearSelection();
        undo->disableUndoRegistration();
        document.pageGraphics()[1] = originals;
        undo->enableUndoRegistration();
        undo->removeAllActions();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SelectAllCopyPaste)->Unit(benchmark::kMillisecond);

} // namespace
