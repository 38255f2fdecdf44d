// Developer tool: the document window in design mode with the real design controller: a
// few graphics on the page (one selected), the grid above them, both rulers in inches,
// saved as a PNG of the window, and optionally the grid settings sheet over it (run with
// QT_SCALE_FACTOR=2 to see it at 2 device pixels a point). With --drawer the design drawer
// is open on the photo browser, showing a folder of pictures the tool paints:
//   xvfb-run -a -s "-screen 0 1280x900x24" build/test/tools/designshot [--drawer] design.png
//       [sheet.png]

#include "ShotSupport.h"
#include "canvas/LBGraphicView.h"
#include "canvas/LBRulerView.h"
#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "platform/core/UserDefaults.h"
#include "shapes/LBCircle.h"
#include "shapes/LBRectangle.h"
#include "shapes/LBStar.h"
#include "window/LBClipArtController.h"
#include "window/LBDrawerController.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"
#include "window/WindowMenus.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLinearGradient>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// A few landscapes of colour bands, sun and hills, for the photo browser to show.
void paintPictures(const QString& folder)
{
    const QColor skies[] = {QColor(110, 170, 230), QColor(240, 150, 90),  QColor(60, 70, 140),
                            QColor(150, 210, 240), QColor(250, 200, 120), QColor(120, 200, 180),
                            QColor(200, 120, 170), QColor(90, 140, 90),   QColor(230, 230, 240)};
    int n = 0;
    for (const QColor& sky : skies) {
        QImage image(320, 240, QImage::Format_RGB32);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient gradient(0, 0, 0, 240);
        gradient.setColorAt(0, sky.lighter(130));
        gradient.setColorAt(1, sky.darker(110));
        painter.fillRect(image.rect(), gradient);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 240, 160));
        painter.drawEllipse(QPointF(80 + 20 * n, 70), 28, 28);
        painter.setBrush(sky.darker(180));
        painter.drawEllipse(QRectF(-60, 150, 300, 200));
        painter.setBrush(sky.darker(150));
        painter.drawEllipse(QRectF(120, 170, 320, 200));
        painter.end();
        image.save(QStringLiteral("%1/Picture %2.jpg").arg(folder).arg(++n), "JPEG", 90);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    const bool withDrawer = arguments.removeAll(QStringLiteral("--drawer")) > 0;
    if (arguments.size() != 1 && arguments.size() != 2) {
        std::fprintf(stderr, "usage: designshot [--drawer] <design.png> [sheet.png]\n");
        return 2;
    }
    shots::setUpDesignWindows();
    platform::UserDefaults& settings = platform::UserDefaults::standardUserDefaults();
    WindowMenus::table() = WindowMenus::defaultTable(); // the window's own menus
    QTemporaryDir pictures;
    if (withDrawer) {
        paintPictures(pictures.path());
        settings.setObject(pictures.path(), QStringLiteral("Photo Library Folder"));
        settings.setInteger(2, QStringLiteral("Graphics Drawer Selection"));
    }

    LBDocument document;
    document.setOpenedExistingFile(true); // no layout chooser over the design
    if (withDrawer) {
        // One 6 x 4 inch label on a letter sheet, so the graphics lie on it.
        QVariantMap& layout = document.dimensionInfo();
        layout[DimensionInfo::pageWidth] = 612.0;
        layout[DimensionInfo::pageHeight] = 792.0;
        layout[DimensionInfo::labelWidth] = 432.0;
        layout[DimensionInfo::labelHeight] = 360.0;
        layout[DimensionInfo::numRows] = 1;
        layout[DimensionInfo::numColumns] = 1;
        layout[DimensionInfo::cornerRadius] = 12.0;
    }
    const shots::DesignWindow design = shots::showDesignWindow(document, QSize(1100, 720));
    LBWindowController* controller = design.controller;
    QMainWindow* window = design.window;
    LBEditController* edit = design.edit;
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
    place(std::make_shared<LBRectangle>(), QRectF(30, 40, 180, 110), QColor(120, 170, 230));
    const LBGraphicPtr circle =
        place(std::make_shared<LBCircle>(), QRectF(250, 40, 120, 120), QColor(240, 170, 90));
    place(std::make_shared<LBStar>(), QRectF(60, 190, 140, 140), QColor(250, 220, 90));
    auto text = std::make_shared<LBTextArea>();
    text->setContents(QStringLiteral("Veltrin design mode"));
    place(text, QRectF(220, 230, 200, 40), QColor());
    edit->toggleGridAbove();
    if (withDrawer) {
        edit->openDrawer(true, false, false);
        if (auto* drawer = dynamic_cast<LBDrawerController*>(edit->drawerController()))
            drawer->setMode(2);
    }
    controller->setZoomSliderValue(withDrawer ? 6.0 : 5.09); // the whole label shows
    shots::pump(600);
    edit->selectedGraphicView()->selectGraphic(circle);
    shots::pump(300);
    bool saved = shots::grabWindow(window, arguments[0]);
    if (saved && arguments.size() == 2) {
        edit->gridSettingsAction();
        shots::pump(300);
        QWidget* sheet = edit->gridSettingsSheet();
        saved = sheet->screen()->grabWindow(sheet->winId()).save(arguments[1], "PNG");
        edit->gridSettingsButtonAction(0);
    }
    edit->toggleGridAbove();
    document.close();
    if (!saved) {
        std::fprintf(stderr, "designshot: cannot write %s\n", qPrintable(arguments[0]));
        return 1;
    }
    return 0;
}
