// Renderings of a graphic at another scale: at the image or print resolution (what is
// scaled, and that the graphic and its undo stack stay as they were), the reflection made
// from it, and drag pictures at a given scale.

#include "DrawingTestSupport.h"
#include "GraphicTestSupport.h"
#include "TextAreaTestSupport.h"

#include "graphics/LBProcessState.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/UserDefaults.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

// What a rendering copy had when it was drawn.
struct Drawn
{
    QRectF bounds;
    double strokeWidth = 0;
    qint64 shadowHeight = 0;
    qint64 shadowRadius = 0;
    double arrow1 = 0;
    double arrow2 = 0;
    double zoom = 0;
};

// A graphic outlined by its bounds, red over its top half and blue below, which notes
// what it had when drawn. Stands in for lines (arrow sizes) and barcodes (special kind).
class RenderedGraphic : public ProbeGraphic
{
public:
    std::optional<platform::BezierPath> bezierPath() const override
    {
        return platform::BezierPath::withRect(bounds());
    }
    void drawInView(CanvasView* view, bool isSelected) override
    {
        qint64 height = 0, radius = 0;
        shadowInfo(&height, &radius, nullptr, nullptr, nullptr);
        log().append({bounds(), strokeLineWidth(), height, radius, _arrow1, _arrow2, zoomFactor()});
        if (QPainter* painter = platform::GraphicsContext::current()->painter()) {
            const QRectF b = bounds();
            painter->fillRect(QRectF(b.x(), b.y(), b.width(), b.height() / 2), Qt::red);
            painter->fillRect(QRectF(b.x(), b.center().y(), b.width(), b.height() / 2), Qt::blue);
        }
        LBGraphic::drawInView(view, isSelected);
    }
    std::shared_ptr<LBGraphic> copy() const override
    {
        auto c = std::static_pointer_cast<RenderedGraphic>(LBGraphic::copy());
        c->_arrow1 = _arrow1;
        c->_arrow2 = _arrow2;
        c->special = special;
        return c;
    }
    double arrow1Size() const override { return _arrow1; }
    double arrow2Size() const override { return _arrow2; }
    void setArrowSizesForRendering(double a1, double a2) override
    {
        _arrow1 = a1;
        _arrow2 = a2;
    }
    qint64 specialImageType() const override { return special; }

    static QList<Drawn>& log()
    {
        static QList<Drawn> drawn;
        return drawn;
    }

    double _arrow1 = 1.0;
    double _arrow2 = 1.0;
    qint64 special = 0;
};

const bool renderedRegistered = platform::ClassRegistry<LBGraphic>::registerClass<RenderedGraphic>(
    QStringLiteral("RenderedGraphic"));

// A text box noting the size and kern of its first character when drawn.
class RenderedTextBox : public ProbeTextArea
{
public:
    void drawInView(CanvasView* view, bool isSelected) override
    {
        if (contents() && contents()->length() > 0) {
            const auto& text = contents()->attributedString();
            sizes().append(
                text.attribute(platform::FontAttributeName, 0).value<QFont>().pointSizeF());
        }
        LBTextArea::drawInView(view, isSelected);
    }
    static QList<double>& sizes()
    {
        static QList<double> drawn;
        return drawn;
    }
};

const bool textRegistered = platform::ClassRegistry<LBGraphic>::registerClass<RenderedTextBox>(
    QStringLiteral("RenderedTextBox"));

namespace {

// The resolutions and the print-job flag for one test, put back afterwards.
class Resolutions
{
public:
    Resolutions(qint64 image, qint64 print, bool printJob = false)
    {
        defaults().setInteger(image, QStringLiteral("Image Quality"));
        defaults().setInteger(print, QStringLiteral("Print Quality"));
        LBProcessState::setPrintJobRunning(printJob);
    }
    ~Resolutions()
    {
        defaults().removeObjectForKey(QStringLiteral("Image Quality"));
        defaults().removeObjectForKey(QStringLiteral("Print Quality"));
        LBProcessState::setPrintJobRunning(false);
    }

private:
    static platform::UserDefaults& defaults()
    {
        return platform::UserDefaults::standardUserDefaults();
    }
};

std::shared_ptr<RenderedGraphic> rendered(const QRectF& bounds)
{
    auto g = std::make_shared<RenderedGraphic>();
    g->setBoundsNoOtherChanges(bounds);
    g->setDrawsStroke(false);
    return g;
}

} // namespace

TEST(LBGraphicRendering, HighResolutionScalesSizeStrokeArrowsAndShadowByTheQuality)
{
    struct Case
    {
        const char* name;
        qint64 imageQuality;
        bool printJob;
        std::function<void(RenderedGraphic&)> setUp;
        QSizeF size;
        double strokeWidth;
        double arrows;
        qint64 shadowHeight;
        qint64 shadowRadius;
    };
    // Without a stroke heads grow as on a line 1 point wide: (1 + 6) q / (q + 6).
    const auto heads = [](double q) { return 7 * q / (q + 6); };
    const double q150 = 150 / 72.0;
    const double q300 = 300 / 72.0;
    const Case cases[] = {
        {"image quality 150",
         150,
         false,
         [](RenderedGraphic&) {},
         {100 * q150, 50 * q150},
         1,
         heads(q150),
         6,
         6},
        {"during a print job, print quality 300",
         150,
         true,
         [](RenderedGraphic&) {},
         {100 * q300, 50 * q300},
         1,
         heads(q300),
         12,
         12},
        {"a barcode at its own size whatever the quality",
         150,
         true,
         [](RenderedGraphic& g) { g.special = LBGraphic::BarcodeSpecialImageType; },
         {100, 50},
         1,
         1,
         3,
         3},
        // (2 + 6) × 2 / (2 × 2 + 6) = 1.6.
        {"a stroke of 2 at q = 2: heads grow by 1.6",
         144,
         false,
         [](RenderedGraphic& g) {
             g.setDrawsStroke(true);
             g.setStrokeLineWidth(2);
             g.setArrowSizesForRendering(1.5, 0.5);
         },
         {200, 100},
         4,
         1.6,
         6,
         6},
        {"a shadow grows in whole points",
         108,
         false,
         [](RenderedGraphic& g) { g.setShadowInfo(1, 5, 3, 45, 0.5, Qt::black); },
         {150, 75},
         1,
         1.4,
         7,
         4},
        {"at another zoom, drawn at 1",
         144,
         false,
         [](RenderedGraphic& g) { g.setZoomFactor(3); },
         {200, 100},
         1,
         heads(2),
         6,
         6},
    };
    for (const Case& c : cases) {
        const Resolutions resolutions(c.imageQuality, 300, c.printJob);
        auto g = rendered(QRectF(30, 40, 100, 50));
        c.setUp(*g);
        const double a1 = g->arrow1Size();
        const double a2 = g->arrow2Size();
        RenderedGraphic::log().clear();
        const auto picture = LBGraphic::hiResImageFromGraphic(*g, true);
        ASSERT_TRUE(picture) << c.name;
        ASSERT_EQ(RenderedGraphic::log().size(), 1) << c.name;
        const Drawn& d = RenderedGraphic::log().first();
        EXPECT_NEAR(d.bounds.width(), c.size.width(), 1e-9) << c.name;
        EXPECT_NEAR(d.bounds.height(), c.size.height(), 1e-9) << c.name;
        EXPECT_NEAR(d.strokeWidth, c.strokeWidth, 1e-9) << c.name;
        EXPECT_NEAR(d.arrow1, a1 * c.arrows, 1e-9) << c.name;
        EXPECT_NEAR(d.arrow2, a2 * c.arrows, 1e-9) << c.name;
        EXPECT_EQ(d.shadowHeight, c.shadowHeight) << c.name;
        EXPECT_EQ(d.shadowRadius, c.shadowRadius) << c.name;
        EXPECT_EQ(d.zoom, 1.0) << c.name;
        // The picture holds what the drawing covers, from (0, 0).
        EXPECT_GE(d.bounds.x(), 0.0) << c.name;
        EXPECT_GE(d.bounds.y(), 0.0) << c.name;
        EXPECT_GE(picture->size().width(), d.bounds.right()) << c.name;
        EXPECT_GE(picture->size().height(), d.bounds.bottom()) << c.name;
    }

    // Without stroke or shadow the picture is the graphic, upright when asked, else stored
    // the platform's way, its first row at the bottom.
    const Resolutions resolutions(150, 300);
    auto g = rendered(QRectF(30, 40, 100, 50));
    const auto upright = LBGraphic::hiResImageFromGraphic(*g, true);
    EXPECT_NEAR(upright->size().width(), 208.33, 0.01);
    EXPECT_NEAR(upright->size().height(), 104.17, 0.01);
    EXPECT_EQ(upright->bitmap().pixelColor(100, 5), QColor(Qt::red));
    EXPECT_EQ(upright->bitmap().pixelColor(100, 100), QColor(Qt::blue));
    const auto stored = LBGraphic::hiResImageFromGraphic(*g, false);
    EXPECT_EQ(stored->bitmap().pixelColor(100, 5), QColor(Qt::blue));
    EXPECT_EQ(stored->bitmap().pixelColor(100, 100), QColor(Qt::red));
}

TEST(LBGraphicRendering, RenderingsLeaveTheGraphicItsTextAndItsUndoStackAsTheyWere)
{
    const Resolutions resolutions(300, 600);
    RecordingDocument doc;
    auto g = rendered(QRectF(30, 40, 100, 50));
    g->setDocument(&doc);
    doc.quietly([&] {
        g->setDrawsStroke(true);
        g->setStrokeLineWidth(3);
        g->setShadowInfo(1, 5, 3, 45, 0.5, Qt::black);
        g->setArrowSizesForRendering(1.25, 2);
        g->setZoomFactor(2);
        g->setReflectionEnabled(true);
    });
    const QVariantMap before = g->propertyListRepresentation();
    const QRectF bounds = g->bounds();
    doc.invalidations = 0;
    NotificationCounter changes(LBGraphicDidChange, g.get());

    EXPECT_TRUE(LBGraphic::hiResImageFromGraphic(*g, true));
    EXPECT_TRUE(g->reflectionWithTransparency(0.5, 0.5, true));
    // Drawing builds and keeps the reflection.
    renderImage([&] { g->drawInView(nullptr, false); });
    EXPECT_TRUE(g->reflectionImage());

    EXPECT_EQ(g->propertyListRepresentation(), before);
    EXPECT_EQ(g->bounds(), bounds);
    EXPECT_EQ(g->zoomFactor(), 2.0);
    EXPECT_EQ(g->arrow1Size(), 1.25);
    EXPECT_FALSE(doc.canUndo());
    EXPECT_EQ(doc.invalidations, 0);
    EXPECT_EQ(changes.count, 0);
    g->setDocument(nullptr);

    // A text box: its text scaled in the rendering only, and back exactly as it was (a
    // kern of 0 stays 0, sizes do not drift).
    auto box = std::make_shared<RenderedTextBox>();
    box->setDocument(&doc);
    doc.quietly([&] {
        box->setBounds(QRectF(0, 0, 200, 40));
        box->setContents(testText(QStringLiteral("Label"), {{platform::KernAttributeName, 0.0}}));
    });
    const platform::AttributedString text = box->contents()->attributedString();
    RenderedTextBox::sizes().clear();
    EXPECT_TRUE(LBGraphic::hiResImageFromGraphic(*box, true));
    ASSERT_EQ(RenderedTextBox::sizes().size(), 1);
    EXPECT_NEAR(RenderedTextBox::sizes().first(), testFont().pointSizeF() * 300 / 72.0, 1e-6);
    EXPECT_EQ(box->contents()->attributedString(), text);
    EXPECT_EQ(box->contents()->attributedString().attribute(platform::KernAttributeName, 0),
              QVariant(0.0));
    EXPECT_FALSE(doc.canUndo());
    box->setDocument(nullptr);
}

TEST(LBGraphicRendering, AReflectionKeepsTheBottomOfTheGraphicFadingAway)
{
    const Resolutions resolutions(72, 300);
    auto g = rendered(QRectF(0, 0, 100, 200));

    // 200 pixels high, a quarter kept: 50 rows, from 0.5 at the bottom row to nothing.
    const auto reflection = g->reflectionWithTransparency(0.5, 0.25, true);
    ASSERT_TRUE(reflection);
    EXPECT_EQ(reflection->size(), QSizeF(100, 50));
    const QImage pixels = reflection->bitmap();
    ASSERT_EQ(pixels.size(), QSize(100, 50));
    EXPECT_NEAR(qAlpha(pixels.pixel(50, 49)), 127, 3);
    EXPECT_LE(qAlpha(pixels.pixel(50, 0)), 3);
    for (int y = 1; y < 50; ++y)
        EXPECT_GE(qAlpha(pixels.pixel(50, y)), qAlpha(pixels.pixel(50, y - 1))) << y;
    // The graphic's bottom (blue) rows, as they are.
    EXPECT_GT(qBlue(pixels.pixel(50, 49)), 100);
    EXPECT_EQ(qRed(pixels.pixel(50, 49)), 0);

    // Not inverted: opaque at the top row.
    const QImage other = g->reflectionWithTransparency(0.5, 0.25, false)->bitmap();
    EXPECT_NEAR(qAlpha(other.pixel(50, 0)), 127, 3);
    EXPECT_LE(qAlpha(other.pixel(50, 49)), 3);

    // Less than a row: none.
    EXPECT_EQ(g->reflectionWithTransparency(0.5, 0.004, true), nullptr);
}

TEST(LBGraphicRendering, TheDrawnReflectionMirrorsTheGraphicBelowIt)
{
    const Resolutions resolutions(144, 300);
    auto g = rendered(QRectF(0, 0, 40, 40));
    g->setReflectionEnabled(true);
    g->setReflectionTransparency(1.0);
    g->setReflectionHeight(1.0);
    const QImage page = renderImage([&] { g->drawInView(nullptr, false); }, QSize(40, 90));
    // At twice the resolution.
    ASSERT_TRUE(g->reflectionImage());
    EXPECT_EQ(g->reflectionImage()->bitmap().size(), QSize(80, 80));

    // Right below the graphic its bottom (blue), strongest; further down its top (red),
    // fading.
    const QColor near = page.pixelColor(20, 41);
    const QColor far = page.pixelColor(20, 74);
    EXPECT_GT(near.blue(), 200);
    EXPECT_LT(near.red(), 30);
    EXPECT_GT(far.red(), far.blue());
    EXPECT_GT(near.alpha(), far.alpha());
    EXPECT_EQ(qAlpha(page.pixel(20, 85)), 0);
}

TEST(LBGraphicRendering, ShrinkingAReflectionErasesItsOldAreaFirst)
{
    // Records the horizontal offset each time the graphic asks to be redrawn.
    class OffsetDocument : public RecordingDocument
    {
    public:
        void invalidateGraphic(LBGraphic* graphic) override
        {
            RecordingDocument::invalidateGraphic(graphic);
            offsets.append(graphic->reflectionHOffset());
        }
        QList<double> offsets;
    } doc;
    auto g = rendered(QRectF(0, 0, 40, 40));
    g->setDocument(&doc);
    doc.quietly([&] { g->setReflectionHOffset(0.2); });
    doc.offsets.clear();
    doc.step([&] { g->setReflectionHOffset(0.1); });
    EXPECT_EQ(doc.offsets, QList<double>({0.2, 0.1}));
    doc.offsets.clear();
    doc.step([&] { g->setReflectionHOffset(0.2); });
    EXPECT_EQ(doc.offsets, QList<double>({0.2}));
    g->setDocument(nullptr);
}

TEST(LBGraphicRendering, ADragPictureChangesTheGraphicItIsMadeFrom)
{
    const Resolutions resolutions(150, 300);
    auto g = rendered(QRectF(30, 40, 100, 50));
    g->setDrawsStroke(true);
    g->setStrokeLineWidth(2);
    g->setShadowInfo(1, 5, 3, 90, 0.5, Qt::black);
    g->setReflectionHOffset(0.1);
    g->setReflectionVOffset(0.1);
    g->setRotation(10);
    g->setFillImageTransparency(0.8);
    const QRectF d = g->shadowDrawingBoundsWithHandles(true);

    LBProcessState::setDraggingOut(true);
    const auto picture = g->copyToImageWithScale(0.5, 0.5, true, true);
    EXPECT_TRUE(LBProcessState::isDraggingOut());
    LBProcessState::setDraggingOut(false);

    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), d.size() * 0.5);
    EXPECT_EQ(g->bounds(),
              QRectF((d.width() - 100) / 2 * 0.5, (d.height() - 50) / 2 * 0.5, 50, 25));
    EXPECT_EQ(g->strokeLineWidth(), 1.0);
    qint64 height = 0, radius = 0;
    g->shadowInfo(&height, &radius, nullptr, nullptr, nullptr);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(radius, 1);
    EXPECT_EQ(g->graphicAlpha(), 0.5);
    EXPECT_EQ(g->fillImageTransparency(), 0.4);
    EXPECT_TRUE(g->flippedVertically());
    EXPECT_EQ(g->rotation(), -10.0);
    // Fractions of the size stay as they were.
    EXPECT_EQ(g->reflectionHOffset(), 0.1);
    EXPECT_EQ(g->reflectionVOffset(), 0.1);
}
