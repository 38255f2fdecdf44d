// Developer tool: the document window in design mode with the design drawer open on the
// favourites: a library in a temporary support folder holding pictures drawn here and a
// few shapes, one thumbnail selected; saved as a PNG of the window, and a second PNG of
// the drawer pane alone:
//   xvfb-run -a -s "-screen 0 1280x900x24" build/test/tools/favoritesshot window.png [pane.png]

#include "ShotSupport.h"
#include "app/LBLibraryController.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "platform/core/TextForms.h"
#include "shapes/LBCircle.h"
#include "shapes/LBRectangle.h"
#include "shapes/LBStar.h"
#include "window/DrawerBrowser.h"
#include "window/LBDrawerController.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include <QApplication>
#include <QLinearGradient>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// A small landscape: sky, sun and hills.
QString drawPicture(const QTemporaryDir& folder, int n)
{
    QImage image(160, 110, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 110);
    sky.setColorAt(0, QColor::fromHsv((200 + n * 37) % 360, 120, 240));
    sky.setColorAt(1, QColor::fromHsv((180 + n * 37) % 360, 40, 255));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 210, 80));
    painter.drawEllipse(QPointF(40 + n * 15 % 90, 35), 16, 16);
    painter.setBrush(QColor::fromHsv((100 + n * 23) % 360, 150, 150));
    painter.drawEllipse(QRectF(-40, 70, 160, 90));
    painter.setBrush(QColor::fromHsv((120 + n * 23) % 360, 170, 120));
    painter.drawEllipse(QRectF(60, 80, 180, 80));
    painter.end();
    const QString path = folder.filePath(QStringLiteral("Picture %1.png").arg(n));
    image.save(path);
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: favoritesshot <window.png> [pane.png]\n");
        return 2;
    }
    QApplication application(argc, argv);
    const shots::TemporaryHome folder;
    LBProcessState::setApplicationSupportPath(folder.path() + QStringLiteral("/Support/"));
    LBProcessState::setTemporaryFolderPath(folder.path() + QStringLiteral("/Temporary Files/"));
    shots::setUpDesignWindows({
        {QStringLiteral("Graphics Drawer Selection"), 5},
        {QStringLiteral("Favorites Collection Index"), 0},
        {QStringLiteral("Confirm Delete Favorite"), true},
        {QStringLiteral("Confirm Delete Favorite Collection"), true},
        {QStringLiteral("Favorites Outline Height"), 65.0},
        {QStringLiteral("Scrapbook Cell Size"), platform::stringFromSize(QSizeF(60, 60))},
    });
    DrawerBrowser::setFactory(5, [] { return LBLibraryController::makeFavorites(); });

    LBDocument document;
    document.setOpenedExistingFile(true); // no layout chooser over the design
    const shots::DesignWindow design = shots::showDesignWindow(document, QSize(1100, 720));
    QMainWindow* window = design.window;
    LBEditController* edit = design.edit;
    if (!edit) {
        std::fprintf(stderr, "favoritesshot: no design controller\n");
        return 1;
    }
    edit->openDrawer(true, false, false);
    edit->setDrawerMode(5);
    shots::pump(300);
    auto* drawer = static_cast<LBDrawerController*>(edit->drawerController());
    auto* favourites = drawer ? static_cast<LBLibraryController*>(drawer->browser(5)) : nullptr;
    if (!favourites) {
        std::fprintf(stderr, "favoritesshot: no favourites in the drawer\n");
        return 1;
    }
    // A second collection, then pictures and shapes in the first.
    favourites->addCollectionWithName(QStringLiteral("Holiday Cards"));
    favourites->loadCollections();
    favourites->reloadOutline();
    favourites->selectRow(1);
    QStringList pictures;
    for (int n = 0; n < 7; ++n)
        pictures.append(drawPicture(folder.dir(), n));
    favourites->addImageFilesToLibrary(pictures, true);
    const auto shape = [](LBGraphicPtr graphic, const QRectF& bounds, const QColor& fill) {
        graphic->setBoundsNoOtherChanges(bounds);
        graphic->setFillType(1);
        graphic->setFillColor(fill);
        graphic->setStrokeLineWidth(3);
        return graphic;
    };
    favourites->store()->begin();
    favourites->addGraphics(
        {shape(std::make_shared<LBStar>(), QRectF(0, 0, 90, 90), QColor(250, 210, 70))},
        favourites->categoryForRow(1), false, favourites->graphicCount());
    favourites->addGraphics(
        {shape(std::make_shared<LBCircle>(), QRectF(0, 0, 80, 80), QColor(120, 170, 230)),
         shape(std::make_shared<LBRectangle>(), QRectF(40, 40, 80, 50), QColor(230, 120, 120))},
        favourites->categoryForRow(1), true, favourites->graphicCount());
    favourites->saveChanges();
    favourites->loadObjects();
    favourites->refreshMatrix();
    favourites->matrix()->selectCellAtIndex(2);
    favourites->matrix()->highlightCellAtIndex(2, true);
    shots::pump(300);
    bool saved = shots::grabWindow(window, QString::fromLocal8Bit(argv[1]));
    if (saved && argc == 3)
        saved = drawer->view()->grab().save(QString::fromLocal8Bit(argv[2]), "PNG");
    document.close();
    if (!saved) {
        std::fprintf(stderr, "favoritesshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
