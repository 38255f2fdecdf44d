// Developer tool: the document window in design mode with the real design controller: a
// few graphics on the page (one selected), the grid above them, both rulers in inches,
// saved as a PNG of the window, and optionally the grid settings sheet over it (run with
// QT_SCALE_FACTOR=2 to see it at 2 device pixels a point):
//   xvfb-run -a -s "-screen 0 1280x900x24" build/test/tools/designshot design.png [sheet.png]

#include "canvas/LBGraphicView.h"
#include "canvas/LBRulerView.h"
#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/PrintInfo.h"
#include "shapes/LBCircle.h"
#include "shapes/LBRectangle.h"
#include "shapes/LBStar.h"
#include "shapes/ShapeClasses.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <cstdio>

namespace {

void wait(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: designshot <design.png> [sheet.png]\n");
        return 2;
    }
    QApplication application(argc, argv);
    registerShapeClasses();
    platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
    platform::UserDefaults& settings = platform::UserDefaults::standardUserDefaults();
    settings.registerDefaults({
        {QStringLiteral("Graphics Drawer Width"), 250.0},
        {QStringLiteral("Graphics Drawer Open"), -1},
        {QStringLiteral("Grid Spacing"), 9.0},
        {QStringLiteral("Grid Guide Spacing"), 8},
        {QStringLiteral("Units Type"), 0},
    });
    settings.setBool(true, QStringLiteral("LayersViewIsClosed"));
    DesignModeController::setFactory([] { return std::make_unique<LBEditController>(); });

    LBDocument document;
    document.setOpenedExistingFile(true); // no layout chooser over the design
    auto* controller = new LBWindowController;
    document.addWindowController(controller);
    QMainWindow* window = controller->mainWindow();
    window->resize(1100, 720);
    window->show();
    wait(400);
    auto* edit = static_cast<LBEditController*>(controller->editController());
    if (!edit) {
        std::fprintf(stderr, "designshot: no design controller\n");
        return 1;
    }
    const auto place = [&](LBGraphicPtr graphic, const QRectF& bounds, const QColor& fill) {
        graphic->setBoundsNoOtherChanges(bounds);
        if (fill.isValid()) {
            graphic->setFillType(1);
            graphic->setFillColor(fill);
        }
        document.insertGraphic(graphic, 0, document.selectedLayerIndex());
        return graphic;
    };
    place(std::make_shared<LBRectangle>(), QRectF(72, 72, 180, 110), QColor(120, 170, 230));
    const LBGraphicPtr circle =
        place(std::make_shared<LBCircle>(), QRectF(300, 90, 120, 120), QColor(240, 170, 90));
    place(std::make_shared<LBStar>(), QRectF(120, 260, 140, 140), QColor(250, 220, 90));
    auto text = std::make_shared<LBTextArea>();
    text->setContents(QStringLiteral("Veltrin design mode"));
    place(text, QRectF(300, 290, 200, 40), QColor());
    edit->toggleGridAbove();
    controller->setZoomSliderValue(5.09); // 67 %: the whole page shows
    wait(200);
    edit->selectedGraphicView()->selectGraphic(circle);
    wait(300);
    window->repaint();
    const QPixmap pixmap = window->screen()->grabWindow(window->winId());
    bool saved = pixmap.save(QString::fromLocal8Bit(argv[1]), "PNG");
    if (saved && argc == 3) {
        edit->gridSettingsAction();
        wait(300);
        QWidget* sheet = edit->gridSettingsSheet();
        saved = sheet->screen()
                    ->grabWindow(sheet->winId())
                    .save(QString::fromLocal8Bit(argv[2]), "PNG");
        edit->gridSettingsButtonAction(0);
    }
    edit->toggleGridAbove();
    document.close();
    if (!saved) {
        std::fprintf(stderr, "designshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
