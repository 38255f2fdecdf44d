// The effects chain: which filters run in which order with which inputs for a picture of
// known size (recorded), and what the real filters make of tiny pictures: mask rectangles,
// background and tint, the perspective effect printed and on screen, and failing filters.

#include "FilterRecorder.h"
#include "GraphicTestSupport.h"
#include "MessageLog.h"
#include "PictureTestSupport.h"

#include "graphics/LBProcessState.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/imaging/FilterImage.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QTransform>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

using platform::FilterImage;
using platform::ImageFilter;
using platform::YUpFrame;

namespace {

// A graphic showing a picture of `pixels` at `points`: on screen the chain works at the
// picture's size in points.
std::shared_ptr<ProbeGraphic> graphicWith(const QImage& pixels, const QSizeF& points)
{
    auto g = std::make_shared<ProbeGraphic>();
    g->setBoundsNoOtherChanges(QRectF(QPointF(0, 0), points));
    g->setImage(platform::Image::fromBitmap(pixels, points), LBGraphic::FillImageType);
    return g;
}

// 200 × 100 pixels shown at 100 × 50 points: W = 100, H = 50, M = 100, m = 50.
std::shared_ptr<ProbeGraphic> standardGraphic()
{
    return graphicWith(filledPixels(QSize(200, 100), Qt::darkCyan), QSizeF(100, 50));
}

const QPointF kDefault(LBGraphic::DefaultEffectLocationX, 0);

void addEffect(LBGraphic& g, qint64 kind, std::vector<qint64> m = {},
               const QPointF& location0 = kDefault, const QColor& color = QColor(),
               const std::array<QPointF, 3>& more = {kDefault, kDefault, kDefault})
{
    m.resize(6, LBGraphic::DefaultEffectModifier);
    g.addEffect(kind, m[0], m[1], m[2], m[3], m[4], m[5], location0, more[0], more[1], more[2],
                color, false);
}

QStringList names(const QList<FilterRecorder::Run>& runs)
{
    QStringList result;
    for (const FilterRecorder::Run& run : runs)
        result << run.name;
    return result;
}

// Each expected input as recorded: integers as integers, reals and points within a hair.
void expectInputs(const FilterRecorder::Run& run, const QVariantMap& expected, const QString& label)
{
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QVariant actual = run.inputs.value(it.key());
        const QString where = label + QStringLiteral(" ") + it.key();
        const QVariant& want = it.value();
        if (!want.isValid()) {
            EXPECT_FALSE(actual.isValid()) << qPrintable(where) << " is set";
            continue;
        }
        ASSERT_TRUE(actual.isValid()) << qPrintable(where) << " is not set";
        if (want.metaType() == QMetaType::fromType<qint64>()) {
            EXPECT_EQ(actual.metaType(), QMetaType::fromType<qint64>()) << qPrintable(where);
            EXPECT_EQ(actual.toLongLong(), want.toLongLong()) << qPrintable(where);
        } else if (want.metaType() == QMetaType::fromType<double>()) {
            EXPECT_NEAR(actual.toDouble(), want.toDouble(), 1e-9) << qPrintable(where);
        } else if (want.metaType() == QMetaType::fromType<QPointF>()) {
            EXPECT_NEAR(actual.toPointF().x(), want.toPointF().x(), 1e-9) << qPrintable(where);
            EXPECT_NEAR(actual.toPointF().y(), want.toPointF().y(), 1e-9) << qPrintable(where);
        } else {
            EXPECT_EQ(actual, want) << qPrintable(where);
        }
    }
}

} // namespace

TEST(LBGraphicEffectsChain, AdjustmentsRunInOrderWithRadiiFromTheLargerSide)
{
    struct Case
    {
        const char* name;
        std::function<void(LBGraphic&)> setUp;
        QStringList order;
        QList<std::pair<QString, QVariantMap>> inputs;
    };
    const QVariantMap toScreen{{"inputScale", 0.5}, {"inputAspectRatio", 1.0}};
    const Case cases[] = {
        {"all, sharpening: rescaled at the end",
         [](LBGraphic& g) {
             g.setExposure(10);
             g.setSharpness(30);
             g.setHue(50);
             g.setSaturation(10);
             g.setContrast(20);
             g.setBrightness(20);
         },
         {"CILanczosScaleTransform", "CIColorControls", "CIHueAdjust", "CIUnsharpMask",
          "CIExposureAdjust", "CILanczosScaleTransform"},
         {{"CILanczosScaleTransform", toScreen},
          {"CIColorControls",
           {{"inputBrightness", 0.2}, {"inputContrast", 1.6}, {"inputSaturation", 1.2}}},
          {"CIUnsharpMask", {{"inputRadius", 100 * 30 / 5000.0}}}}},
        {"blurred: clipped at the end",
         [](LBGraphic& g) { g.setSharpness(-50); },
         {"CILanczosScaleTransform", "CIGaussianBlur", "CICrop"},
         {{"CIGaussianBlur", {{"inputRadius", 1.0}}},
          {"CICrop", {{"inputRectangle", QRectF(0, 0, 100, 50)}}}}},
    };
    for (const Case& c : cases) {
        FilterRecorder recorder;
        auto g = standardGraphic();
        c.setUp(*g);
        g->transformedImage(false);
        EXPECT_EQ(names(recorder.runs), c.order) << c.name;
        for (const auto& [name, inputs] : c.inputs)
            expectInputs(recorder.runsOf(name).value(0), inputs, QString::fromLatin1(c.name));
        EXPECT_EQ(g->_cachedCIImage.size(), QSize(100, 50)) << c.name;
    }
}

TEST(LBGraphicEffectsChain, EachEffectKindGetsItsInputs)
{
    // W = 100, H = 50. The stored location (0.25, 0.8), measured up, is pixel (25, 10);
    // the centre (W div 2, H div 2) is (50, 25). Angles turn the other way in y-down pixels.
    const QPointF at(25, 10);
    const QPointF centre(50, 25);
    const QPointF location(0.25, 0.8);
    const QColor colour(Qt::blue);
    struct Case
    {
        qint64 kind;
        std::vector<qint64> modifiers;
        QString filter;
        QVariantMap inputs;
    };
    const Case cases[] = {
        {1, {}, "CIColorInvert", {}},
        {2, {40}, "CISepiaTone", {{"inputIntensity", 0.4}}},
        {4, {20}, "CIColorPosterize", {{"inputLevels", 24.0}}},
        {5,
         {50},
         "CICircleSplashDistortion",
         {{"inputRadius", 0.5 * 50 / 2.2}, {"inputCenter", at}}},
        {6, {25}, "CICrystallize", {{"inputCenter", centre}, {"inputRadius", qint64(3)}}},
        {7, {50}, "CIEdgeWork", {{"inputRadius", 0.5}}},
        {8,
         {50, 60},
         "CIBumpDistortion",
         {{"inputRadius", 25.0}, {"inputScale", 2.0}, {"inputCenter", at}}},
        // 33 × 100 / 2000 in integers is 1.
        {9,
         {33, 70, 50},
         "CIDotScreen",
         {{"inputWidth", qint64(3)}, {"inputSharpness", 0.7}, {"inputAngle", -0.5}}},
        {10, {}, "CINoiseReduction", {{"inputNoiseLevel", 1.0}, {"inputSharpness", 0.0}}},
        {11, {20, 25}, "CIMotionBlur", {{"inputRadius", 2.0}, {"inputAngle", -0.25 * 3.14}}},
        {12, {50}, "CIZoomBlur", {{"inputAmount", 10.0}, {"inputCenter", at}}},
        // The smaller side; the centre is the filter's own.
        {13,
         {50, 25},
         "CICircularWrap",
         {{"inputRadius", 50.0},
          {"inputAngle", -(0.5 * 3.14 - 3.14)},
          {"inputCenter", QVariant()}}},
        {13, {700, 0}, "CICircularWrap", {{"inputRadius", 600.0}}},
        // Below 2 counts as 1.
        {14, {0}, "CIHoleDistortion", {{"inputRadius", 1.0}, {"inputCenter", at}}},
        {14, {20}, "CIHoleDistortion", {{"inputRadius", 20.0}}},
        {15,
         {80, 50},
         "CIPinchDistortion",
         {{"inputRadius", 20.0}, {"inputScale", 0.5}, {"inputCenter", at}}},
        {16,
         {50, 63},
         "CITwirlDistortion",
         {{"inputRadius", 25.0}, {"inputAngle", -(0.63 * 25.14 - 12.57)}, {"inputCenter", at}}},
        {17,
         {75, 75},
         "CIVortexDistortion",
         {{"inputRadius", 37.5}, {"inputAngle", -(0.75 * 188.5 - 94.25)}, {"inputCenter", at}}},
        {18, {25}, "CIPointillize", {{"inputCenter", centre}, {"inputRadius", qint64(3)}}},
        {19, {25}, "CIPixellate", {{"inputCenter", centre}, {"inputScale", qint64(3)}}},
        {20, {10, 60}, "CIBloom", {{"inputRadius", 10 / 7.0}, {"inputIntensity", 0.6}}},
        {21, {10, 60}, "CIGloom", {{"inputRadius", 10 / 7.0}, {"inputIntensity", 0.6}}},
        {22, {100}, "CIEdges", {{"inputIntensity", 100.0}}},
        {24, {20}, "CIGaussianBlur", {{"inputRadius", 0.4}}},
        {24, {9000}, "CIGaussianBlur", {{"inputRadius", 100.0}}},
        {25,
         {15, 40, 20},
         "CIOpTile",
         {{"inputWidth", 7.5},
          {"inputAngle", -(0.8 * 3.14 - 3.14)},
          {"inputScale", 2.0},
          {"inputCenter", centre}}},
        {25, {0, 40, 0}, "CIOpTile", {{"inputWidth", 1.0}, {"inputScale", 0.1}}},
        {26,
         {20, 75},
         "CIKaleidoscope",
         {{"inputCount", 12.8}, {"inputAngle", -(1.5 * 3.14 - 3.14)}, {"inputCenter", at}}},
        {27,
         {50, 50},
         "CITriangleTile",
         {{"inputWidth", 25.0}, {"inputAngle", -(3.14 - 3.14)}, {"inputCenter", at}}},
        {28,
         {20, 70},
         "CICircularScreen",
         {{"inputWidth", qint64(3)}, {"inputSharpness", 0.7}, {"inputCenter", at}}},
        {29,
         {15, 15, 50, 50, 25},
         "CIStarShineGenerator",
         {{"inputRadius", 1.5},
          {"inputCrossScale", 15.0},
          {"inputCrossAngle", -(0.25 * 3.14)},
          {"inputCrossOpacity", -4.0},
          {"inputCrossWidth", 2.875},
          {"inputCenter", at},
          {"inputColor", colour}}},
        {30,
         {7, 25, 77, 17, 20},
         "CILenticularHaloGenerator",
         {{"inputHaloRadius", 3.5},
          {"inputHaloWidth", 12.5},
          {"inputHaloOverlap", 0.77},
          {"inputStriationStrength", 0.51},
          {"inputStriationContrast", 1.0},
          {"inputCenter", at},
          {"inputColor", colour}}},
        {31, {}, "CIWhitePointAdjust", {{"inputColor", colour}}},
    };
    for (const Case& c : cases) {
        const QString label = QStringLiteral("kind %1").arg(c.kind);
        FilterRecorder recorder;
        auto g = standardGraphic();
        addEffect(*g, c.kind, c.modifiers, location, colour);
        g->transformedImage(false);
        const QList<FilterRecorder::Run> runs = recorder.runsOf(c.filter);
        ASSERT_EQ(runs.size(), 1) << qPrintable(label);
        expectInputs(runs.first(), c.inputs, label);
    }
}

TEST(LBGraphicEffectsChain, GeneratorsBackgroundAndTintAreLaidInTurnThenClippedOrRescaled)
{
    struct Case
    {
        const char* name;
        std::function<void(LBGraphic&)> setUp;
        QStringList tail; // the last runs
    };
    const Case cases[] = {
        {"a colour effect alone changes nothing but is laid atop, rescaled",
         [](LBGraphic& g) { addEffect(g, 2, {50}), addEffect(g, 3, {50}, kDefault, Qt::red); },
         {"CISepiaTone", "CIConstantColorGenerator", "CICrop", "CISourceAtopCompositing",
          "CILanczosScaleTransform"}},
        {"a generator lies over the picture and leaves it infinite: clipped",
         [](LBGraphic& g) { addEffect(g, 29); },
         {"CIStarShineGenerator", "CISourceOverCompositing", "CICrop"}},
        {"edge work lays its colour under the picture",
         [](LBGraphic& g) { addEffect(g, 7, {50}, kDefault, Qt::green); },
         {"CIEdgeWork", "CIConstantColorGenerator", "CICrop", "CISourceOverCompositing", "CICrop"}},
        {"a pixellation is clipped",
         [](LBGraphic& g) { addEffect(g, 19); },
         {"CIPixellate", "CICrop"}},
        {"an entry without a filter runs nothing of its own",
         [](LBGraphic& g) {
             addEffect(g, 23);
             addEffect(g, 99);
         },
         {"CILanczosScaleTransform", "CILanczosScaleTransform"}},
    };
    for (const Case& c : cases) {
        FilterRecorder recorder;
        auto g = standardGraphic();
        c.setUp(*g);
        g->transformedImage(false);
        const QStringList all = names(recorder.runs);
        EXPECT_EQ(all.mid(all.size() - c.tail.size()), c.tail) << c.name;
        EXPECT_EQ(g->_cachedCIImage.size(), QSize(100, 50)) << c.name;
    }

    // Two colour effects: the later one's colour with its opacity; edge work followed by a
    // mask effect: a black background whatever the edge work's colour.
    FilterRecorder recorder;
    auto g = standardGraphic();
    addEffect(*g, 3, {30}, kDefault, Qt::red);
    addEffect(*g, 7, {50}, kDefault, Qt::green);
    addEffect(*g, 33);
    addEffect(*g, 3, {50}, kDefault, Qt::blue);
    g->transformedImage(false);
    const QList<FilterRecorder::Run> colours = recorder.runsOf("CIConstantColorGenerator");
    ASSERT_GE(colours.size(), 2);
    EXPECT_EQ(colours.at(colours.size() - 2).inputs.value("inputColor").value<QColor>(),
              QColor(Qt::black));
    EXPECT_EQ(colours.last().inputs.value("inputColor").value<QColor>(),
              QColor::fromRgbF(0, 0, 1, 0.5));
    const QStringList all = names(recorder.runs);
    EXPECT_EQ(
        all.mid(all.size() - 7),
        QStringList({"CIConstantColorGenerator", "CICrop", "CISourceOverCompositing",
                     "CIConstantColorGenerator", "CICrop", "CISourceAtopCompositing", "CICrop"}));
}

TEST(LBGraphicEffectsChain, PerspectiveCornersAreRescaledToTheirExtentAndTheOffsetKept)
{
    struct Case
    {
        const char* name;
        std::array<QPointF, 4> locations; // top-left, top-right, bottom-left, bottom-right
        std::array<QPointF, 4> corners;   // in y-down pixels of 100 × 50
        double scale;
        double aspect;
        QPointF offset; // measured up
    };
    const Case cases[] = {
        {"the top-right quarter",
         {QPointF(0.5, 1), QPointF(1, 1), QPointF(0.5, 0.5), QPointF(1, 0.5)},
         {QPointF(50, 0), QPointF(100, 0), QPointF(50, 25), QPointF(100, 25)},
         1.0,
         1.0,
         QPointF(50, 25)},
        // Extent (20, 0, 80, 50) around corners spanning 79.5 × 49.5.
        {"fractional corners",
         {QPointF(0.205, 1), QPointF(1, 0.9), QPointF(0.3, 0.2), QPointF(0.9, 0.01)},
         {QPointF(20.5, 0), QPointF(100, 5), QPointF(30, 40), QPointF(90, 49.5)},
         49.5 / 50,
         (79.5 / 80) / (49.5 / 50),
         QPointF(20, 0)},
        {"unmoved",
         {QPointF(0, 1), QPointF(1, 1), QPointF(0, 0), QPointF(1, 0)},
         {QPointF(0, 0), QPointF(100, 0), QPointF(0, 50), QPointF(100, 50)},
         1.0,
         1.0,
         QPointF(0, 0)},
    };
    for (const Case& c : cases) {
        const QString label = QString::fromLatin1(c.name);
        FilterRecorder recorder;
        auto g = standardGraphic();
        const auto& l = c.locations;
        addEffect(*g, 32, {}, l[0], QColor(), {l[1], l[2], l[3]});
        g->transformedImage(false);
        expectInputs(recorder.runsOf("CIPerspectiveTransform").value(0),
                     {{"inputTopLeft", c.corners[0]},
                      {"inputTopRight", c.corners[1]},
                      {"inputBottomLeft", c.corners[2]},
                      {"inputBottomRight", c.corners[3]}},
                     label);
        // The first scale brings the picture to the screen, the second fits the corners.
        expectInputs(recorder.runsOf("CILanczosScaleTransform").value(1),
                     {{"inputScale", c.scale}, {"inputAspectRatio", c.aspect}}, label);
        EXPECT_EQ(g->_perspectiveDrawingOffset, c.offset) << c.name;
        const QList<FilterRecorder::Run> moves = recorder.runsOf("CIAffineTransform");
        if (c.offset.isNull()) {
            EXPECT_TRUE(moves.isEmpty()) << c.name;
        } else {
            ASSERT_EQ(moves.size(), 1) << c.name;
            // Back to the frame's lower-left corner: left by x, down by y.
            EXPECT_EQ(moves.first().inputs.value("inputTransform").value<QTransform>(),
                      QTransform::fromTranslate(-c.offset.x(), c.offset.y()))
                << c.name;
        }
        EXPECT_EQ(names(recorder.runs).last(), QStringLiteral("CICrop")) << c.name;
    }
}

TEST(LBGraphicEffectsChain, APerspectiveEffectLandsOnTheSamePixelsPrintedAndOnScreen)
{
    // 40 × 20 pixels at 40 × 20 points: the same frame on screen and printed.
    QImage pixels = filledPixels(QSize(40, 20), Qt::red);
    QPainter(&pixels).fillRect(QRect(0, 0, 40, 10), Qt::green);
    auto g = graphicWith(pixels, QSizeF(40, 20));
    addEffect(*g, 32, {}, QPointF(0.5, 1), QColor(),
              {QPointF(1, 1), QPointF(0.5, 0.5), QPointF(1, 0.5)});

    // On screen: the filters' picture, drawn from the frame's lower-left corner moved by
    // the offset, as image graphics draw it.
    g->transformedImage(false);
    const QImage shown = g->_cachedCIImage;
    const QPointF offset = g->_perspectiveDrawingOffset;
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(offset, QPointF(20, 10));
    QImage onScreen = filledPixels(QSize(40, 20), Qt::transparent);
    QPainter(&onScreen).drawImage(YUpFrame(20).rect(QRectF(offset, QSizeF(shown.size()))).topLeft(),
                                  shown);

    // Printed (after the screen's picture): a bitmap of the whole frame holding the
    // picture where it was shown.
    const auto printed = g->transformedImage(true);
    ASSERT_TRUE(printed);
    EXPECT_TRUE(printed->dataRetained());
    EXPECT_EQ(printed->size(), QSizeF(40, 20));
    const QImage print = printed->bitmap().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(print.size(), onScreen.size());
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(print.pixel(x, y), onScreen.pixel(x, y)) << x << "," << y;
    // The picture, upright, in the top-right quarter.
    EXPECT_EQ(opaqueBounds(onScreen), QRect(20, 0, 20, 10));
    EXPECT_EQ(QColor(onScreen.pixel(30, 1)), QColor(Qt::green));
    EXPECT_EQ(QColor(onScreen.pixel(30, 8)), QColor(Qt::red));

    // The bitmap without a frame of its own has just the room the offset needs.
    const QImage padded = LBGraphic::bitmapImageRepFromCIImage(shown, offset);
    EXPECT_EQ(padded.size(), QSize(40, 20));
    EXPECT_EQ(LBGraphic::bitmapImageRepFromCIImage(shown, QPointF(3, 2)).size(), QSize(23, 12));
}

TEST(LBGraphicEffectsChain, MaskRectanglesFollowShapeTurnsScaleCropAndLocation)
{
    struct Case
    {
        const char* name;
        qint64 shape;
        qint64 quarterTurns;
        double displayScale;
        QPointF location;
        bool cropped;
        QRectF rect; // measured up in the 100 × 50 frame
    };
    const QPointF middle(0.5, 0.5);
    const Case cases[] = {
        {"rectangle", 1, 0, 1, middle, false, {22.5, 11.25, 55, 27.5}},
        {"rectangle, half turn", 1, 2, 1, middle, false, {22.5, 11.25, 55, 27.5}},
        {"rectangle, quarter turn", 1, 1, 1, middle, false, {36.25, -2.5, 27.5, 55}},
        {"oval",
         0,
         0,
         1,
         middle,
         false,
         {100 / 6.0 - 10 / 3.0, 25 / 3.0 - 5 / 3.0, 220 / 3.0, 110 / 3.0}},
        {"oval, three turns", 0, 3, 1, middle, false, {95 / 3.0, -35 / 3.0, 110 / 3.0, 220 / 3.0}},
        {"circle", 2, 0, 1, middle, false, {95 / 3.0, 20 / 3.0, 110 / 3.0, 110 / 3.0}},
        {"square", 3, 0, 1, middle, false, {36.25, 11.25, 27.5, 27.5}},
        {"diamond", 4, 1, 1, middle, false, {22.5, 11.25, 55, 27.5}},
        {"on a screen of scale 2", 1, 0, 2, middle, false, {22.5, 11.25, 27.5, 13.75}},
        {"moved by its location", 1, 0, 1, QPointF(0.25, 0.75), false, {-2.5, 23.75, 55, 27.5}},
        // The shape shows (10, 20, 50, 25) of the frame, measured up.
        {"in a crop", 1, 0, 1, middle, true, {21.25, 25.625, 27.5, 13.75}},
    };
    for (const Case& c : cases) {
        const DisplayScale scale(c.displayScale);
        auto g = graphicWith(filledPixels(QSize(100, 50), Qt::white), QSizeF(100, 50));
        if (c.cropped) {
            g->setBoundsNoOtherChanges(QRectF(0, 0, 50, 25));
            g->setCropImageBounds(QRectF(0, 0, 100, 50), QRectF(10, 5, 50, 25));
        }
        addEffect(*g, 34, {50, 0, 0, c.quarterTurns, 0, c.shape}, c.location);
        g->transformedImage(false);
        const QImage masked = g->_cachedCIImage;
        ASSERT_EQ(masked.size(), QSize(100, 50)) << c.name;
        const QRectF expected = YUpFrame(50).rect(c.rect) & QRectF(0, 0, 100, 50);
        const QRect found = opaqueBounds(masked);
        EXPECT_NEAR(found.left(), expected.left(), 1.0) << c.name;
        EXPECT_NEAR(found.top(), expected.top(), 1.0) << c.name;
        EXPECT_NEAR(found.right() + 1, expected.right(), 1.0) << c.name;
        EXPECT_NEAR(found.bottom() + 1, expected.bottom(), 1.0) << c.name;
    }

    // Without a mask image a shape beyond 7 is an oval.
    const auto maskedWith = [](qint64 shape) {
        auto g = graphicWith(filledPixels(QSize(100, 50), Qt::white), QSizeF(100, 50));
        addEffect(*g, 34, {50, 0, 0, 0, 0, shape});
        g->transformedImage(false);
        return g->_cachedCIImage;
    };
    EXPECT_EQ(maskedWith(9), maskedWith(0));
}

TEST(LBGraphicEffectsChain, BackgroundTintAndMaskEffectsShowInThePixels)
{
    // Opaque white on the left half, transparent on the right.
    QImage pixels = filledPixels(QSize(20, 10), Qt::transparent);
    QPainter(&pixels).fillRect(QRect(0, 0, 10, 10), Qt::white);

    // Two colour effects: only the later one tints, and only where the picture is.
    auto tinted = graphicWith(pixels, QSizeF(20, 10));
    addEffect(*tinted, 3, {100}, kDefault, Qt::red);
    addEffect(*tinted, 3, {50}, kDefault, Qt::blue);
    tinted->transformedImage(false);
    const QColor left = tinted->_cachedCIImage.pixelColor(2, 5);
    EXPECT_NEAR(left.red(), 128, 1);
    EXPECT_NEAR(left.green(), 128, 1);
    EXPECT_EQ(left.blue(), 255);
    EXPECT_EQ(qAlpha(tinted->_cachedCIImage.pixel(15, 5)), 0);

    // Edge work, then the dark mask effect: the picture lies over black, everywhere.
    auto edged = graphicWith(pixels, QSizeF(20, 10));
    addEffect(*edged, 7, {50}, kDefault, Qt::yellow);
    addEffect(*edged, 33);
    edged->transformedImage(false);
    const QImage dark = edged->_cachedCIImage;
    ASSERT_EQ(dark.size(), QSize(20, 10));
    for (const QPoint p : {QPoint(0, 0), QPoint(19, 9), QPoint(18, 5)})
        EXPECT_EQ(dark.pixelColor(p), QColor(Qt::black)) << p.x() << "," << p.y();
}

TEST(LBGraphicEffectsChain, PrintingFiltersAllThePixelsIntoAKeptBitmap)
{
    auto g = standardGraphic();
    g->setBrightness(10);
    const auto printed = g->transformedImage(true);
    ASSERT_TRUE(printed);
    EXPECT_NE(printed, g->imageOfType(LBGraphic::FillImageType));
    EXPECT_EQ(printed->size(), QSizeF(100, 50));
    EXPECT_EQ(printed->bitmap().size(), QSize(200, 100));
    EXPECT_TRUE(printed->dataRetained());
    EXPECT_TRUE(g->_cachedCIImage.isNull());
    // Kept for printing; the next drawing on screen processes the picture for the screen
    // again (and printing after that its own again).
    EXPECT_EQ(g->transformedImage(true), printed);
    QImage target(4, 4, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&target);
    platform::GraphicsContext screen(&painter, true);
    {
        const platform::GraphicsContext::Scope scope(screen);
        EXPECT_EQ(g->transformedImage(false), g->imageOfType(LBGraphic::FillImageType));
        EXPECT_EQ(g->_cachedCIImage.size(), QSize(100, 50));
    }
    EXPECT_EQ(g->transformedImage(true)->bitmap().size(), QSize(200, 100));

    // While the document prints, any build is a print build.
    g->clearCachedImage();
    LBProcessState::setPrinting(true);
    const auto duringPrinting = g->transformedImage(false);
    LBProcessState::setPrinting(false);
    EXPECT_EQ(duringPrinting->bitmap().size(), QSize(200, 100));
}

TEST(LBGraphicEffectsChain, AFailingFilterPassesItsPictureOnAndSaysSo)
{
    // Real filters, except that sepia fails whatever it is given.
    class Failing : public ImageFilter
    {
    public:
        explicit Failing(const ImageFilter& real) : ImageFilter(real) {}
        FilterImage outputImage() const override { return {}; }
    };
    QHash<QString, std::shared_ptr<ImageFilter>> real;
    for (const QString& name : ImageFilter::filterNames())
        real.insert(name, ImageFilter::filterWithName(name));
    struct FactoryGuard
    {
        ~FactoryGuard() { ImageFilter::setFactory({}); }
    } guard;
    ImageFilter::setFactory([&real](const QString& name) -> std::shared_ptr<ImageFilter> {
        const auto prototype = real.value(name);
        if (!prototype)
            return nullptr;
        if (name == QLatin1String("CISepiaTone"))
            return std::make_shared<Failing>(*prototype);
        return std::make_shared<ImageFilter>(*prototype);
    });

    const auto processed = [](qint64 kind) {
        auto g = standardGraphic();
        addEffect(*g, kind);
        g->transformedImage(false);
        return g->_cachedCIImage;
    };
    const QImage unchanged = processed(23);
    MessageLog log;
    const QImage failed = processed(2);
    EXPECT_FALSE(failed.isNull());
    EXPECT_EQ(failed, unchanged);
    EXPECT_TRUE(log.contains(QStringLiteral("\"CISepiaTone\" failed")));
    EXPECT_EQ(log.messages.size(), 1);
}
