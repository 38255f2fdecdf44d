#include "platform/drawing/GraphicsContext.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

using platform::GraphicsContext;
using platform::OffscreenContext;

TEST(GraphicsContext, ScopesStackAndUnwind)
{
    QImage device(4, 4, QImage::Format_ARGB32_Premultiplied);
    QPainter screenPainter(&device);
    ASSERT_EQ(GraphicsContext::current(), nullptr);

    GraphicsContext screen(&screenPainter, true);
    {
        GraphicsContext::Scope outer(screen);
        EXPECT_EQ(GraphicsContext::current(), &screen);
        EXPECT_TRUE(GraphicsContext::current()->isDrawingToScreen());
        {
            OffscreenContext offscreen(QSize(2, 2));
            EXPECT_EQ(GraphicsContext::current(), &offscreen.context());
            EXPECT_FALSE(GraphicsContext::current()->isDrawingToScreen());
            offscreen.image(); // ending early hands the screen back at once
            EXPECT_EQ(GraphicsContext::current(), &screen);
        }
        EXPECT_EQ(GraphicsContext::current(), &screen);

        // A context destroyed while current never stays reachable.
        {
            auto transient = std::make_unique<GraphicsContext>(&screenPainter);
            GraphicsContext::push(transient.get());
            EXPECT_EQ(GraphicsContext::current(), transient.get());
            transient.reset();
            EXPECT_EQ(GraphicsContext::current(), &screen);
        }
    }
    EXPECT_EQ(GraphicsContext::current(), nullptr);
}

TEST(GraphicsContext, SaveAndRestoreStayBalanced)
{
    QImage device(4, 4, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&device);
    painter.translate(1, 0);
    painter.save(); // the owner's own saved state
    painter.translate(0, 5);
    {
        GraphicsContext context(&painter);
        context.saveGraphicsState();
        painter.scale(3, 3);
        context.saveGraphicsState();
        painter.rotate(30);
        EXPECT_EQ(context.savedStateDepth(), 2);

        context.restoreGraphicsState();
        EXPECT_EQ(painter.transform(), QTransform::fromTranslate(1, 5).scale(3, 3));
        context.restoreGraphicsState();
        EXPECT_EQ(painter.transform(), QTransform::fromTranslate(1, 5));
        // An extra restore must not pop the owner's state.
        context.restoreGraphicsState();
        EXPECT_EQ(painter.transform(), QTransform::fromTranslate(1, 5));

        // States left saved are restored when the context ends.
        context.saveGraphicsState();
        painter.scale(7, 7);
    }
    EXPECT_EQ(painter.transform(), QTransform::fromTranslate(1, 5));
    painter.restore();
    EXPECT_EQ(painter.transform(), QTransform::fromTranslate(1, 0));
}

TEST(GraphicsContext, OffscreenDrawsInPointsAtItsScale)
{
    OffscreenContext offscreen(OffscreenContext::pixelsFor(QSizeF(10, 5), 3.0), 3.0);
    ASSERT_TRUE(offscreen.isActive());
    GraphicsContext::current()->painter()->fillRect(QRectF(0, 0, 2, 1), Qt::red);
    const QImage image = offscreen.image();
    EXPECT_FALSE(offscreen.isActive());

    ASSERT_EQ(image.size(), QSize(30, 15));
    EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(image.pixel(5, 2), qRgb(255, 0, 0));   // inside the 2 × 1 pt rect = 6 × 3 px
    EXPECT_EQ(image.pixel(6, 2), qRgba(0, 0, 0, 0)); // just right of it: still transparent
    EXPECT_EQ(image.pixel(5, 3), qRgba(0, 0, 0, 0));
    EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 216.0, 0.05); // 72 dpi × 3
    EXPECT_EQ(offscreen.image(), image);
}

TEST(GraphicsContext, OffscreenOfNoSizeIsHarmless)
{
    EXPECT_EQ(OffscreenContext::pixelsFor(QSizeF(0, 5), 2.0), QSize());
    EXPECT_EQ(OffscreenContext::pixelsFor(QSizeF(qQNaN(), 5), 2.0), QSize());
    EXPECT_EQ(OffscreenContext::pixelsFor(QSizeF(2.5, 1), 2.0), QSize(5, 2));
    EXPECT_EQ(OffscreenContext::pixelsFor(QSizeF(2.6, 1), 2.0), QSize(6, 2));

    OffscreenContext empty{QSize()};
    EXPECT_FALSE(empty.isActive());
    EXPECT_EQ(GraphicsContext::current(), &empty.context());
    EXPECT_TRUE(empty.image().isNull());
    EXPECT_EQ(GraphicsContext::current(), nullptr);
}

TEST(GraphicsContext, VisibleDeviceRectIsTheDeviceNarrowedByTheClip)
{
    QImage image(100, 80, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    platform::GraphicsContext context(&painter);
    EXPECT_EQ(context.visibleDeviceRect(), QRect(0, 0, 100, 80));
    painter.scale(2, 2);
    painter.setClipRect(QRectF(10, 10, 20, 60));
    EXPECT_EQ(context.visibleDeviceRect(), QRect(20, 20, 40, 60));
    painter.end();

    QPainter inactive;
    EXPECT_TRUE(platform::GraphicsContext(&inactive).visibleDeviceRect().isEmpty());
}

TEST(GraphicsContext, ShadowedDrawingIsOneBracketOfStateShadowAndLayer)
{
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    platform::GraphicsContext context(&painter);
    context.beginShadowedDrawing({QSizeF(0, 4), 2, Qt::black}, QRectF(10, 10, 10, 10));
    EXPECT_EQ(context.savedStateDepth(), 1);
    EXPECT_EQ(context.transparencyLayerDepth(), 1);
    context.painter()->fillRect(QRectF(10, 10, 10, 10), Qt::white);
    context.endShadowedDrawing();
    EXPECT_EQ(context.savedStateDepth(), 0);
    EXPECT_EQ(context.transparencyLayerDepth(), 0);
    EXPECT_FALSE(context.shadow());
    painter.end();
    EXPECT_EQ(image.pixelColor(15, 15), QColor(Qt::white));
    EXPECT_GT(image.pixelColor(15, 22).alpha(), 0); // the shadow below
}
