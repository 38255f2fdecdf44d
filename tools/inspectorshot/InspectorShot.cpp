// Developer tool: the inspector palette over a design canvas, expanded on a pane and
// collapsed, and the canvas's status window, saved as PNGs of the screen (run under Xvfb):
//   xvfb-run -a -s "-screen 0 1280x900x24" build/test/tools/inspectorshot expanded.png collapsed.png status.png

#include "ShotSupport.h"
#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "inspector/HUDStatusController.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/ScrollView.h"
#include "shapes/LBRectangle.h"
#include "shapes/LBStar.h"
#include "shapes/ShapeClasses.h"
#include "window/LBWindowController.h"
#include "window/WindowClasses.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: inspectorshot <expanded.png> <collapsed.png> <status.png>\n");
        return 2;
    }
    const shots::TemporaryHome home;
    QApplication application(argc, argv);
    registerShapeClasses();
    registerWindowClasses();
    platform::UserDefaults::standardUserDefaults().registerDefaults(
        {{QStringLiteral("Smart Inspector Window Gap"), 5},
         {QStringLiteral("Grid Spacing"), 9.0},
         {QStringLiteral("Grid Guide Spacing"), 8}});

    const shots::DesignCanvas design(QSize(800, 600));
    LBDocument& document = design.document();
    platform::ScrollView& scrollView = design.window();
    LBGraphicView* canvas = design.canvas();

    auto rectangle = std::make_shared<LBRectangle>();
    rectangle->setBounds(QRectF(140, 90, 200, 120));
    rectangle->setFillType(1);
    rectangle->setFillColor(QColor(120, 170, 230));
    auto star = std::make_shared<LBStar>();
    star->setBounds(QRectF(420, 120, 120, 120));
    star->setFillType(1);
    star->setFillColor(QColor(250, 220, 90));
    for (const LBGraphicPtr& g : QList<LBGraphicPtr>{rectangle, star}) {
        g->setDocument(&document);
        document.insertGraphic(g, document.numGraphicsOnLayer(1), 1);
    }
    scrollView.show();
    shots::settle(300);

    HUDWindowController::setAnimationsEnabled(false);
    HUDWindowController palette(HUDWindowController::SmartShown);
    canvas->selectGraphic(rectangle);
    palette.updateFromGraphicView(canvas);
    // The smart palette comes as its collapsed button; a double click opens the kind's pane.
    shots::settle(700);
    const QRect area(0, 0, 900, 700);
    bool ok = shots::grabArea(area, QString::fromLocal8Bit(argv[2]));
    palette.processDoubleClickInView();
    palette.centerWindowUnderSelectedGraphics();
    shots::settle(300);
    ok = shots::grabArea(area, QString::fromLocal8Bit(argv[1])) && ok;

    HUDStatusController status(HUDStatusController::PathWindow);
    status.showAtScreenPoint(QPoint(300, 300));
    shots::settle(300);
    ok = shots::grabArea(
             QRect(280, 280, status.frameSize().width() + 40, status.frameSize().height() + 40),
             argv[3])
         && ok;
    return ok ? 0 : 1;
}
