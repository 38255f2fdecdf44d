// Developer tool: the canvas in crop mode (a photo shaped by the rectangle made to crop it)
// beside two placeholders, a shape showing its prompt and pattern and a text box, saved as
// a PNG of the window.
//   ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s "-screen 0 1024x768x24" build/test/tools/modesshot shot.png

#include "ShotSupport.h"
#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "graphics/NamedImage.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/ScrollView.h"
#include "shapes/LBCircle.h"
#include "shapes/LBImage.h"
#include "shapes/ShapeClasses.h"
#include "window/LBWindowController.h"
#include "window/WindowClasses.h"

#include <QApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

#include <cstdio>

namespace {

// A landscape of sky, sun and hills, standing in for a photo.
platform::ImagePtr landscape(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(90, 150, 230));
    sky.setColorAt(1, QColor(220, 235, 250));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor(250, 210, 80));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(w * 0.75, h * 0.3), h * 0.12, h * 0.12);
    painter.setBrush(QColor(70, 150, 80));
    painter.drawEllipse(QRectF(-w * 0.2, h * 0.6, w * 0.9, h * 0.8));
    painter.setBrush(QColor(50, 120, 60));
    painter.drawEllipse(QRectF(w * 0.4, h * 0.55, w * 0.9, h * 0.9));
    painter.end();
    return platform::Image::fromBitmap(image, QSizeF(w, h));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: modesshot <file.png>\n");
        return 2;
    }
    const shots::TemporaryHome home;
    QApplication application(argc, argv);
    registerShapeClasses();
    registerWindowClasses();
    platform::UserDefaults::standardUserDefaults().registerDefaults(
        {{QStringLiteral("Grid Spacing"), 9.0}, {QStringLiteral("Grid Guide Spacing"), 8}});

    LBDocument document;
    document.makeWindowControllers();
    auto* controller = qobject_cast<LBWindowController*>(document.windowController());
    controller->switchToDesignMode(nullptr);

    platform::ScrollView scrollView;
    scrollView.setWindowTitle(QStringLiteral("Veltrin"));
    scrollView.resize(900, 620);
    auto* canvas = new LBGraphicView;
    canvas->setWindowController(controller);
    controller->setSelectedGraphicView(canvas);
    canvas->setCanvasSize(QSizeF(700, 860));
    scrollView.setDocumentView(canvas);
    canvas->setVisiblePageRect(QRectF(30, 30, 612, 792));

    document.undoManager()->disableUndoRegistration();
    auto photo = std::make_shared<LBImage>();
    photo->setBounds(QRectF(60, 60, 330, 220));
    photo->setImage(landscape(660, 440), LBGraphic::FillImageType);

    auto shape = std::make_shared<LBCircle>();
    shape->setBounds(QRectF(440, 80, 170, 170));
    shape->setIsPlaceholder(true);
    shape->setPlaceholderTypeString(QStringLiteral("Photo"));
    shape->setPlaceholderLabel(QStringLiteral("Drag Photo Here"));
    shape->setPlaceholderLabelPosition(1);
    shape->setPlaceholderColor(QColor(200, 220, 240));
    shape->setPlaceholderLabelColor(QColor(40, 60, 90));
    shape->setPlaceholderPatternIndex(3);
    shape->setFillImageScaling(LBGraphic::FillImageTiled);
    shape->setImage(namedImage(QStringLiteral("PlaceholderPattern3")), LBGraphic::FillImageType);
    shape->setDrawPlaceholderText(true);
    shape->setDrawsStroke(true);
    shape->setStrokeLineWidth(1.0);
    shape->setStrokeColor(Qt::black);
    shape->setLineDash({5.0, 5.0, 0.0, 0.0}, 2);

    auto text = std::make_shared<LBTextArea>();
    text->setBounds(QRectF(80, 340, 300, 40));
    text->setContents(QStringLiteral("Your name here"));
    text->setIsPlaceholder(true);
    text->setPlaceholderTypeString(QStringLiteral("RegularText"));
    for (const LBGraphicPtr& g : QList<LBGraphicPtr>{photo, shape, text}) {
        g->setDocument(&document);
        document.insertGraphic(g, document.numGraphicsOnLayer(1), 1);
    }
    document.undoManager()->enableUndoRegistration();

    canvas->selectGraphic(photo);
    canvas->crop();

    scrollView.show();
    shots::settle(500);
    const bool saved = scrollView.grab().save(QString::fromLocal8Bit(argv[1]));
    canvas->cancelCrop();
    return saved ? 0 : 1;
}
