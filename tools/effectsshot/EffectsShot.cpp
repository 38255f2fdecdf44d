// Developer tool: the inspector palette over a picture on the design canvas, showing the
// Effects pane on a mask effect with a shape of the masks library, the same with a built-in
// shape and the mask pop-up open, the Image pane and the Text Gradient pane, saved as PNGs
// of the screen (run under Xvfb):
//   xvfb-run -a -s "-screen 0 1280x900x24" build/test/tools/effectsshot <folder>

#include "ShotSupport.h"
#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "inspector/HUDPaneControls.h"
#include "inspector/HUDPaneViews.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/ScrollView.h"
#include "shapes/LBImage.h"
#include "shapes/ShapeClasses.h"
#include "window/LBWindowController.h"
#include "window/WindowClasses.h"

#include <QAction>
#include <QApplication>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QWidget>

#include <cstdio>

namespace {

// A colourful picture to put effects on.
QImage sampleBitmap()
{
    QImage image(480, 320, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 320);
    sky.setColorAt(0, QColor(70, 130, 210));
    sky.setColorAt(1, QColor(250, 210, 120));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor(250, 240, 180));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(340, 110), 50, 50);
    painter.setBrush(QColor(40, 110, 60));
    painter.drawPolygon(QPolygonF({QPointF(0, 320), QPointF(150, 150), QPointF(300, 320)}));
    painter.setBrush(QColor(30, 80, 50));
    painter.drawPolygon(QPolygonF({QPointF(180, 320), QPointF(360, 170), QPointF(480, 320)}));
    return image;
}

void choose(HUDPopUpButton* popup, int tag)
{
    if (QAction* item = hudpopup::itemWithTag(popup, tag))
        item->trigger();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: effectsshot <folder>\n");
        return 2;
    }
    const shots::TemporaryHome home;
    QApplication application(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    registerShapeClasses();
    registerWindowClasses();
    platform::UserDefaults::standardUserDefaults().registerDefaults(
        {{QStringLiteral("Smart Inspector Window Gap"), 5},
         {QStringLiteral("Grid Spacing"), 9.0},
         {QStringLiteral("Grid Guide Spacing"), 8}});

    const shots::DesignCanvas design(QSize(800, 620));
    LBDocument& document = design.document();
    platform::ScrollView& scrollView = design.window();
    LBGraphicView* canvas = design.canvas();

    auto picture = std::make_shared<LBImage>();
    picture->setBounds(QRectF(130, 60, 300, 200));
    picture->setImage(platform::Image::fromBitmap(sampleBitmap(), QSizeF(300, 200)),
                      LBGraphic::FillImageType);
    auto text = std::make_shared<LBTextArea>();
    text->setBounds(QRectF(460, 90, 160, 50));
    text->setContents(QStringLiteral("Winter"));
    for (const LBGraphicPtr& g : QList<LBGraphicPtr>{picture, text}) {
        g->setDocument(&document);
        document.insertGraphic(g, document.numGraphicsOnLayer(1), 1);
    }
    scrollView.show();
    shots::settle(300);
    // Only the canvas: no sheet of the new document over it.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != &scrollView && window->isVisible())
            window->hide();

    HUDWindowController::setAnimationsEnabled(false);
    HUDWindowController palette(HUDWindowController::SmartShown);
    canvas->selectGraphic(picture);
    palette.updateFromGraphicView(canvas);
    shots::settle(700);
    palette.toolsPopupAction(HUDWindowController::ImageEffectsTools);
    auto* effects = dynamic_cast<HUDImageEffectsTools*>(palette.currentTools());
    if (!effects)
        return 1;
    const QRect area(0, 0, 900, 720);
    bool ok = true;

    // A vignette through the library's star.
    choose(effects->_imageEffectPopup, 33);
    choose(effects->_imageEffectPopup0, 8);
    palette.centerWindowUnderSelectedGraphics();
    canvas->update();
    shots::settle(500);
    ok = shots::grabArea(area, folder + QStringLiteral("effects-mask-library.png")) && ok;

    // The mask effect on a built-in shape, with its pop-up open.
    choose(effects->_imageEffectPopup, 34);
    choose(effects->_imageEffectPopup0, 5);
    canvas->update();
    shots::settle(300);
    ok = shots::grabArea(area, folder + QStringLiteral("effects-mask-builtin.png")) && ok;
    effects->_imageEffectPopup0->click();
    shots::settle(500);
    ok = shots::grabArea(area, folder + QStringLiteral("effects-mask-menu.png")) && ok;
    effects->_imageEffectPopup0->itemMenu()->close();
    shots::settle(200);

    // Five sliders and a colour.
    choose(effects->_imageEffectPopup, 29);
    canvas->update();
    shots::settle(300);
    ok = shots::grabArea(area, folder + QStringLiteral("effects-star-shine.png")) && ok;

    palette.toolsPopupAction(HUDWindowController::ImageAdjustTools);
    palette.centerWindowUnderSelectedGraphics();
    shots::settle(300);
    ok = shots::grabArea(area, folder + QStringLiteral("image-adjust.png")) && ok;

    canvas->clearSelection();
    canvas->selectGraphic(text);
    palette.updateFromGraphicView(canvas);
    palette.toolsPopupAction(HUDWindowController::TextGradientTools);
    palette.centerWindowUnderSelectedGraphics();
    shots::settle(300);
    ok = shots::grabArea(area, folder + QStringLiteral("text-gradient.png")) && ok;
    return ok ? 0 : 1;
}
