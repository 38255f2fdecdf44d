// The fill picture composed inside the outline (resolution, tiles, transparency, the
// perspective offset, upright on the page), the colour mask fitted to the outline, and the
// art of an empty photo placeholder.

#include "DrawingTestSupport.h"
#include "GraphicTestSupport.h"
#include "PictureTestSupport.h"

#include "graphics/LBProcessState.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A shape outlined by its bounds, with its internals open to the tests.
class FilledShape : public ProbeGraphic
{
public:
    std::optional<platform::BezierPath> bezierPath() const override
    {
        return platform::BezierPath::withRect(bounds());
    }
};

// A shape at (0, 0) of `size` points showing `pixels` cropped to fill it exactly.
std::shared_ptr<FilledShape> shapeShowing(const QImage& pixels, const QSizeF& size)
{
    auto g = std::make_shared<FilledShape>();
    g->setBoundsNoOtherChanges(QRectF(QPointF(0, 0), size));
    g->setDrawsStroke(false);
    g->setImage(platform::Image::fromBitmap(pixels, size), LBGraphic::FillImageType);
    g->setCropImageBounds(QRectF(QPointF(0, 0), size), QRectF(QPointF(0, 0), size));
    return g;
}

// Green over the top `band` rows, red below.
QImage greenOverRed(const QSize& size, int band)
{
    QImage pixels = filledPixels(size, Qt::red);
    QPainter(&pixels).fillRect(QRect(0, 0, size.width(), band), Qt::green);
    return pixels;
}

// The graphic drawn on a page of `size` points at one pixel a point.
QImage drawn(LBGraphic& g, const QSize& size)
{
    return renderImage([&] { g.drawInView(nullptr, false); }, size);
}

const QPointF kDefault(LBGraphic::DefaultEffectLocationX, 0);

} // namespace

TEST(LBGraphicFillImage, AsCroppedItIsComposedAtThePhotosResolutionOverTheDisplayScale)
{
    struct Case
    {
        const char* name;
        QSize pixels;
        QSizeF shape;
        double displayScale;
        QSizeF composed; // points
        QSize composedPixels;
    };
    const Case cases[] = {
        {"600 dpi on a screen of scale 2", {1200, 600}, {144, 72}, 2, {600, 300}, {1200, 600}},
        {"100.6 dpi counts as 100", {503, 252}, {360, 180}, 1, {500, 250}, {500, 250}},
        {"50 dpi counts as 72", {250, 125}, {360, 180}, 1, {360, 180}, {360, 180}},
        {"50 dpi on a screen of scale 2", {250, 125}, {360, 180}, 2, {180, 90}, {360, 180}},
    };
    for (const Case& c : cases) {
        const DisplayScale scale(c.displayScale);
        auto g = shapeShowing(filledPixels(c.pixels, Qt::darkGreen), c.shape);
        g->setBoundsNoOtherChanges(QRectF(QPointF(7, 9), c.shape));
        const auto composed = g->fillImage();
        ASSERT_TRUE(composed) << c.name;
        EXPECT_NEAR(composed->size().width(), c.composed.width(), 1e-9) << c.name;
        EXPECT_NEAR(composed->size().height(), c.composed.height(), 1e-9) << c.name;
        EXPECT_EQ(composed->bitmap().size(), c.composedPixels) << c.name;
        // Kept, and the bounds as they were.
        EXPECT_EQ(g->fillImage(), composed) << c.name;
        EXPECT_EQ(g->bounds(), QRectF(QPointF(7, 9), c.shape)) << c.name;
        EXPECT_FALSE(g->_skipImageEffects) << c.name;
    }

    // No crop rectangles and no placeholder: nothing to show.
    auto bare = std::make_shared<FilledShape>();
    bare->setImage(platform::Image::fromBitmap(filledPixels(QSize(4, 4), Qt::red), QSizeF(4, 4)),
                   LBGraphic::FillImageType);
    EXPECT_EQ(bare->fillImage(), nullptr);
}

TEST(LBGraphicFillImage, ComposedPhotosAppearUprightOnThePage)
{
    struct Case
    {
        const char* name;
        std::function<void(FilledShape&)> setUp;
        bool greenOnTop;
    };
    const Case cases[] = {
        {"as cropped", [](FilledShape&) {}, true},
        {"as cropped, processed", [](FilledShape& g) { g.setBrightness(-10); }, true},
        {"mirrored with its outline", [](FilledShape& g) { g.setFlippedVertically(true); }, false},
        {"centred", [](FilledShape& g) { g.setFillImageScaling(0); }, true},
        {"centred, picture mirrored",
         [](FilledShape& g) {
             g.setFillImageScaling(0);
             g.setFillImageRotation(0, false, true);
         },
         false},
        {"tiled", [](FilledShape& g) { g.setFillImageScaling(1); }, true},
    };
    for (const Case& c : cases) {
        auto g = shapeShowing(greenOverRed(QSize(40, 40), 20), QSizeF(40, 40));
        c.setUp(*g);
        const QImage page = drawn(*g, QSize(40, 40));
        const QColor top = page.pixelColor(20, 5);
        const QColor bottom = page.pixelColor(20, 35);
        EXPECT_EQ(top.green() > top.red(), c.greenOnTop) << c.name;
        EXPECT_EQ(bottom.red() > bottom.green(), c.greenOnTop) << c.name;
        EXPECT_EQ(top.alpha(), 255) << c.name;
    }
}

TEST(LBGraphicFillImage, TilesStepOnePixelLessThanThePictureFromTheBottomUp)
{
    // 101 × 51 pixels: green over its top 10 rows, a blue last column.
    QImage tile = greenOverRed(QSize(101, 51), 10);
    QPainter(&tile).fillRect(QRect(100, 0, 1, 51), Qt::blue);
    auto g = shapeShowing(tile, QSizeF(101, 51));
    g->setBoundsNoOtherChanges(QRectF(0, 0, 250, 120));
    g->setFillImageScaling(1);
    const QImage page = drawn(*g, QSize(250, 120));

    // Three columns and three rows cover the shape.
    EXPECT_EQ(opaqueBounds(page), QRect(0, 0, 250, 120));
    // Steps of 100: each tile's last column lies under the next one's first.
    for (int x = 0; x < 250; ++x)
        ASSERT_NE(page.pixelColor(x, 100), QColor(Qt::blue)) << x;
    // Rows start at the bottom: the bottom tile spans 69 to 120, upright.
    EXPECT_EQ(page.pixelColor(50, 72), QColor(Qt::green));
    EXPECT_EQ(page.pixelColor(50, 90), QColor(Qt::red));
    EXPECT_EQ(page.pixelColor(50, 22), QColor(Qt::green));

    // A picture one pixel wide still steps by a pixel.
    auto thin = shapeShowing(filledPixels(QSize(1, 1), Qt::red), QSizeF(1, 1));
    thin->setBoundsNoOtherChanges(QRectF(0, 0, 6, 4));
    thin->setFillImageScaling(1);
    EXPECT_EQ(opaqueBounds(drawn(*thin, QSize(6, 4))), QRect(0, 0, 6, 4));
}

TEST(LBGraphicFillImage, ATransparencyOfNothingStillShowsFaintly)
{
    auto g = shapeShowing(filledPixels(QSize(20, 20), Qt::black), QSizeF(20, 20));
    g->setFillImageTransparency(0);
    const QImage page = drawn(*g, QSize(20, 20));
    // 1 % of full opacity, as near as bytes come.
    EXPECT_GE(qAlpha(page.pixel(10, 10)), 1);
    EXPECT_LE(qAlpha(page.pixel(10, 10)), 3);
}

TEST(LBGraphicFillImage, APerspectiveEffectMovesThePictureInEveryMode)
{
    const auto perspective = [](FilledShape& g) {
        g.addEffect(32, 0, 0, 0, 0, 0, 0, QPointF(0.5, 1), QPointF(1, 1), QPointF(0.5, 0.5),
                    QPointF(1, 0.5), QColor(), false);
    };
    // As cropped, on the composed picture, whose locations run down the page.
    auto cropped = shapeShowing(filledPixels(QSize(40, 40), Qt::green), QSizeF(40, 40));
    perspective(*cropped);
    EXPECT_EQ(opaqueBounds(drawn(*cropped, QSize(40, 40))), QRect(20, 20, 20, 20));

    // Centred: the photo shrunk to a quarter, centred, then moved by the offset (20, 20)
    // to the right and up.
    auto centred = shapeShowing(filledPixels(QSize(40, 40), Qt::green), QSizeF(40, 40));
    centred->setFillImageScaling(0);
    perspective(*centred);
    EXPECT_EQ(opaqueBounds(drawn(*centred, QSize(40, 40))), QRect(30, 0, 10, 10));
}

TEST(LBGraphicFillImage, TheColourMaskIsDrawnIntoTheOutlineWithItsOffset)
{
    auto g = std::make_shared<FilledShape>();
    g->setBoundsNoOtherChanges(QRectF(0, 0, 60, 60));
    g->setDrawsStroke(false);
    g->setFillColor(Qt::red);
    g->setColorMaskType(1, 60, 0, 100, 20, 90);
    const auto mask = g->colorMaskImage();
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->size(), QSizeF(60, 60));
    EXPECT_EQ(g->bounds(), QRectF(0, 0, 60, 60));

    const QImage page = renderImage([&] { g->drawInView(nullptr, false); }, QSize(60, 60));
    double rows = 0, weight = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            const QColor c = page.pixelColor(x, y);
            EXPECT_EQ(c.green(), 0);
            rows += y * c.alphaF();
            weight += c.alphaF();
        }
    ASSERT_GT(weight, 0.0);
    // Moved 20 points the way the angle of 90 degrees points: down the page.
    EXPECT_GT(rows / weight, 30.0 + 5.0);

    // With the graphic's alpha at 0 it still shows faintly.
    g->setGraphicAlpha(0);
    const auto faint = g->colorMaskImage();
    int strongest = 0;
    const QImage pixels = faint->bitmap();
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            strongest = std::max(strongest, qAlpha(pixels.pixel(x, y)));
    EXPECT_GT(strongest, 0);
    EXPECT_LE(strongest, 3);
}

TEST(LBGraphicFillImage, PlaceholderArtShowsItsPictureInItsSquare)
{
    for (const char* name :
         {"PlaceholderBackground", "PlaceholderMan", "PlaceholderWoman", "PlaceholderGroup",
          "PlaceholderLandscape", "PlaceholderCamera", "PlaceholderHilite"})
        EXPECT_TRUE(platform::Image::imageNamed(QString::fromLatin1(name))) << name;

    const auto art = [](const QSizeF& size, const QString& type, qint64 index) {
        auto g = std::make_shared<FilledShape>();
        g->setBoundsNoOtherChanges(QRectF(QPointF(3, 4), size));
        g->setPlaceholderColor(QColor(40, 90, 160));
        g->setPlaceholderTypeString(type);
        g->setPlaceholderImageIndex(index);
        const auto image = g->photoPlaceholderImage();
        EXPECT_EQ(image->size(), size);
        return image->bitmap();
    };
    // Where two pictures differ.
    const auto difference = [](const QImage& a, const QImage& b) {
        QRect found;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                if (a.pixel(x, y) != b.pixel(x, y))
                    found |= QRect(x, y, 1, 1);
        return found;
    };

    // Without a type (as for "Photo"): the picture of the index lies in the square, at the
    // bottom of a tall placeholder and in the middle of a wide one.
    const QImage tallNone = art(QSizeF(100, 200), QString(), 5);
    EXPECT_EQ(tallNone, art(QSizeF(100, 200), QStringLiteral("Photo"), 5));
    for (qint64 index : {0, 1, 2, 3, 4}) {
        const QRect tall = difference(art(QSizeF(100, 200), QString(), index), tallNone);
        EXPECT_FALSE(tall.isEmpty()) << index;
        EXPECT_TRUE(QRect(0, 100, 100, 100).contains(tall)) << index;
        const QRect wide = difference(art(QSizeF(200, 100), QString(), index),
                                      art(QSizeF(200, 100), QString(), 5));
        EXPECT_FALSE(wide.isEmpty()) << index;
        EXPECT_TRUE(QRect(50, 0, 100, 100).contains(wide)) << index;
    }

    // Another type: its colour and the highlight, which leaves the lower half alone.
    const QImage logo = art(QSizeF(100, 200), QStringLiteral("Logo"), 0);
    for (int y = 100; y < 200; y += 7)
        EXPECT_EQ(logo.pixelColor(50, y), QColor(40, 90, 160)) << y;
    EXPECT_NE(logo.pixelColor(50, 10), QColor(40, 90, 160));
    EXPECT_FALSE(difference(logo, tallNone).isEmpty());
}

TEST(LBGraphicFillImage, AnEmptyPhotoPlaceholderProcessesItsArt)
{
    auto g = std::make_shared<FilledShape>();
    g->setBoundsNoOtherChanges(QRectF(0, 0, 80, 60));
    g->setIsPlaceholder(true);
    g->setDrawPlaceholderText(true);
    g->setPlaceholderTypeString(QStringLiteral("Photo")); // gives it the stock picture
    ASSERT_TRUE(g->imageOfType(LBGraphic::FillImageType));
    const auto cached = g->transformedImage(false);
    ASSERT_TRUE(g->_placeholderImage);
    EXPECT_EQ(g->_placeholderImage->size(), QSizeF(80, 60));
    // At its own size, unprocessed: the art itself.
    EXPECT_EQ(cached, g->_placeholderImage);

    // Not showing its prompt: the stock picture.
    g->clearCachedImage();
    g->_placeholderImage.reset();
    g->setDrawPlaceholderText(false);
    g->transformedImage(false);
    EXPECT_EQ(g->_placeholderImage, nullptr);
}
