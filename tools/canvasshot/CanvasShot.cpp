// Developer tool: a canvas in its scroll view with rulers, hosted by the window controller,
// on a page of graphics (shapes, a turned one, a line, a text box, a group) with the grid
// and two graphics selected, saved as a PNG of the window.
//   xvfb-run -a -s "-screen 0 1024x768x24" build/test/tools/canvasshot shot.png

#include "ShotSupport.h"
#include "canvas/LBGraphicView.h"
#include "canvas/LBRulerView.h"
#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/RulerView.h"
#include "platform/ui/ScrollView.h"
#include "shapes/LBCircle.h"
#include "shapes/LBLine.h"
#include "shapes/LBRectangle.h"
#include "shapes/LBStar.h"
#include "shapes/ShapeClasses.h"
#include "window/LBWindowController.h"
#include "window/WindowClasses.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>

namespace {

LBGraphicPtr shape(LBGraphicPtr graphic, const QRectF& bounds, const QColor& fill)
{
    graphic->setBounds(bounds);
    if (fill.isValid()) {
        graphic->setFillType(1);
        graphic->setFillColor(fill);
    }
    graphic->setStrokeColor(QColor(40, 40, 60));
    graphic->setStrokeLineWidth(1.5);
    return graphic;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: canvasshot <file.png>\n");
        return 2;
    }
    const shots::TemporaryHome home;
    QApplication application(argc, argv);
    registerShapeClasses();
    registerWindowClasses();
    LBRulerView::registerAsRulerViewClass();
    platform::UserDefaults::standardUserDefaults().registerDefaults(
        {{QStringLiteral("Grid Spacing"), 9.0},
         {QStringLiteral("Grid Guide Spacing"), 8},
         {QStringLiteral("Draw Dynamic Guides"), true},
         {QStringLiteral("Show Group HUD Window"), true}});

    LBDocument document;
    document.makeWindowControllers();
    auto* controller = qobject_cast<LBWindowController*>(document.windowController());
    controller->switchToDesignMode(nullptr);

    platform::ScrollView scrollView;
    scrollView.setWindowTitle(QStringLiteral("Veltrin"));
    scrollView.resize(900, 680);
    scrollView.move(20, 20);
    auto* canvas = new LBGraphicView;
    canvas->setWindowController(controller);
    controller->setSelectedGraphicView(canvas);
    canvas->setCanvasSize(QSizeF(700, 860));
    scrollView.setDocumentView(canvas);
    scrollView.setHasHorizontalRuler(true);
    scrollView.setHasVerticalRuler(true);
    scrollView.setRulersVisible(true);
    for (platform::RulerView* ruler :
         {scrollView.horizontalRulerView(), scrollView.verticalRulerView()})
        ruler->setOriginOffset(ruler->isHorizontal() ? 30.0 : 30.0);
    canvas->setVisiblePageRect(QRectF(30, 30, 612, 792));
    canvas->setShowsGrid(2);

    document.undoManager()->disableUndoRegistration();
    const QList<LBGraphicPtr> graphics = {
        shape(std::make_shared<LBRectangle>(), QRectF(80, 80, 180, 110), QColor(120, 170, 230)),
        shape(std::make_shared<LBCircle>(), QRectF(300, 90, 130, 130), QColor(240, 170, 80)),
        shape(std::make_shared<LBStar>(), QRectF(470, 80, 120, 120), QColor(250, 220, 90)),
        shape(std::make_shared<LBRectangle>(), QRectF(110, 260, 160, 70), QColor(150, 210, 150)),
        shape(std::make_shared<LBLine>(), QRectF(320, 280, 220, 60), QColor()),
        shape(std::make_shared<LBCircle>(), QRectF(90, 400, 90, 90), QColor(210, 120, 160)),
        shape(std::make_shared<LBRectangle>(), QRectF(200, 420, 90, 50), QColor(180, 150, 220)),
    };
    graphics.at(3)->setRotation(20.0);
    auto box = std::make_shared<LBTextArea>();
    box->setBounds(QRectF(340, 420, 220, 40));
    box->setContents(QStringLiteral("Veltrin labels"));
    for (const LBGraphicPtr& g : graphics + QList<LBGraphicPtr>{box}) {
        g->setDocument(&document);
        document.insertGraphic(g, document.numGraphicsOnLayer(1), 1);
    }
    document.undoManager()->enableUndoRegistration();
    // The two lower-left graphics as a group; the star and the turned rectangle selected.
    canvas->selectGraphic(graphics.at(5));
    canvas->selectGraphic(graphics.at(6));
    canvas->group(nullptr);
    canvas->clearSelection();
    canvas->selectGraphic(graphics.at(2));
    canvas->selectGraphic(graphics.at(3));
    canvas->beginEchoingMoveToRulers(graphics.at(2)->rotatedBounds());

    scrollView.show();
    shots::settle(500);
    const bool saved = scrollView.grab().save(QString::fromLocal8Bit(argv[1]));
    return saved ? 0 : 1;
}
