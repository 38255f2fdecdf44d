// Developer tool: the inspector palette on each text pane (Font, Font Preview,
// Typography, Arrange, Contact Fields, Text Position, Barcode, the shape modifier and mask
// scaling) over a design canvas, one PNG of the screen around the palette a pane, written
// into a folder (run under Xvfb):
//   xvfb-run -a -s "-screen 0 1280x900x24" build/test/tools/textpanesshot /work/shots/x

#include "ShotSupport.h"
#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "inspector/HUDTextPanes.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/UserDefaults.h"
#include "platform/text/AttributedString.h"
#include "platform/text/FontManager.h"
#include "platform/ui/ScrollView.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBPolygon.h"
#include "shapes/LBRectangle.h"
#include "shapes/ShapeClasses.h"
#include "window/LBWindowController.h"
#include "window/WindowClasses.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

namespace {

bool saveAround(const QWidget* window, const QString& path)
{
    return shots::grabArea(window->frameGeometry().adjusted(-30, -30, 30, 30), path);
}

QFont font(const QString& family, double size, int weight = QFont::Normal)
{
    platform::FontManager& manager = platform::FontManager::sharedFontManager();
    for (const auto& member : manager.availableMembersOfFontFamily(family))
        if (!member.italic && member.weight == weight)
            return *manager.fontWithFamily(family, member.faceName, size);
    QFont fallback;
    fallback.setPointSizeF(size);
    return fallback;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: textpanesshot <folder>\n");
        return 2;
    }
    const shots::TemporaryHome home;
    QApplication application(argc, argv);
    registerShapeClasses();
    registerWindowClasses();
    registerTextPanes();
    platform::UserDefaults::standardUserDefaults().registerDefaults(
        {{QStringLiteral("Smart Inspector Window Gap"), 5},
         {QStringLiteral("Grid Spacing"), 9.0},
         {QStringLiteral("Grid Guide Spacing"), 8}});
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(folder.path());

    const shots::DesignCanvas design(QSize(900, 700));
    LBDocument& document = design.document();
    platform::ScrollView& scrollView = design.window();
    LBGraphicView* canvas = design.canvas();

    // A text box of two runs, a shape with text, a barcode and a polygon.
    auto text = std::make_shared<LBTextArea>();
    text->setBounds(QRectF(80, 60, 300, 60));
    platform::AttributedString string(
        QStringLiteral("Summer "),
        {{platform::FontAttributeName,
          QVariant::fromValue(font(QStringLiteral("DejaVu Serif"), 24, QFont::Bold))},
         {platform::ForegroundColorAttributeName, QColor(180, 40, 40)}});
    string.appendAttributedString(platform::AttributedString(
        QStringLiteral("Fair"), {{platform::FontAttributeName,
                                  QVariant::fromValue(font(QStringLiteral("DejaVu Serif"), 24))},
                                 {platform::ForegroundColorAttributeName, QColor(180, 40, 40)}}));
    text->setContents(string);
    auto shape = std::make_shared<LBRectangle>();
    shape->setBounds(QRectF(420, 60, 160, 100));
    shape->setFillType(1);
    shape->setFillColor(QColor(250, 220, 90));
    shape->setContents(QStringLiteral("around the edge"));
    shape->setShapeWithTextXLoc(0.25);
    auto barcode = LBBarcodeImage::withBarcodeType(LBPOSTNETBarcode);
    barcode->setBarcodeDataString(QStringLiteral("98101"));
    barcode->setBounds(QRectF(QPointF(80, 300), barcode->barcodeImageSize()));
    auto polygon = std::make_shared<LBPolygon>();
    polygon->setBounds(QRectF(420, 300, 120, 120));
    polygon->setFillType(1);
    polygon->setFillColor(QColor(120, 170, 230));
    polygon->setModifier1(6);
    for (const LBGraphicPtr& g : QList<LBGraphicPtr>{text, shape, barcode, polygon}) {
        g->setDocument(&document);
        document.insertGraphic(g, document.numGraphicsOnLayer(1), 1);
    }
    scrollView.show();
    shots::settle(300);

    HUDWindowController::setAnimationsEnabled(false);
    HUDWindowController palette(HUDWindowController::SmartShown);
    struct Shot
    {
        LBGraphicPtr graphic;
        int tag;
        const char* name;
    };
    using H = HUDWindowController;
    const QList<Shot> shots = {
        {text, H::FontTools, "font"},
        {text, H::FontPreviewTools, "font-preview"},
        {text, H::TypographyTools, "typography"},
        {text, H::ArrangeTools, "arrange"},
        {text, H::ContactFieldTools, "contact-fields"},
        {shape, H::ShapeWithTextTools, "text-position"},
        {barcode, H::BarcodeTools, "barcode"},
        {polygon, H::ModifiedShapeTools, "modifier"},
        {polygon, H::ImageMaskTools, "mask-scaling"},
    };
    bool ok = true;
    for (const Shot& shot : shots) {
        canvas->clearSelection();
        canvas->selectGraphic(shot.graphic);
        palette.updateFromGraphicView(canvas);
        shots::settle(600); // past the palette's first collapse
        palette.selectToolsWithTag(shot.tag);
        palette.centerWindowUnderSelectedGraphics();
        shots::settle(300);
        ok = saveAround(palette.window(), folder.filePath(QLatin1String(shot.name) + ".png")) && ok;
    }
    return ok ? 0 : 1;
}
