#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using platform::Image;
using platform::ImagePtr;
using platform::OffscreenContext;

namespace {

// Left half red, right half blue, `width` × `height` pixels at 72 dpi.
ImagePtr halves(int width, int height)
{
    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::blue);
    QPainter(&picture).fillRect(0, 0, width / 2, height, Qt::red);
    return Image::fromBitmap(picture, QSizeF(width, height));
}

} // namespace

TEST(ImageScaling, SizesAndTheUnchangedCases)
{
    struct Case
    {
        const char* name;
        QSizeF size;
        QSizeF target;
        bool proportional;
        bool downscaleOnly;
        QSizeF expected;
        bool same;
    };
    const Case cases[] = {
        {"proportional fit", {100, 50}, {40, 40}, true, false, {40, 20}, false},
        {"stretched", {100, 50}, {40, 40}, false, false, {40, 40}, false},
        {"downscale only, already small", {100, 50}, {200, 200}, true, true, {100, 50}, true},
        {"equal size", {30, 30}, {30, 30}, false, false, {30, 30}, true},
        {"upscale by 10/3", {3, 3}, {10, 10}, true, false, {10, 10}, false},
        {"rounded down side", {7, 3}, {5, 5}, true, false, {5, 2}, false},
        {"downscale only stretches once a side is too big",
         {100, 50},
         {80, 200},
         false,
         true,
         {80, 200},
         false},
        {"zero width", {0, 50}, {40, 40}, true, false, {0, 50}, true},
        {"zero height, stretched", {100, 0}, {40, 40}, false, false, {100, 0}, true},
        {"target of no size", {100, 50}, {0, 0}, true, false, {0, 0}, false},
    };
    for (const Case& c : cases) {
        const QSize pixels(qMax(1, int(c.size.width())), qMax(1, int(c.size.height())));
        QImage picture(pixels, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::green);
        const ImagePtr image = Image::fromBitmap(picture, c.size);
        const ImagePtr scaled = image->imageScaledToSize(c.target, c.proportional, c.downscaleOnly);
        ASSERT_TRUE(scaled) << c.name;
        EXPECT_EQ(scaled == image, c.same) << c.name;
        EXPECT_EQ(scaled->size(), c.expected) << c.name;
        if (!c.same && !c.expected.isEmpty()) {
            EXPECT_EQ(QSizeF(scaled->pixelsWide(), scaled->pixelsHigh()), c.expected) << c.name;
            EXPECT_EQ(scaled->bitmap().pixel(scaled->pixelsWide() - 1, scaled->pixelsHigh() - 1),
                      qRgb(0, 255, 0))
                << c.name << ": the picture fills the new size";
        }
    }
}

TEST(ImageScaling, ScaledPictureKeepsItsLayout)
{
    const ImagePtr image = halves(100, 50);
    const ImagePtr fitted = image->imageScaledToSize(QSizeF(40, 40), true);
    ASSERT_TRUE(fitted);
    EXPECT_EQ(fitted->bitmap().pixel(5, 10), qRgb(255, 0, 0));
    EXPECT_EQ(fitted->bitmap().pixel(35, 10), qRgb(0, 0, 255));
    EXPECT_FALSE(fitted->dataRetained());
    EXPECT_TRUE(fitted->data().isEmpty());

    // Stretching leaves the halves where they were, top to bottom.
    const ImagePtr stretched = image->imageScaledToSize(QSizeF(40, 40));
    ASSERT_TRUE(stretched);
    EXPECT_EQ(stretched->bitmap().pixel(5, 38), qRgb(255, 0, 0));
    EXPECT_EQ(stretched->bitmap().pixel(35, 1), qRgb(0, 0, 255));
}

TEST(ImageScaling, FromData)
{
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        halves(100, 50)->bitmap().save(&buffer, "PNG");
    }
    const ImagePtr scaled = Image::imageWithData(png, QSizeF(40, 40), true, true);
    ASSERT_TRUE(scaled);
    EXPECT_EQ(scaled->size(), QSizeF(40, 20));

    QString error;
    EXPECT_EQ(Image::imageWithData(png.left(40), QSizeF(40, 40), true, true, &error), nullptr);
    EXPECT_FALSE(error.isEmpty());
}

TEST(ImageScaling, WholeNumbers)
{
    struct Case
    {
        QRectF rect;
        QRectF rounded;
    };
    const Case cases[] = {
        {{0.5, 1.49, 10.5, -0.5}, {1, 1, 11, 0}},
        {{2.5, -2.5, -2.51, 0.49999}, {3, -2, -3, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Image::roundRectToIntegerBoundaries(c.rect), c.rounded) << c.rect.x();

    const ImagePtr integral = Image::withIntegralSize(QSizeF(2.5, 3.49));
    EXPECT_EQ(integral->size(), QSizeF(3, 3));
    EXPECT_EQ(integral->representationKind(), Image::RepresentationKind::None);

    // Drawn into (0.6, 0.6, 2.4, 2.4) rounded to (1, 1, 2, 2): pixels 1 and 2 are covered.
    QImage white(1, 1, QImage::Format_ARGB32_Premultiplied);
    white.fill(Qt::white);
    OffscreenContext offscreen(QSize(4, 4));
    Image::fromBitmap(white, QSizeF(1, 1))
        ->drawInIntegralRect(QRectF(0.6, 0.6, 2.4, 2.4), QRectF(),
                             QPainter::CompositionMode_SourceOver, 1.0);
    const QImage result = offscreen.image();
    EXPECT_EQ(result.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(result.pixel(2, 2), qRgb(255, 255, 255));
    EXPECT_EQ(qAlpha(result.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(result.pixel(3, 3)), 0);
}

TEST(ImageScaling, BitmapRepresentations)
{
    const ImagePtr bitmapImage = halves(8, 4);
    EXPECT_EQ(bitmapImage->bitmapImageRep(), bitmapImage->bitmap());
    EXPECT_EQ(bitmapImage->forcedBitmapImageRep(), bitmapImage->bitmap());

    // No representation: no bitmap, and the forced one is an empty capture of the size.
    const ImagePtr empty = Image::withSize(QSizeF(10.4, 3));
    EXPECT_TRUE(empty->bitmapImageRep().isNull());
    const QImage capture = empty->forcedBitmapImageRep();
    ASSERT_EQ(capture.size(), QSize(10, 3));
    EXPECT_EQ(qAlpha(capture.pixel(4, 1)), 0);
    EXPECT_EQ(empty->representationKind(), Image::RepresentationKind::None); // not kept
}
