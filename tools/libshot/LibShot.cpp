// Developer tool: the document window in design mode with the design drawer open on the
// text library (a new library in a temporary support folder, its first row inserted by a
// double-click) and on the shapes palette (a shape inserted by a double-click), and the
// placeholder settings sheet over the window, each saved as a PNG:
//   xvfb-run -a -s "-screen 0 1280x900x24" build/test/tools/libshot text.png shapes.png
//       sheet.png [background-sheet.png]

#include "ShotSupport.h"
#include "app/LBPlaceholderSettingsSheet.h"
#include "app/LBShapeController.h"
#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "inspector/LBTextDrawerController.h"
#include "inspector/LBTextDrawerTableView.h"
#include "window/LBDrawerController.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"
#include "window/WindowClasses.h"

#include <QApplication>
#include <QComboBox>
#include <QMainWindow>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr,
                     "usage: libshot <text.png> <shapes.png> <sheet.png> [background.png]\n");
        return 2;
    }
    const shots::TemporaryHome home;
    QApplication application(argc, argv);
    registerWindowClasses();
    LBProcessState::setApplicationSupportPath(home.path() + QStringLiteral("/support/"));
    shots::setUpDesignWindows({
        {QStringLiteral("Shape Cell Size"), QStringLiteral("{55, 55}")},
        {QStringLiteral("Confirm Delete Text Object"), true},
    });
    DrawerBrowser::setFactory(0, [] { return LBShapeController::makeShapes(); });
    DrawerBrowser::setFactory(4, [] { return std::make_unique<LBTextDrawerController>(); });

    LBDocument document;
    document.setOpenedExistingFile(true);
    const shots::DesignWindow design = shots::showDesignWindow(document, QSize(1180, 760));
    LBWindowController* controller = design.controller;
    QMainWindow* window = design.window;
    LBEditController* edit = design.edit;
    if (!edit) {
        std::fprintf(stderr, "libshot: no design controller\n");
        return 1;
    }
    controller->setZoomSliderValue(5.09);
    edit->openDrawer(true, false, false);
    edit->setDrawerMode(4);
    shots::pump(400);
    auto* drawer = static_cast<LBDrawerController*>(edit->drawerController());
    auto* text = drawer ? dynamic_cast<LBTextDrawerController*>(drawer->browser(4)) : nullptr;
    if (!text) {
        std::fprintf(stderr, "libshot: no text library\n");
        return 1;
    }
    text->tableView()->selectRow(0);
    text->doubleClickAction();
    edit->selectedGraphicView()->clearSelection();
    text->tableView()->selectRow(2);
    shots::pump(300);
    bool saved = shots::grabWindow(window, QString::fromLocal8Bit(argv[1]));

    edit->setDrawerMode(0);
    shots::pump(300);
    if (auto* shapes = dynamic_cast<LBShapeController*>(drawer->browser(0))) {
        shapes->processDoubleClickAtRow(18 / shapes->matrix()->numberOfColumns(),
                                        18 % shapes->matrix()->numberOfColumns());
        shots::pump(200);
    }
    saved = saved && shots::grabWindow(window, QString::fromLocal8Bit(argv[2]));

    LBPlaceholderSettingsSheet sheet(false);
    sheet.beginSheetForWindow(window);
    sheet.typePopup()->setCurrentIndex(sheet.typePopup()->findText(QStringLiteral("Alphabet")));
    sheet.typePopupAction();
    shots::pump(400);
    saved = saved && shots::grabWindow(sheet.window(), QString::fromLocal8Bit(argv[3]));
    sheet.cancelOrOKAction(false);
    if (argc == 5) {
        LBPlaceholderSettingsSheet background(true);
        background.setPromptString(QStringLiteral("Drag\rPaper\rHere"));
        background.setColor(Qt::black);
        background.setLabelColor(Qt::white);
        background.setPatternIndex(2);
        background.beginSheetForWindow(window);
        shots::pump(400);
        saved = saved && shots::grabWindow(background.window(), QString::fromLocal8Bit(argv[4]));
        background.cancelOrOKAction(false);
    }
    document.close();
    if (!saved) {
        std::fprintf(stderr, "libshot: a picture was not written\n");
        return 1;
    }
    return 0;
}
