#include "platform/drawing/GraphicsContext.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

using platform::GraphicsContext;
using platform::OffscreenContext;

namespace {

platform::Shadow blackShadow(QSizeF offset, qreal blur)
{
    return {offset, blur, QColor(0, 0, 0)};
}

// Draws a red square in a transparent image, inside a layer casting `shadow`.
QImage shadowedSquare(const platform::Shadow& shadow, const QRectF& square,
                      QSize size = QSize(100, 100))
{
    OffscreenContext offscreen(size);
    GraphicsContext& context = offscreen.context();
    context.saveGraphicsState();
    context.setShadow(shadow);
    context.beginTransparencyLayer(square);
    context.painter()->fillRect(square, Qt::red);
    context.endTransparencyLayer();
    context.restoreGraphicsState();
    return offscreen.image();
}

int alphaAt(const QImage& image, int x, int y)
{
    return qAlpha(image.pixel(x, y));
}

} // namespace

TEST(GraphicsContextShadow, FallsByTheOffsetUnderTheDrawing)
{
    // Offset (10, 10): 10 right and 10 down.
    const QImage image = shadowedSquare(blackShadow({10, 10}, 0), QRectF(20, 20, 30, 30));
    EXPECT_EQ(image.pixel(35, 35), qRgb(255, 0, 0));   // the square lies on top
    EXPECT_EQ(image.pixel(55, 55), qRgb(0, 0, 0));     // the shadow, moved right and down
    EXPECT_EQ(image.pixel(25, 55), qRgba(0, 0, 0, 0)); // left of the moved shadow
    EXPECT_EQ(image.pixel(55, 25), qRgba(0, 0, 0, 0)); // above it
    EXPECT_EQ(image.pixel(61, 45), qRgba(0, 0, 0, 0)); // beyond its right edge (30 + 30)
}

TEST(GraphicsContextShadow, BlurSoftensEvenlyAroundTheEdge)
{
    // Blur radius 8: a Gaussian of deviation 4 across the shadow's edges.
    const QImage image = shadowedSquare(blackShadow({0, 40}, 8), QRectF(30, 10, 40, 30));
    // Shadow: x 30..70, y 50..80. Along its horizontal middle (y = 65), the coverage falls
    // from full inside to nothing outside, half at the edge, the same on both sides.
    EXPECT_GT(alphaAt(image, 50, 65), 250);
    EXPECT_NEAR(alphaAt(image, 30, 65), 128, 20);
    EXPECT_NEAR(alphaAt(image, 69, 65), 128, 20);
    EXPECT_GT(alphaAt(image, 34, 65), alphaAt(image, 30, 65));
    EXPECT_GT(alphaAt(image, 30, 65), alphaAt(image, 26, 65));
    EXPECT_GT(alphaAt(image, 26, 65), 0);
    EXPECT_NEAR(alphaAt(image, 26, 65), alphaAt(image, 73, 65), 12);
    EXPECT_EQ(alphaAt(image, 16, 65), 0); // beyond the blur's reach
    // The bottom edge softens the same way; the shadow's colour stays black.
    EXPECT_NEAR(alphaAt(image, 50, 80), 128, 20);
    EXPECT_EQ(qRed(image.pixel(50, 65)), 0);
}

TEST(GraphicsContextShadow, WideBlursSpreadThinAndEven)
{
    // A blur wider than the square (deviation 150 pixels) spreads it thin, smoothly and
    // centred on the square, with no sums wrapping around; only the visible part is made.
    const QImage image =
        shadowedSquare(blackShadow({0, 0}, 300), QRectF(100, 100, 200, 200), QSize(400, 400));
    const int middle = alphaAt(image, 50, 200); // left of the square, on its middle line
    EXPECT_GT(middle, 30);
    EXPECT_LT(middle, 120);
    EXPECT_NEAR(alphaAt(image, 349, 200), middle, 2);
    EXPECT_NEAR(alphaAt(image, 200, 50), middle, 2);
    EXPECT_GT(alphaAt(image, 50, 200), alphaAt(image, 5, 200));
    EXPECT_GT(alphaAt(image, 5, 5), 0);
}

TEST(GraphicsContextShadow, ShadowColourAlphaScalesTheShadow)
{
    platform::Shadow shadow = blackShadow({0, 30}, 0);
    shadow.color = QColor(0, 0, 255, 191);
    const QImage image = shadowedSquare(shadow, QRectF(10, 10, 20, 20));
    const QColor cast = image.pixelColor(20, 45); // the shadow lies at y 40..60
    EXPECT_EQ(cast.alpha(), 191);
    EXPECT_NEAR(cast.blue(), 255, 1);
    EXPECT_EQ(cast.red(), 0);
    shadow.color = QColor(0, 0, 255, 0); // a transparent shadow casts nothing
    EXPECT_EQ(shadowedSquare(shadow, QRectF(10, 10, 20, 20)).pixel(20, 45), qRgba(0, 0, 0, 0));
}

TEST(GraphicsContextShadow, MeasuredInBaseCoordinatesNotTheDrawingsScale)
{
    // Zooming after the context was made scales the drawing, not the offset.
    OffscreenContext offscreen(QSize(100, 100));
    GraphicsContext& context = offscreen.context();
    context.painter()->scale(2, 2);
    context.setShadow(blackShadow({10, 0}, 0));
    context.beginTransparencyLayer(QRectF(5, 5, 10, 10));
    context.painter()->fillRect(QRectF(5, 5, 10, 10), Qt::red); // device 10..30
    context.endTransparencyLayer();
    const QImage zoomed = offscreen.image();
    EXPECT_EQ(zoomed.pixel(35, 20), qRgb(0, 0, 0)); // shadow 20..40
    EXPECT_EQ(zoomed.pixel(41, 20), qRgba(0, 0, 0, 0));

    // A device of two pixels per point: base coordinates are points, so 20 pixels.
    QImage retina(100, 100, QImage::Format_ARGB32_Premultiplied);
    retina.setDevicePixelRatio(2.0);
    retina.fill(Qt::transparent);
    {
        QPainter painter(&retina);
        GraphicsContext device(&painter);
        device.setShadow(blackShadow({10, 0}, 0));
        device.beginTransparencyLayer(QRectF(5, 5, 10, 10));
        device.painter()->fillRect(QRectF(5, 5, 10, 10), Qt::red); // pixels 10..30
        device.endTransparencyLayer();
    }
    EXPECT_EQ(retina.pixel(45, 20), qRgb(0, 0, 0)); // shadow pixels 30..50
    EXPECT_EQ(retina.pixel(25, 20), qRgb(255, 0, 0));
    EXPECT_EQ(retina.pixel(51, 20), qRgba(0, 0, 0, 0));
}

TEST(GraphicsContextShadow, DrawingOutsideTheClipStillCastsIntoIt)
{
    OffscreenContext offscreen(QSize(100, 100));
    GraphicsContext& context = offscreen.context();
    context.painter()->setClipRect(QRectF(50, 0, 50, 100));
    context.setShadow(blackShadow({30, 0}, 0));
    context.beginTransparencyLayer(QRectF(10, 10, 30, 30));
    context.painter()->fillRect(QRectF(10, 10, 30, 30), Qt::red);
    context.endTransparencyLayer();
    const QImage image = offscreen.image();
    EXPECT_EQ(image.pixel(20, 20), qRgba(0, 0, 0, 0)); // the square itself is clipped
    EXPECT_EQ(image.pixel(60, 20), qRgb(0, 0, 0));     // its shadow (40..70) shows
    EXPECT_EQ(image.pixel(45, 20), qRgba(0, 0, 0, 0)); // but not left of the clip
}

TEST(GraphicsContextShadow, ShadowIsGraphicsStateAndLayersAreSmall)
{
    OffscreenContext offscreen(QSize(400, 300));
    GraphicsContext& context = offscreen.context();
    QPainter* own = context.painter();

    context.saveGraphicsState();
    context.setShadow(blackShadow({3, 3}, 4));
    ASSERT_TRUE(context.shadow().has_value());
    context.saveGraphicsState();
    context.clearShadow();
    context.restoreGraphicsState();
    EXPECT_TRUE(context.shadow().has_value());

    // The layer is only as large as the bounds plus the blur, and its shadow is cleared.
    context.beginTransparencyLayer(QRectF(100, 100, 20, 10));
    EXPECT_EQ(context.transparencyLayerDepth(), 1);
    ASSERT_NE(context.painter(), own);
    const QPaintDevice* layer = context.painter()->device();
    EXPECT_LT(layer->width(), 40);
    EXPECT_LT(layer->height(), 30);
    EXPECT_FALSE(context.shadow().has_value());
    // A save left open inside the layer ends with it; a restore never reaches through.
    context.saveGraphicsState();
    context.endTransparencyLayer();
    EXPECT_EQ(context.painter(), own);
    EXPECT_TRUE(context.shadow().has_value());
    EXPECT_EQ(context.savedStateDepth(), 1);

    context.restoreGraphicsState();
    EXPECT_FALSE(context.shadow().has_value());

    // Without a shadow a layer is no layer: drawing goes straight through.
    context.beginTransparencyLayer(QRectF(0, 0, 10, 10));
    EXPECT_EQ(context.painter(), own);
    context.endTransparencyLayer();
    context.endTransparencyLayer(); // an extra end is harmless
    EXPECT_EQ(context.transparencyLayerDepth(), 0);
}

TEST(GraphicsContextShadow, LayerOutOfSightDrawsNothingAndOpenLayersEndWithTheContext)
{
    OffscreenContext offscreen(QSize(50, 50));
    GraphicsContext& context = offscreen.context();
    context.setShadow(blackShadow({0, 0}, 2));
    context.beginTransparencyLayer(QRectF(500, 500, 10, 10));
    context.painter()->fillRect(QRectF(500, 500, 10, 10), Qt::red);
    context.endTransparencyLayer();

    // Left open: image() ends the layer, compositing it.
    context.setShadow(blackShadow({0, 10}, 0));
    context.beginTransparencyLayer(QRectF(10, 10, 10, 10));
    context.painter()->fillRect(QRectF(10, 10, 10, 10), Qt::red);
    const QImage image = offscreen.image();
    EXPECT_EQ(image.pixel(15, 15), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(15, 25), qRgb(0, 0, 0));
}

TEST(GraphicsContextShadow, AWidgetAwayFromItsWindowsCornerDrawsItsLayers)
{
    // A child widget paints into its window's picture at its place there: a layer beyond
    // the widget's own width and height from the window's corner is still in sight.
    class Child : public QWidget
    {
    public:
        using QWidget::QWidget;

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            GraphicsContext context(&painter, true);
            context.setShadow(blackShadow({0, 5}, 0));
            context.beginTransparencyLayer(QRectF(10, 10, 20, 20));
            context.painter()->fillRect(QRectF(10, 10, 20, 20), Qt::red);
            context.endTransparencyLayer();
        }
    };
    QWidget window;
    window.resize(300, 200);
    auto* child = new Child(&window);
    child->setGeometry(200, 120, 50, 50);
    QImage image(300, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    window.render(&image);
    EXPECT_EQ(image.pixel(220, 135), qRgb(255, 0, 0)); // the square
    EXPECT_EQ(image.pixel(220, 152), qRgb(0, 0, 0));   // its shadow below it
}
