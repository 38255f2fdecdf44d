// Developer tool: the Crop pane of the inspector palette over a photo being cropped, and
// the layers view of a design with three layers and two background rows, saved as PNGs
// (run under Xvfb):
//   xvfb-run -a -s "-screen 0 1280x900x24" build/test/tools/croplayersshot crop.png custom.png layers.png

#include "ShotSupport.h"
#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "inspector/HUDCropTools.h"
#include "inspector/HUDWindowController.h"
#include "inspector/LBLayersController.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/ScrollView.h"
#include "shapes/LBImage.h"
#include "shapes/LBRectangle.h"
#include "shapes/ShapeClasses.h"
#include "window/LBWindowController.h"
#include "window/WindowClasses.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QTableView>

#include <cstdio>

namespace {

// A landscape picture: sky, hills and a sun.
QImage landscape(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(90, 150, 230));
    sky.setColorAt(1, QColor(200, 225, 250));
    p.fillRect(image.rect(), sky);
    p.setBrush(QColor(250, 210, 70));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(w * 0.75, h * 0.3), h * 0.12, h * 0.12);
    p.setBrush(QColor(70, 150, 80));
    p.drawEllipse(QPointF(w * 0.3, h * 1.1), w * 0.5, h * 0.5);
    p.setBrush(QColor(50, 120, 60));
    p.drawEllipse(QPointF(w * 0.8, h * 1.15), w * 0.45, h * 0.45);
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: croplayersshot <crop.png> <custom.png> <layers.png>\n");
        return 2;
    }
    const shots::TemporaryHome home;
    QApplication application(argc, argv);
    registerShapeClasses();
    registerWindowClasses();
    HUDWindowController::registerCropPane();
    platform::UserDefaults::standardUserDefaults().registerDefaults(
        {{QStringLiteral("Smart Inspector Window Gap"), 5},
         {QStringLiteral("Grid Spacing"), 9.0},
         {QStringLiteral("Grid Guide Spacing"), 8},
         {QStringLiteral("Crop Constraint Type"), 3},
         {QStringLiteral("Crop Constraint Custom Ratio"), QStringLiteral("{6, 4}")}});

    const shots::DesignCanvas design(QSize(800, 600), shots::DesignCanvas::ExistingFile);
    LBDocument& document = design.document();
    platform::ScrollView& scrollView = design.window();
    LBGraphicView* canvas = design.canvas();

    auto photo = std::make_shared<LBImage>();
    photo->setImage(platform::Image::fromBitmap(landscape(360, 240), QSizeF(360, 240)),
                    LBGraphic::FillImageType);
    photo->setDocument(&document);
    photo->setBounds(QRectF(150, 60, 360, 240));
    document.insertGraphic(photo, 0, 1);
    scrollView.show();
    shots::settle(300);

    HUDWindowController::setAnimationsEnabled(false);
    HUDWindowController palette(HUDWindowController::SmartShown);
    LBProcessState::setInspectorPalette(&palette);
    canvas->selectGraphic(photo);
    palette.updateFromGraphicView(canvas);
    shots::settle(700); // the smart palette's first collapse
    canvas->crop();
    palette.centerWindowUnderSelectedGraphics();
    shots::settle(400);
    const QRect area(0, 0, 900, 700);
    bool ok = shots::grabArea(area, QString::fromLocal8Bit(argv[1]));
    if (auto* crop = dynamic_cast<HUDCropTools*>(palette.currentTools()))
        crop->chooseItem(HUDCropTools::CustomItem);
    palette.centerWindowUnderSelectedGraphics();
    shots::settle(400);
    ok = shots::grabArea(area, QString::fromLocal8Bit(argv[2])) && ok;
    canvas->cancelCrop();
    LBProcessState::setInspectorPalette(nullptr);

    // The layers view: three layers (one hidden), a background picture and colour.
    document.insertLayerWithName(QStringLiteral("Captions"), 2);
    document.showLayerAtIndex(1, false);
    const qint64 page = document.pageIndex();
    const QString picture = home.filePath(QStringLiteral("paper.png"));
    landscape(120, 80).save(picture, "PNG");
    document.setBackgroundImagePath(picture, true, page);
    document.setHasBackgroundColor(true, page);
    document.setDrawBackgroundColor(true, page);
    LBLayersController layers;
    layers.setDocument(&document);
    layers.view()->setWindowTitle(QStringLiteral("Layers"));
    layers.view()->setGeometry(60, 60, 245, 190);
    layers.view()->show();
    layers.selectRow(0);
    layers.layersTable()->setFocus();
    shots::settle(300);
    ok = layers.view()->grab().save(QString::fromLocal8Bit(argv[3]), "PNG") && ok;
    return ok ? 0 : 1;
}
