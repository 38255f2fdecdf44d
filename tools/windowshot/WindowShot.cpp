// Developer tool: the document window in each mode, with the window tests' recording mode
// controllers painting their areas, saved as PNGs of the window (run with
// QT_SCALE_FACTOR=2 to see the pictures at 2 device pixels a point):
//   xvfb-run -a -s "-screen 0 1280x900x24" build/test/tools/windowshot preview.png design.png
// The design/preview switch is shown in a strip at the top of the window, where the
// toolbar will hold it.

#include "ModeControllerFakes.h"

#include "ShotSupport.h"
#include "controls/LBCompImageButton.h"
#include "document/LBDocument.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/KXPopUpImageButton.h"
#include "platform/ui/PrintInfo.h"
#include "window/LBWindowController.h"

#include <QApplication>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>

#include <cstdio>

namespace {

bool save(QWidget* window, const char* path)
{
    // What the screen shows of the window, as it painted itself.
    if (!shots::grabWindow(window, QString::fromLocal8Bit(path))) {
        std::fprintf(stderr, "windowshot: cannot write %s\n", path);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: windowshot <preview.png> <design.png>\n");
        return 2;
    }
    QApplication application(argc, argv);
    platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
    platform::UserDefaults::standardUserDefaults().registerDefaults({
        {QStringLiteral("Graphics Drawer Width"), 250.0},
        {QStringLiteral("Graphics Drawer Open"), -1},
        {QStringLiteral("Column 1 Width"), 120.0},
        {QStringLiteral("Column 2 Width"), 150.0},
    });
    QStringList log;
    RecordingFactories factories(&log, true, true, true);

    LBDocument document;
    auto* controller = new LBWindowController;
    document.addWindowController(controller);
    QMainWindow* window = controller->mainWindow();
    auto* toolbar = new QToolBar(window);
    toolbar->setMovable(false);
    for (auto [button, title] : {std::pair{controller->designButton(), "Design"},
                                 std::pair{controller->previewButton(), "Preview"}}) {
        button->setTitle(QString::fromLatin1(title));
        button->setFixedSize(74, 24);
        button->show();
        toolbar->addWidget(button);
    }
    window->addToolBar(toolbar);
    window->resize(1100, 640);
    window->show();
    controller->dpiPopupButton()->addItemsWithTitles(
        {QStringLiteral("72 dpi"), QStringLiteral("150 dpi"), QStringLiteral("300 dpi")});
    controller->dpiPopupButton()->selectItemAtIndex(1);
    shots::pump(400);
    controller->setZoomSliderValue(5.09); // 67 %: the whole sheet shows
    controller->setZoomPercent(67);
    controller->updateButtonBarPosition();
    shots::pump(100);
    if (!save(window, argv[1]))
        return 1;

    controller->switchToDesignMode(nullptr);
    shots::pump(500); // the layers view opens 0.1 s after the first design entry
    controller->setZoomSliderValue(5.09);
    controller->setZoomPercent(67);
    controller->updateButtonBarPosition();
    shots::pump(100);
    if (!save(window, argv[2]))
        return 1;
    document.close();
    return 0;
}
