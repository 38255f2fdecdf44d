// Developer tool: shows the kit browser the way the design drawer will, on a library of its
// own holding the sample kit, walks to the sample kit's pictures, opens the preview of one,
// and saves what the screen shows as a PNG.
//   xvfb-run -a -s "-screen 0 1024x768x24" build/test/tools/kitbrowsershot shot.png

#include "ShotSupport.h"
#include "kitbrowser/SGCorbeilController.h"
#include "platform/ui/ImageBrowserView.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

#include <cstdio>

namespace {

// Lets the event loop run for a while (pictures load a few per turn).
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kitbrowsershot <file.png>\n");
        return 2;
    }
    // A library and settings of this run only.
    const shots::TemporaryHome home(shots::TemporaryHome::ConfigAndData);
    QApplication application(argc, argv);

    // A stand-in for the drawer: its title bar and the browser below it.
    QWidget drawer;
    drawer.setWindowTitle(QStringLiteral("Veltrin"));
    drawer.resize(400, 660);
    drawer.move(40, 40);
    auto* layout = new QVBoxLayout(&drawer);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QLabel(QStringLiteral("Artwork"), &drawer);
    bar->setAlignment(Qt::AlignCenter);
    bar->setFixedHeight(28);
    bar->setStyleSheet(QStringLiteral("background: #3c4654; color: white; font-weight: bold;"));
    auto* host = new QWidget(&drawer);
    layout->addWidget(bar);
    layout->addWidget(host, 1);
    drawer.show();

    SGCorbeilController controller(QStringLiteral("Corbeils"));
    controller.showPreviewButton();
    controller.setView(host);
    controller.importCorbeil(QStringLiteral(VELTRIN_SAMPLE_KIT), 0, 1, false);
    shots::settle(200);

    // The sample kit, all its types, then the preview of the snowman.
    auto* kits =
        qobject_cast<platform::ImageBrowserView*>(controller.outlet(QStringLiteral("kitBrowser")));
    kits->setSelectionIndexes({0});
    controller.tableViewSelectionDidChange(QStringLiteral("intermediateTable"), 0);
    auto* graphics = qobject_cast<platform::ImageBrowserView*>(
        controller.outlet(QStringLiteral("graphicBrowser")));
    shots::settle(300);
    graphics->loadVisiblePictures();
    int snowman = 0;
    for (int i = 0; i < graphics->numberOfItems(); ++i) {
        if (graphics->itemAtIndex(i).imageTitle == QLatin1String("Snowman"))
            snowman = i;
    }
    graphics->setSelectionIndexes({snowman});
    const QPointF at = graphics->itemFrameAtIndex(snowman).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, graphics->viewport()->mapToGlobal(at),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(graphics->viewport(), &press);
    shots::settle(500);

    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    controller.cleanup();
    if (!screen.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "kitbrowsershot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
