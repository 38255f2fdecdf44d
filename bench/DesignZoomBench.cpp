// Speed of zooming in design mode: a document window of 1200 × 800 pixels in design mode
// whose page holds 500 graphics (filled rectangles, ovals, stars, lines, turned shapes and
// text boxes in a grid). BM_ZoomStep is one step of the zoom slider (between 100 % and the
// next preset up, alternately): the canvases resized, every graphic given the zoom, the
// page and rulers laid out again and the centre kept, then the visible design area
// painted into an image as the screen would show it.
// Goals: bench/targets.txt.

#include "support/BusyPageGraphics.h"

#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "platform/ui/PrintInfo.h"
#include "shapes/ShapeClasses.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace {

void BM_ZoomStep(benchmark::State& state)
{
    registerShapeClasses();
    QTemporaryDir folder;
    LBProcessState::setTemporaryFolderPath(folder.path() + QLatin1Char('/'));
    platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
    DesignModeController::setFactory([] { return std::make_unique<LBEditController>(); });
    auto document = std::make_unique<LBDocument>();
    auto* window = new LBWindowController;
    document->addWindowController(window);
    window->window()->resize(1200, 800);
    window->window()->show();
    QApplication::processEvents();
    auto* edit = static_cast<LBEditController*>(window->editController());
    const QSizeF page = edit->paperSize();
    const int columns = 25;
    const double w = page.width() / columns;
    const double h = page.height() / 20;
    for (int i = 0; i < 500; ++i) {
        const QRectF cell((i % columns) * w, (i / columns) * h, w, h);
        document->insertGraphic(busyPageGraphic(i, true, cell.adjusted(2, 2, -2, -2)), 0,
                                document->selectedLayerIndex());
    }
    QApplication::processEvents();
    QWidget* area = edit->mainView();
    QImage screen(area->size(), QImage::Format_ARGB32_Premultiplied);
    bool up = true;
    for (auto _ : state) {
        window->setZoomSliderValue(up ? 6.8 : 6.0);
        up = !up;
        QPainter painter(&screen);
        area->render(&painter);
        painter.end();
        benchmark::DoNotOptimize(screen.constBits());
    }
    document->close();
    document.reset();
    DesignModeController::setFactory({});
    LBProcessState::setTemporaryFolderPath(QString());
}
BENCHMARK(BM_ZoomStep)->Unit(benchmark::kMillisecond);

} // namespace
