// The extent of a list of graphics and their picture as TIFF data.

#include "DocumentTestSupport.h"

#include "platform/drawing/Image.h"
#include "shapes/LBRectangle.h"
#include "shapes/ShapeClasses.h"

#include <QImage>

namespace {

LBGraphicPtr square(const QRectF& bounds, const QColor& color)
{
    auto g = std::make_shared<LBRectangle>();
    g->setBounds(bounds);
    g->setFillType(1);
    g->setFillColor(color);
    g->setDrawsStroke(false);
    return g;
}

QImage decoded(const QByteArray& tiff)
{
    const platform::ImagePtr image = platform::Image::fromData(tiff);
    return image ? image->bitmap() : QImage();
}

} // namespace

TEST(GraphicsImage, UnionsOfTheGraphicsExtents)
{
    registerShapeClasses();
    const LBGraphicPtr a = square(QRectF(0, 0, 10, 10), Qt::red);
    const LBGraphicPtr b = square(QRectF(20, 30, 10, 10), Qt::red);
    b->setRotation(45.0);
    EXPECT_EQ(LBDocument::boundsForGraphics({}), QRectF());
    EXPECT_EQ(LBDocument::boundsForGraphics({a, b}), a->rotatedBounds().united(b->rotatedBounds()));
    EXPECT_EQ(LBDocument::drawingBoundsForGraphics({a, b}),
              a->drawingBounds().united(b->drawingBounds()));
    EXPECT_EQ(
        LBDocument::shadowBoundsForGraphics({a, b}),
        a->shadowDrawingBoundsWithHandles(true).united(b->shadowDrawingBoundsWithHandles(true)));
}

TEST(GraphicsImage, TIFFOfGraphicsDrawnAloneWithLayerZeroLowest)
{
    registerShapeClasses();
    EXPECT_TRUE(LBDocument::TIFFRepresentationForGraphics(LBDocument::Layer()).isNull());

    const LBGraphicPtr red = square(QRectF(100, 100, 40, 20), Qt::red);
    const QImage alone = decoded(LBDocument::TIFFRepresentationForGraphics(LBDocument::Layer{red}));
    ASSERT_FALSE(alone.isNull());
    const QRectF extent = red->drawingBounds();
    EXPECT_EQ(alone.size(), QSize(int(extent.width()), int(extent.height())));
    EXPECT_EQ(QColor(alone.pixel(alone.width() / 2, alone.height() / 2)), QColor(Qt::red));
    EXPECT_EQ(qAlpha(alone.pixel(0, 0)), 0); // outside the square: nothing

    // Layers: layer 0 under layer 1, each layer from its back.
    const LBGraphicPtr blue = square(QRectF(100, 100, 40, 20), Qt::blue);
    const LBGraphicPtr green = square(QRectF(110, 105, 10, 10), Qt::green);
    const QImage layered = decoded(LBDocument::TIFFRepresentationForGraphics(
        LBDocument::Page{LBDocument::Layer{blue}, LBDocument::Layer{green, red}}));
    ASSERT_FALSE(layered.isNull());
    const QPointF origin = red->drawingBounds().topLeft();
    EXPECT_EQ(QColor(layered.pixel((QPointF(112, 107) - origin).toPoint())), QColor(Qt::green));
    EXPECT_EQ(QColor(layered.pixel((QPointF(130, 110) - origin).toPoint())), QColor(Qt::red));
    // Pages: the first page.
    EXPECT_EQ(LBDocument::TIFFRepresentationForGraphics(
                  LBDocument::Pages{LBDocument::Page{LBDocument::Layer{red}}}),
              LBDocument::TIFFRepresentationForGraphics(LBDocument::Layer{red}));
}
