// Masks: object and external masks multiplied into the fill image, the mask file beside an
// image file, the mask pictures of the mask effects, and the colour mask.

#include "FilterRecorder.h"
#include "GraphicTestSupport.h"

#include "platform/core/ClassRegistry.h"
#include "platform/core/PropertyList.h"
#include "platform/drawing/BezierPath.h"
#include "platform/imaging/FilterImage.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRgb>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// A graphic whose picture is not shown through an outline, as image graphics do.
class WholePictureGraphic : public ProbeGraphic
{
public:
    bool isImageCrop() const override { return false; }
};

// A graphic outlined by its bounds, as a rectangle shape is.
class RectangleGraphic : public ProbeGraphic
{
public:
    std::optional<platform::BezierPath> bezierPath() const override
    {
        return platform::BezierPath::withRect(bounds());
    }
};

namespace {

const bool wholePictureRegistered =
    platform::ClassRegistry<LBGraphic>::registerClass<WholePictureGraphic>(
        QStringLiteral("WholePictureGraphic"));

using ImagePtr = LBGraphic::ImagePtr;

// A picture whose size in points is its pixels.
ImagePtr picture(const QImage& pixels)
{
    return platform::Image::fromBitmap(pixels, QSizeF(pixels.size()));
}

QImage greyMask(const std::vector<int>& values, int width, int height)
{
    QImage mask(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mask.scanLine(y)[x] = uchar(values[std::size_t(y * width + x)]);
    return mask;
}

QImage filled(int width, int height, QRgb colour, QImage::Format format = QImage::Format_ARGB32)
{
    QImage image(width, height, format);
    image.fill(QColor::fromRgba(colour));
    return image;
}

// The rule a mask applies to one pixel (colour unpremultiplied), written out.
QRgb masked(QRgb pixel, int intensity)
{
    const int a = qAlpha(pixel) * intensity / 255;
    return qRgba(qRed(pixel) * a / 255, qGreen(pixel) * a / 255, qBlue(pixel) * a / 255, a);
}

QImage fillPixels(const LBGraphic& graphic)
{
    const ImagePtr image = graphic.imageOfType(LBGraphic::FillImageType);
    return image ? image->bitmap().convertToFormat(QImage::Format_ARGB32_Premultiplied) : QImage();
}

bool isWhite(QRgb p)
{
    return qRed(p) > 200;
}
bool isBlack(QRgb p)
{
    return qRed(p) < 55 && qAlpha(p) > 200;
}

} // namespace

// --- Object and external masks ---

TEST(LBGraphicMasks, EachPixelTakesTheMasksIntensityWhateverTheFormats)
{
    // Four pixels, unpremultiplied; the mask's intensities over them.
    const QRgb colours[4] = {qRgba(200, 100, 50, 255), qRgba(10, 20, 30, 200),
                             qRgba(255, 255, 255, 128), qRgba(0, 128, 255, 0)};
    const std::vector<int> intensities = {255, 128, 64, 200};
    const QImage mask = greyMask(intensities, 2, 2);
    auto image = [&](QImage::Format format) {
        QImage pixels(2, 2, QImage::Format_ARGB32);
        for (int i = 0; i < 4; ++i)
            pixels.setPixel(i % 2, i / 2, colours[i]);
        return pixels.convertToFormat(format);
    };
    struct Case
    {
        const char* name;
        QImage picture;
        QImage mask;
        // The expected pixels, from the picture as read (colour unpremultiplied).
        std::function<QRgb(int i, QRgb read)> expected;
    };
    const auto rule = [&](int i, QRgb read) { return masked(read, intensities[std::size_t(i)]); };
    const Case cases[] = {
        // Three samples: the intensity becomes the alpha. A row of 2 pixels of 3 bytes is
        // padded to 8 bytes.
        {"3 samples, padded rows", image(QImage::Format_RGB888), mask,
         [&](int i, QRgb read) {
             const int v = intensities[std::size_t(i)];
             return qRgba(qRed(read) * v / 255, qGreen(read) * v / 255, qBlue(read) * v / 255, v);
         }},
        {"3 samples, 32-bit", image(QImage::Format_RGB32), mask, rule},
        // Four samples: the alpha is multiplied by the intensity; written out for one.
        {"4 samples", image(QImage::Format_ARGB32), mask,
         [&](int i, QRgb read) {
             if (i == 1)
                 return qRgba(10 * 100 / 255, 20 * 100 / 255, 30 * 100 / 255, 100);
             return rule(i, read);
         }},
        {"4 samples, premultiplied", image(QImage::Format_ARGB32_Premultiplied), mask, rule},
        {"grey photo", image(QImage::Format_Grayscale8), mask, rule},
        {"16-bit photo", image(QImage::Format_RGBA64), mask, rule},
        {"32-bit grey mask", image(QImage::Format_ARGB32),
         mask.convertToFormat(QImage::Format_RGB32), rule},
        {"16-bit grey mask", image(QImage::Format_ARGB32),
         mask.convertToFormat(QImage::Format_Grayscale16), rule},
        // A mask of another pixel size is stretched over the picture first.
        {"mask of another size", image(QImage::Format_ARGB32),
         greyMask(std::vector<int>(25, 128), 5, 5),
         [&](int, QRgb read) { return masked(read, 128); }},
    };
    for (const Case& c : cases) {
        auto g = std::make_shared<WholePictureGraphic>();
        const ImagePtr original = picture(c.picture);
        g->setImage(original, LBGraphic::FillImageType);
        g->setImage(picture(c.mask), LBGraphic::ObjectMaskType);
        const QImage result = fillPixels(*g);
        ASSERT_EQ(result.size(), QSize(2, 2)) << c.name;
        EXPECT_EQ(g->imageOfType(LBGraphic::FillImageType)->size(), original->size()) << c.name;
        const QImage read = c.picture.convertToFormat(QImage::Format_ARGB32);
        for (int i = 0; i < 4; ++i) {
            const QRgb expected = c.expected(i, read.pixel(i % 2, i / 2));
            EXPECT_EQ(result.pixel(i % 2, i / 2), expected)
                << c.name << ", pixel " << i << ": " << std::hex << result.pixel(i % 2, i / 2)
                << " instead of " << expected;
        }
    }
}

TEST(LBGraphicMasks, AnExternalMaskOnACropCoversOnlyThePartTheOutlineShows)
{
    // 8 × 8 pixels drawn 4 × 4 points; the outline shows the points (2, 1)-(4, 3).
    auto g = std::make_shared<ProbeGraphic>();
    RecordingDocument doc;
    g->setDocument(&doc);
    const ImagePtr original =
        platform::Image::fromBitmap(filled(8, 8, qRgba(90, 60, 30, 255)), QSizeF(4, 4));
    const ImagePtr white = picture(filled(3, 3, qRgba(255, 255, 255, 255)));
    doc.quietly([&] {
        g->setImage(original, LBGraphic::FillImageType);
        g->setCropImageBounds(QRectF(0, 0, 4, 4), QRectF(2, 1, 2, 2));
    });
    ASSERT_TRUE(g->isImageCrop());
    ASSERT_TRUE(g->supportsExternalMask());
    doc.step([&] { g->setImage(white, LBGraphic::ExternalMaskType); });

    const QImage result = fillPixels(*g);
    ASSERT_EQ(result.size(), QSize(8, 8));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool shown = x >= 4 && y >= 2 && y < 6;
            EXPECT_EQ(qAlpha(result.pixel(x, y)), shown ? 255 : 0) << x << ", " << y;
        }
    }
    // The picture from before the mask is kept, and comes back with the mask's removal.
    EXPECT_EQ(g->_origImage, original);
    doc.undo();
    EXPECT_EQ(g->imageOfType(LBGraphic::FillImageType), original);
    doc.redo();
    EXPECT_NE(g->imageOfType(LBGraphic::FillImageType), original);
    doc.quietly([&] { g->setImage(nullptr, LBGraphic::ExternalMaskType); });
    EXPECT_EQ(g->imageOfType(LBGraphic::FillImageType), original);

    // An object mask covers the whole picture, crop or not.
    doc.quietly([&] { g->setImage(white, LBGraphic::ObjectMaskType); });
    EXPECT_EQ(qAlpha(fillPixels(*g).pixel(0, 0)), 255);
}

TEST(LBGraphicMasks, ReplacingAnExternalMaskMasksTheOriginalAndCopiesMaskOnce)
{
    // A soft mask: masking twice would show a fainter picture.
    const ImagePtr original = picture(filled(2, 2, qRgba(100, 200, 40, 255)));
    const ImagePtr half = picture(greyMask({128, 128, 128, 128}, 2, 2));
    const ImagePtr quarter = picture(greyMask({64, 64, 64, 64}, 2, 2));
    ASSERT_TRUE(wholePictureRegistered);
    auto g = std::make_shared<WholePictureGraphic>();
    g->setImage(original, LBGraphic::FillImageType);
    g->setImage(half, LBGraphic::ExternalMaskType);
    EXPECT_EQ(qAlpha(fillPixels(*g).pixel(0, 0)), 128);
    g->setImage(quarter, LBGraphic::ExternalMaskType);
    EXPECT_EQ(qAlpha(fillPixels(*g).pixel(0, 0)), 64);
    EXPECT_EQ(g->_origImage, original);

    // A copy masks the same original with its own copy of the mask, once.
    auto copy = std::static_pointer_cast<ProbeGraphic>(g->copy());
    EXPECT_EQ(fillPixels(*copy), fillPixels(*g));
    copy->setImage(nullptr, LBGraphic::ExternalMaskType);
    EXPECT_EQ(copy->imageOfType(LBGraphic::FillImageType), original);
}

TEST(LBGraphicMasks, AMaskedGraphicComesBackAsSavedAndWritesTheSameBytes)
{
    // A crop showing half of the picture, under a soft external mask and an object mask.
    auto g = std::make_shared<LBGraphic>();
    g->setBounds(QRectF(10, 10, 40, 40));
    QImage pixels = filled(4, 4, qRgba(200, 100, 50, 255));
    pixels.setPixel(0, 0, qRgba(20, 40, 60, 255));
    const ImagePtr original = picture(pixels);
    g->setImage(original, LBGraphic::FillImageType);
    g->setCropImageBounds(QRectF(0, 0, 4, 4), QRectF(2, 0, 2, 4));
    g->setImage(picture(greyMask({255, 255, 0, 0}, 2, 2)), LBGraphic::ObjectMaskType);
    g->setImage(picture(greyMask({128, 128, 128, 128}, 2, 2)), LBGraphic::ExternalMaskType);
    const QImage shown = fillPixels(*g);
    ASSERT_EQ(qAlpha(shown.pixel(3, 0)), 128);

    // Through the stored text form, as documents and the pasteboard keep graphics.
    const QVariantMap saved = g->propertyListRepresentation();
    const std::optional<QVariant> read =
        platform::PropertyList::fromText(platform::PropertyList::toText(saved));
    ASSERT_TRUE(read);
    const auto back = LBGraphic::graphicWithPropertyListRepresentation(read->toMap());
    ASSERT_TRUE(back);
    EXPECT_EQ(fillPixels(*back), shown);
    // The original is kept: removing the mask shows the picture as it was before it.
    const QVariantMap again = back->propertyListRepresentation();
    for (const char* key : {"FillImage", "ObjectMask", "ImageMask"})
        EXPECT_EQ(again.value(key), saved.value(key)) << key;
    back->setImage(nullptr, LBGraphic::ExternalMaskType);
    g->setImage(nullptr, LBGraphic::ExternalMaskType);
    EXPECT_EQ(fillPixels(*back), fillPixels(*g));
    EXPECT_EQ(qAlpha(fillPixels(*back).pixel(3, 0)), 255);
}

TEST(LBGraphicMasks, TheMaskFileIsLookedForInAMasksFolderBesideTheImagesFolder)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir dir(root.path());
    ASSERT_TRUE(dir.mkpath("Photos") && dir.mkpath("Masks"));
    const QImage photo = filled(2, 2, qRgba(10, 20, 30, 255));
    for (const char* name : {"Photos/rose.jpg", "Photos/my.tulip.jpg", "Photos/daisy.jpg"})
        ASSERT_TRUE(photo.save(dir.filePath(name), "PNG"));
    ASSERT_TRUE(greyMask({0, 255, 255, 0}, 2, 2).save(dir.filePath("Masks/rose.png")));
    ASSERT_TRUE(greyMask({0, 255, 255, 0}, 2, 2).save(dir.filePath("Masks/my.tulip.png")));

    struct Case
    {
        const char* photo;
        const char* mask; // nullptr: none found
    };
    const Case cases[] = {
        {"Photos/rose.jpg", "Masks/rose.png"},
        {"Photos/my.tulip.jpg", "Masks/my.tulip.png"}, // only the last extension goes
        {"Photos/daisy.jpg", nullptr},
    };
    for (const Case& c : cases) {
        auto g = std::make_shared<WholePictureGraphic>();
        g->setImageFilePath(dir.filePath(c.photo), true, true, LBGraphic::FillImageType);
        ASSERT_TRUE(g->imageOfType(LBGraphic::FillImageType)) << c.photo;
        if (!c.mask) {
            EXPECT_EQ(g->imageOfType(LBGraphic::ObjectMaskType), nullptr);
            EXPECT_TRUE(g->imageFilePathOfType(LBGraphic::ObjectMaskType).isEmpty());
            EXPECT_EQ(qAlpha(fillPixels(*g).pixel(0, 0)), 255);
            continue;
        }
        EXPECT_EQ(g->imageFilePathOfType(LBGraphic::ObjectMaskType), dir.filePath(c.mask));
        EXPECT_TRUE(g->imageOfType(LBGraphic::ObjectMaskType)) << c.photo;
        EXPECT_EQ(qAlpha(fillPixels(*g).pixel(0, 0)), 0) << c.photo;
        EXPECT_EQ(qAlpha(fillPixels(*g).pixel(1, 0)), 255) << c.photo;
    }
}

// --- Mask-effect pictures ---

TEST(LBGraphicMasks, MaskEffectFiguresPointAsTheirQuarterTurnsSay)
{
    // Over a working picture of 40 × 40 pixels, the figure filling it, unblurred. Probes
    // near the corners and edge middles (rows downwards); '1' white, '0' black.
    const QPoint probes[] = {{2, 2},   {20, 2}, {37, 2},  {2, 20}, {20, 20},
                             {37, 20}, {2, 37}, {20, 37}, {37, 37}};
    struct Case
    {
        qint64 shape;
        qint64 turns;
        const char* expected; // the probes, rows of three
    };
    const Case cases[] = {
        {0, 0, "010 111 010"}, // oval
        {2, 0, "010 111 010"},
        {1, 0, "111 111 111"}, // rectangle
        {3, 0, "111 111 111"},
        {4, 0, "010 111 010"}, // diamond
        {5, 0, "010 111 010"}, // rounded rectangle: only the corners are cut
        {6, 0, "010 010 111"}, // apex up
        {6, 1, "100 111 100"}, // apex right
        {6, 2, "111 010 010"}, // apex down
        {6, 3, "001 111 001"}, // apex left
        // Right triangles, '.' on the long side.
        {7, 0, "11. 1.0 .00"}, // right angle top left
        {7, 1, ".11 0.1 00."}, // top right
        {7, 2, "00. 0.1 .11"}, // bottom right
        {7, 3, ".00 1.0 11."}, // bottom left
        {8, 0, "000 000 000"}, // no figure
        {-1, 0, "000 000 000"},
    };
    auto g = std::make_shared<ProbeGraphic>();
    for (const Case& c : cases) {
        const platform::FilterImage mask = g->imageForMaskEffectOfSize(
            QSize(40, 40), QRectF(0, 0, 40, 40), 0, false, c.turns, c.shape);
        ASSERT_TRUE(mask.isInfinite()) << c.shape;
        const QImage pixels = mask.render(QRect(0, 0, 40, 40));
        QString seen;
        for (int i = 0; i < 9; ++i) {
            const QRgb p = pixels.pixel(probes[i]);
            const char wanted = c.expected[i + i / 3];
            seen += wanted == '.' ? '.' : isWhite(p) ? '1' : isBlack(p) ? '0' : '?';
            if (i % 3 == 2 && i < 8)
                seen += ' ';
        }
        EXPECT_EQ(seen, QLatin1String(c.expected)) << "shape " << c.shape << ", turns " << c.turns;
    }

    // Reversed, nothing becomes everything; and the rectangle is measured upwards from
    // the bottom edge: (0, 0, 20, 20) is the lower-left quarter.
    const QImage reversed =
        g->imageForMaskEffectOfSize(QSize(40, 40), QRectF(0, 0, 40, 40), 0, true, 0, 9)
            .render(QRect(0, 0, 40, 40));
    EXPECT_TRUE(isWhite(reversed.pixel(20, 20)));
    const QImage quarter =
        g->imageForMaskEffectOfSize(QSize(40, 40), QRectF(0, 0, 20, 20), 0, false, 0, 1)
            .render(QRect(0, 0, 40, 40));
    EXPECT_TRUE(isWhite(quarter.pixel(10, 30)));
    EXPECT_TRUE(isBlack(quarter.pixel(10, 10)));
    EXPECT_TRUE(isBlack(quarter.pixel(30, 30)));
}

TEST(LBGraphicMasks, AMaskEffectImageIsStretchedAndTurnedByItsQuarterTurns)
{
    // White on its left half: a quarter turn clockwise puts the white on top.
    QImage left(10, 20, QImage::Format_ARGB32);
    left.fill(Qt::black);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 5; ++x)
            left.setPixel(x, y, qRgb(255, 255, 255));
    auto g = std::make_shared<ProbeGraphic>();
    g->setMaskImage(left);
    struct Case
    {
        qint64 turns;
        QPoint white;
        QPoint black;
    };
    const Case cases[] = {{0, {10, 20}, {30, 20}},
                          {1, {20, 10}, {20, 30}},
                          {2, {30, 20}, {10, 20}},
                          {3, {20, 30}, {20, 10}}};
    for (const Case& c : cases) {
        const QImage pixels =
            g->imageForMaskEffectOfSize(QSize(40, 40), QRectF(0, 0, 40, 40), 0, false, c.turns, 0)
                .render(QRect(0, 0, 40, 40));
        EXPECT_TRUE(isWhite(pixels.pixel(c.white))) << c.turns;
        EXPECT_TRUE(isBlack(pixels.pixel(c.black))) << c.turns;
    }
}

TEST(LBGraphicMasks, ABlurredFigureIsBuiltAtNoMoreThan300PixelsAndScaledUp)
{
    auto g = std::make_shared<ProbeGraphic>();
    struct Case
    {
        const char* name;
        QRectF rect;
        double blur;
        bool maskImage;
        double blurRadius; // 0: no blur
        double scaleBack;  // 0: no scaling back
    };
    const Case cases[] = {
        {"600 wide, blurred: half size", QRectF(50, 40, 600, 200), 40, false, 300 * 40 / 800.0, 2},
        {"300 wide: as it is", QRectF(0, 0, 300, 100), 40, false, 300 * 40 / 800.0, 0},
        {"600 wide, sharp: as it is", QRectF(0, 0, 600, 200), 0, false, 0, 0},
        {"mask image: as it is", QRectF(0, 0, 600, 200), 40, true, 8 * 40 / 800.0, 0},
    };
    for (const Case& c : cases) {
        g->setMaskImage(c.maskImage ? filled(8, 4, qRgb(255, 255, 255)) : QImage());
        FilterRecorder recorder;
        const platform::FilterImage mask =
            g->imageForMaskEffectOfSize(QSize(700, 300), c.rect, c.blur, false, 0, 0);
        ASSERT_FALSE(mask.isNull()) << c.name;
        const auto blurs = recorder.runsOf("CIGaussianBlur");
        ASSERT_EQ(blurs.size(), c.blurRadius != 0.0 ? 1 : 0) << c.name;
        if (!blurs.isEmpty()) {
            EXPECT_DOUBLE_EQ(blurs[0].inputs.value("inputRadius").toDouble(), c.blurRadius)
                << c.name;
        }
        const auto scales = recorder.runsOf("CILanczosScaleTransform");
        const bool scaledBack = c.scaleBack != 0.0;
        ASSERT_EQ(scales.size(), (c.maskImage ? 1 : 0) + (scaledBack ? 1 : 0)) << c.name;
        if (scaledBack) {
            EXPECT_DOUBLE_EQ(scales.back().inputs.value("inputScale").toDouble(), c.scaleBack);
            EXPECT_DOUBLE_EQ(scales.back().inputs.value("inputAspectRatio").toDouble(), 1.0);
        }
    }

    // Built small, the figure still lands where it was asked for: (50, 40)-(650, 240)
    // measured upwards in a picture 300 high is rows 60-260.
    g->setMaskImage(QImage());
    const QImage pixels =
        g->imageForMaskEffectOfSize(QSize(700, 300), QRectF(50, 40, 600, 200), 1, false, 0, 1)
            .render(QRect(0, 0, 700, 300));
    EXPECT_TRUE(isWhite(pixels.pixel(350, 160)));
    EXPECT_TRUE(isBlack(pixels.pixel(350, 20)));
    EXPECT_TRUE(isBlack(pixels.pixel(350, 290)));
    EXPECT_TRUE(isBlack(pixels.pixel(20, 160)));
    EXPECT_TRUE(isWhite(pixels.pixel(60, 160)));
}

// --- Colour mask ---

TEST(LBGraphicMasks, ColourMaskSettingsStartVisibleOnce)
{
    using Values = std::array<qint64, 6>;
    struct Case
    {
        const char* name;
        std::vector<Values> calls;
        Values expected; // type, size, softness, opacity, offset, angle
    };
    const Case cases[] = {
        {"first enabling", {{1, -1, -1, -1, -1, -1}}, {1, 90, 7, 100, 0, 90}},
        {"given values win", {{1, 50, -1, -1, 12, -1}}, {1, 50, 7, 100, 12, 90}},
        {"enabled again keeps the earlier values",
         {{1, 50, -1, -1, -1, -1}, {0, -1, -1, -1, -1, -1}, {2, -1, -1, -1, -1, -1}},
         {2, 50, 7, 100, 0, 90}},
        {"size alone starts the defaults but keeps the type",
         {{-1, 40, -1, -1, -1, -1}},
         {0, 40, 7, 100, 0, 90}},
        {"switched off",
         {{1, -1, -1, -1, -1, -1}, {0, -1, -1, -1, -1, -1}},
         {0, 90, 7, 100, 0, 90}},
    };
    for (const Case& c : cases) {
        auto g = std::make_shared<ProbeGraphic>();
        for (const Values& v : c.calls)
            g->setColorMaskType(v[0], v[1], v[2], v[3], v[4], v[5]);
        Values seen{};
        g->colorMaskType(&seen[0], &seen[1], &seen[2], &seen[3], &seen[4], &seen[5]);
        EXPECT_EQ(seen, c.expected) << c.name;
    }
    // Null pointers are skipped.
    auto g = std::make_shared<ProbeGraphic>();
    g->setColorMaskType(1, -1, -1, -1, -1, -1);
    qint64 angle = 0;
    g->colorMaskType(nullptr, nullptr, nullptr, nullptr, nullptr, &angle);
    EXPECT_EQ(angle, 90);
}

TEST(LBGraphicMasks, AColourMaskIsTheShrunkSoftOutlineTintedWithTheFillColour)
{
    // 100 × 60 points, size 90: the outline is 6 points smaller and moved 3 points in,
    // then by the offset (upwards in the picture for the angle 90). The picture covers a
    // 10-point margin around the bounds.
    struct Case
    {
        const char* name;
        qint64 type;
        qint64 offset;
        int firstRow; // rows of the outline at the middle column
        int lastRow;
    };
    const Case cases[] = {
        {"plain", 1, 0, 13, 66},
        {"moved by 20 at 90 degrees", 1, 20, 3, 56},
        {"inverted", 2, 0, 13, 66},
    };
    for (const Case& c : cases) {
        auto g = std::make_shared<RectangleGraphic>();
        g->setBoundsNoOtherChanges(QRectF(30, 40, 100, 60));
        g->setFillColor(QColor(255, 0, 0));
        g->setColorMaskType(c.type, 90, 0, 100, c.offset, 90);
        g->createColorMask();
        ASSERT_TRUE(g->_colorMaskImage) << c.name;
        EXPECT_EQ(g->_colorMaskImage->size(), QSizeF(100, 60)) << c.name;
        const QImage pixels =
            g->_colorMaskImage->bitmap().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ASSERT_EQ(pixels.size(), QSize(120, 80)) << c.name;
        const QRgb inside = c.type == 2 ? qRgba(0, 0, 0, 0) : qRgba(255, 0, 0, 255);
        const QRgb outside = c.type == 2 ? qRgba(255, 0, 0, 255) : qRgba(0, 0, 0, 0);
        EXPECT_EQ(pixels.pixel(60, c.firstRow + 1), inside) << c.name;
        EXPECT_EQ(pixels.pixel(60, c.lastRow - 1), inside) << c.name;
        EXPECT_EQ(pixels.pixel(60, c.firstRow - 2), outside) << c.name;
        EXPECT_EQ(pixels.pixel(60, c.lastRow + 2), outside) << c.name;
        EXPECT_EQ(pixels.pixel(2, 40), outside) << c.name;
        // The bounds are as they were.
        EXPECT_EQ(g->bounds(), QRectF(30, 40, 100, 60));
    }

    // Soft edges: half way between inside and outside.
    auto soft = std::make_shared<RectangleGraphic>();
    soft->setBoundsNoOtherChanges(QRectF(0, 0, 100, 60));
    soft->setColorMaskType(1, 90, 7, 100, 0, 90);
    soft->createColorMask();
    ASSERT_TRUE(soft->_colorMaskImage);
    const int edge = qAlpha(soft->_colorMaskImage->bitmap().pixel(60, 13));
    EXPECT_GT(edge, 40);
    EXPECT_LT(edge, 215);

    // No outline, no colour mask.
    auto outlineless = std::make_shared<ProbeGraphic>();
    outlineless->setColorMaskType(1, -1, -1, -1, -1, -1);
    outlineless->createColorMask();
    EXPECT_FALSE(outlineless->_colorMaskImage);
}

TEST(LBGraphicMasks, AFillColourChangeRecoloursTheBuiltColourMaskAndKeepsAnUnbuiltOne)
{
    RecordingDocument doc;
    auto g = std::make_shared<RectangleGraphic>();
    g->setDocument(&doc);
    doc.quietly([&] {
        g->setBoundsNoOtherChanges(QRectF(0, 0, 100, 60));
        g->setFillColor(QColor(255, 0, 0));
        g->setColorMaskType(1, 90, 7, 100, 0, 90);
    });
    // Changed before the picture is built (as after loading): the mask stays on and is
    // built in the new colour.
    doc.step([&] { g->setFillColor(QColor(0, 0, 255)); });
    EXPECT_EQ(g->colorMaskType(), 1);
    EXPECT_FALSE(g->_colorMaskImage);
    g->createColorMask();
    ASSERT_TRUE(g->_colorMaskImage);
    const QImage blue = g->_colorMaskImage->bitmap();
    EXPECT_EQ(blue.pixel(60, 40), qRgba(0, 0, 255, 255));

    // Built: recoloured, each pixel keeping its alpha.
    doc.step([&] { g->setFillColor(QColor(0, 255, 0)); });
    ASSERT_TRUE(g->_colorMaskImage);
    const QImage green = g->_colorMaskImage->bitmap();
    for (const QPoint p : {QPoint(60, 40), QPoint(60, 13), QPoint(1, 1)}) {
        const int a = qAlpha(blue.pixel(p));
        EXPECT_EQ(green.pixel(p), qRgba(0, 255 * a / 255, 0, a)) << p.x() << ", " << p.y();
    }
    doc.undo();
    EXPECT_EQ(g->_colorMaskImage->bitmap().pixel(60, 40), qRgba(0, 0, 255, 255));
}
