// Developer tool: the inspector palette on each of the geometry and paint panes
// (dimensions, rotation, the Color pane in its four layouts, the line Color pane,
// transparency, shadow, reflection) over real graphics, saved as PNGs into a folder
// (run under Xvfb):
//   xvfb-run -a -s "-screen 0 1280x900x24" build/test/tools/panesshot <folder>

#include "ShotSupport.h"
#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/ScrollView.h"
#include "shapes/LBImage.h"
#include "shapes/LBLine.h"
#include "shapes/LBRectangle.h"
#include "shapes/ShapeClasses.h"
#include "window/LBWindowController.h"
#include "window/WindowClasses.h"

#include <QApplication>
#include <QDir>
#include <QPainter>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: panesshot <folder>\n");
        return 2;
    }
    const shots::TemporaryHome home;
    QApplication application(argc, argv);
    registerShapeClasses();
    registerWindowClasses();
    platform::UserDefaults::standardUserDefaults().registerDefaults(
        {{QStringLiteral("Smart Inspector Window Gap"), 5},
         {QStringLiteral("Grid Spacing"), 9.0},
         {QStringLiteral("Grid Guide Spacing"), 8},
         {QStringLiteral("Units Type"), 1}});
    const QDir folder(QString::fromLocal8Bit(argv[1]));

    const shots::DesignCanvas design(QSize(800, 600));
    LBDocument& document = design.document();
    platform::ScrollView& scrollView = design.window();
    LBGraphicView* canvas = design.canvas();

    const auto insert = [&document](const LBGraphicPtr& g, const QRectF& bounds) {
        g->setBounds(bounds);
        g->setDocument(&document);
        document.insertGraphic(g, document.numGraphicsOnLayer(1), 1);
    };
    auto rectangle = std::make_shared<LBRectangle>();
    rectangle->setFillType(1);
    rectangle->setFillColor(QColor(120, 170, 230));
    rectangle->setDrawsStroke(true);
    rectangle->setStrokeLineWidth(2.0);
    rectangle->setLineDash({5, 2, 1, 2}, 4);
    rectangle->setShadowInfo(1, 6, 4, 135, 0.6, QColor(Qt::black));
    insert(rectangle, QRectF(140, 90, 200, 120));
    auto soft = std::make_shared<LBRectangle>();
    soft->setFillType(1);
    soft->setFillColor(QColor(230, 120, 150));
    soft->setColorMaskType(2, 80, 30, 90, 10, 315);
    insert(soft, QRectF(400, 90, 120, 120));
    auto gradient = std::make_shared<LBRectangle>();
    gradient->setFillType(2);
    gradient->setFillColor(QColor(250, 220, 90));
    gradient->setFillColor1(QColor(200, 80, 40));
    insert(gradient, QRectF(140, 300, 120, 80));
    auto image = std::make_shared<LBImage>();
    QImage picture(64, 48, QImage::Format_ARGB32_Premultiplied);
    picture.fill(QColor(90, 160, 90));
    image->setImage(platform::Image::fromBitmap(picture, QSizeF(64, 48)), LBGraphic::FillImageType);
    insert(image, QRectF(400, 300, 128, 96));
    auto line = std::make_shared<LBLine>();
    line->setStrokeLineWidth(3.0);
    line->setArrow2Type(1);
    line->setArrow1Type(5);
    insert(line, QRectF(140, 450, 300, 0));
    scrollView.show();
    shots::settle(300);

    HUDWindowController::setAnimationsEnabled(false);
    HUDWindowController palette(HUDWindowController::SmartShown);
    shots::settle(700); // past the smart palette's first collapse
    bool ok = true;
    const auto shoot = [&](const LBGraphicPtr& graphic, int tag, const char* name) {
        canvas->clearSelection();
        canvas->selectGraphic(graphic);
        palette.updateFromGraphicView(canvas);
        palette.toolsPopupAction(tag);
        palette.centerWindowUnderSelectedGraphics();
        shots::settle(250);
        ok = shots::grabFrame(palette.window(),
                              folder.filePath(QLatin1String(name) + QStringLiteral(".png")))
             && ok;
    };
    using H = HUDWindowController;
    shoot(rectangle, H::SizeTools, "dimensions");
    shoot(image, H::SizeTools, "dimensions-image");
    shoot(rectangle, H::RotateFlipTools, "rotation");
    shoot(rectangle, H::ShapeColorTools, "color-plain");
    shoot(soft, H::ShapeColorTools, "color-soft");
    shoot(image, H::ShapeColorTools, "color-tint");
    shoot(gradient, H::ShapeColorTools, "color-gradient");
    shoot(line, H::LineColorTools, "line-color");
    shoot(rectangle, H::TransparencyTools, "transparency");
    shoot(rectangle, H::ShadowTools, "shadow");
    shoot(rectangle, H::ReflectionTools, "reflection");
    return ok ? 0 : 1;
}
