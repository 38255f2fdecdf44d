// Speed of a face's decorations on screen: the underlay (label faces over their shadow)
// and the overlay (shading outside the faces, outlines, safe circles, fold guides) of a
// letter sheet of two discs and four case inserts, drawn at 200 % into a 1224 × 1584
// image, one frame per iteration; and the same frame when the face's colour changed
// since the last one, so the underlay is made anew. Both after one frame drawn untimed,
// as the screen has drawn one before any repaint: the first frame also loads what every
// later one reuses. Goals: bench/targets.txt.

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/ui/PrintInfo.h"
#include "window/LBWindowController.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QVariantList>
#include <QVariantMap>

#include <benchmark/benchmark.h>

namespace {

class ZoomedWindowController : public LBWindowController
{
public:
    double zoomFactor() const override { return 2.0; }
};

QVariantList sheetOfDiscsAndInserts()
{
    const auto entry = [](const char* kind, double x, double y, double w, double h) {
        return QVariantMap{
            {"labelTypeDescription", kind}, {"x", x}, {"y", y}, {"width", w}, {"height", h}};
    };
    QVariantMap disc1 = entry("CDDisc", 20, 20, 330, 330);
    disc1.insert("outerDiameter", 330);
    disc1.insert("innerDiameter", 117);
    QVariantMap disc2 = disc1;
    disc2.insert("x", 20);
    disc2.insert("y", 420);
    return {disc1,
            disc2,
            entry("CDSlimCaseInsert", 372, 230, 220, 170),
            entry("SuperJewelBoxCDTrayInsertInside", 372, 410, 220, 170),
            entry("SuperJewelBoxDVDTrayInsertOutside", 372, 590, 220, 180),
            entry("CDTrayInsert", 372, 20, 220, 200)};
}

void drawFrames(benchmark::State& state, bool changeColor)
{
    platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
    LBDocument document;
    auto* controller = new ZoomedWindowController;
    document.addWindowController(controller);
    document.dimensionInfo()[DimensionInfo::labels] = sheetOfDiscsAndInserts();
    document.setHasBackgroundColor(true, 0);
    document.setBackgroundColor(QColor(250, 240, 200), 0);
    document.setDrawBackgroundColor(true, 0);

    const QRectF page(0, 0, 612, 792);
    QImage image(1224, 1584, QImage::Format_ARGB32_Premultiplied);
    const auto drawFrame = [&] {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.scale(2, 2);
        platform::GraphicsContext context(&painter, true);
        platform::GraphicsContext::Scope scope(context);
        controller->drawUnderlay(page, page, false);
        controller->drawOverlay(page, page, false);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    };
    drawFrame();
    bool pale = true;
    for (auto _ : state) {
        if (changeColor) {
            pale = !pale;
            document.setBackgroundColor(pale ? QColor(250, 240, 200) : QColor(240, 250, 200), 0);
        }
        drawFrame();
    }
}

void BM_UnderlayAndOverlayAtZoom2(benchmark::State& state)
{
    drawFrames(state, false);
}

void BM_UnderlayAndOverlayAtZoom2NewColor(benchmark::State& state)
{
    drawFrames(state, true);
}

BENCHMARK(BM_UnderlayAndOverlayAtZoom2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnderlayAndOverlayAtZoom2NewColor)->Unit(benchmark::kMillisecond);

} // namespace
