#include "platform/imaging/FilterImage.h"

#include <QColor>

#include <gtest/gtest.h>

using platform::FilterImage;
using platform::YUpFrame;

TEST(FilterImageTest, AnyBitmapBecomesPremultipliedPixelsAtItsOrigin)
{
    QImage grey(3, 2, QImage::Format_Grayscale8);
    grey.fill(100);
    QImage wide(3, 2, QImage::Format_RGBA64);
    wide.fill(QColor(255, 0, 0, 128));
    QImage indexed(3, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(0, 0, 255, 255), qRgba(0, 255, 0, 51)});
    indexed.fill(1);
    const struct
    {
        QImage bitmap;
        QRgb expected;
    } cases[] = {
        {grey, qRgba(100, 100, 100, 255)},
        {wide, qRgba(128, 0, 0, 128)},
        {indexed, qRgba(0, 51, 0, 51)},
    };
    for (const auto& c : cases) {
        const FilterImage image(c.bitmap, QPoint(-4, 7));
        EXPECT_EQ(image.extent(), QRect(-4, 7, 3, 2));
        EXPECT_EQ(image.pixels().format(), QImage::Format_ARGB32_Premultiplied);
        EXPECT_EQ(image.pixels().pixel(2, 1), c.expected) << c.bitmap.format();
    }
    EXPECT_TRUE(FilterImage(QImage()).isNull());
    EXPECT_TRUE(FilterImage(QImage(0, 5, QImage::Format_ARGB32)).isNull());
}

TEST(FilterImageTest, RenderingGivesTransparencyAroundTheExtent)
{
    QImage red(2, 2, QImage::Format_ARGB32_Premultiplied);
    red.fill(qRgba(255, 0, 0, 255));
    const FilterImage image(red, QPoint(5, 5));
    const QImage around = image.render(QRect(4, 4, 4, 3));
    ASSERT_EQ(around.size(), QSize(4, 3));
    EXPECT_EQ(around.pixel(0, 0), 0u);
    EXPECT_EQ(around.pixel(1, 1), qRgba(255, 0, 0, 255));
    EXPECT_EQ(around.pixel(3, 2), 0u);
    EXPECT_TRUE(image.render(image.extent()) == red);
    EXPECT_TRUE(image.render(QRect()).isNull());

    const FilterImage moved = image.translated(QPoint(-5, 2));
    EXPECT_EQ(moved.extent(), QRect(0, 7, 2, 2));
    EXPECT_EQ(moved.render(QRect(0, 7, 1, 1)).pixel(0, 0), qRgba(255, 0, 0, 255));

    QRect united;
    EXPECT_TRUE(FilterImage::unitedExtent(image, moved, &united));
    EXPECT_EQ(united, QRect(QPoint(0, 5), QPoint(6, 8)));
    const FilterImage everywhere = FilterImage::infinite([](const QRect& rect) {
        QImage pixels(rect.size(), QImage::Format_ARGB32_Premultiplied);
        pixels.fill(qRgba(0, 0, 0, 255));
        return pixels;
    });
    EXPECT_FALSE(FilterImage::unitedExtent(image, everywhere, &united));
    EXPECT_TRUE(everywhere.translated(QPoint(3, 3)).isInfinite());
}

TEST(FilterImageTest, YUpFiguresBecomeYDownPixels)
{
    const YUpFrame frame(100);
    EXPECT_EQ(frame.point(QPointF(10, 30)), QPointF(10, 70));
    // A rectangle from its lower-left corner: Y0 = H - Y - H'.
    EXPECT_EQ(frame.rect(QRectF(10, 20, 30, 40)), QRectF(10, 40, 30, 40));
    // A quarter turn counter-clockwise (y up) about (50, 50) turns (60, 50) to (50, 60)
    // y-up, which is (50, 40) y-down.
    QTransform turn;
    turn.translate(50, 50).rotate(90).translate(-50, -50);
    const QPointF turned = frame.transform(turn).map(QPointF(60, 50));
    EXPECT_NEAR(turned.x(), 50, 1e-9);
    EXPECT_NEAR(turned.y(), 40, 1e-9);
    EXPECT_EQ(YUpFrame::angle(0.5), -0.5);
}
