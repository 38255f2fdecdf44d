#include "DrawingTestSupport.h"

#include "platform/drawing/GraphicsContext.h"

#include <QImage>
#include <QPainter>
#include <QTransform>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

using platform::GraphicsContext;

namespace {

const QColor kStroke(255, 0, 0);
const QColor kFill(0, 0, 255);
const QColor kFill1(255, 255, 0);
const QColor kShadow(0, 255, 0);

const QString kStrokeName = QStringLiteral("stroke #ff0000");
const QString kFillName = QStringLiteral("fill #0000ff");
const QString kShadowImage = QStringLiteral("image #00ff00");
const QString kStrokeImage = QStringLiteral("image #ff0000");
const QString kFillImage = QStringLiteral("image #0000ff");

// A stroked graphic at (40, 40, 100, 60) painted in the colours above, the shadow opaque.
std::shared_ptr<OutlinedGraphic> paintedGraphic(qint64 fillType, qint64 shadowType)
{
    auto graphic = std::make_shared<OutlinedGraphic>();
    graphic->setBounds(QRectF(40, 40, 100, 60));
    graphic->setStrokeColor(kStroke);
    graphic->setStrokeLineWidth(2);
    graphic->setFillColor(kFill);
    graphic->setFillColor1(kFill1);
    graphic->setFillType(fillType);
    graphic->setShadowInfo(shadowType, 3, 2, 90, 0.0, kShadow);
    return graphic;
}

} // namespace

// --- Order of stroke, fill and shadow ---

struct OrderCase
{
    const char* name;
    qint64 fillType;
    qint64 shadowType;
    qint64 arrow;
    QStringList expected;
};

class DrawingOrder : public ::testing::TestWithParam<OrderCase>
{};

TEST_P(DrawingOrder, StrokeFillAndShadowComeInTheirOrder)
{
    const OrderCase& c = GetParam();
    auto graphic = paintedGraphic(c.fillType, c.shadowType);
    graphic->arrow1 = c.arrow;
    EXPECT_EQ(recordNames(*graphic), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    LBGraphicDrawing, DrawingOrder,
    ::testing::Values(
        // No shadow: fill, then stroke.
        OrderCase{"plain", 1, 0, 0, {kFillName, kStrokeName}},
        // Shadow type 2: the fill casts the shadow, the stroke is drawn once, without.
        OrderCase{"fillCasts", 1, 2, 0, {kShadowImage, kFillImage, kStrokeName}},
        // Shadow type 1: the stroke casts it, then the fill does, then the stroke again.
        OrderCase{"strokeCasts",
                  1,
                  1,
                  0,
                  {kShadowImage, kStrokeImage, kShadowImage, kFillImage, kStrokeName}},
        // Nothing painted over the shadowed stroke: it is drawn once.
        OrderCase{"strokeOnly", 0, 1, 0, {kShadowImage, kStrokeImage}},
        // ... unless arrow heads must be drawn again over it.
        OrderCase{"strokeWithArrows", 0, 1, 3, {kShadowImage, kStrokeImage, kStrokeName}},
        // A gradient casts no shadow itself: the fill colour does, under it. (The
        // reflected linear kind ends in a band of the end colour.)
        OrderCase{"gradientOverShadowedFill",
                  2,
                  1,
                  0,
                  {kShadowImage, kStrokeImage, kShadowImage, kFillImage, "clip", "gradient",
                   "fill #ffff00", kStrokeName}},
        // Without shadow type 1 a gradient has no fill under it.
        OrderCase{"gradient", 3, 0, 0, {"clip", "gradient", kStrokeName}}),
    [](const ::testing::TestParamInfo<OrderCase>& info) { return info.param.name; });

TEST(LBGraphicDrawing, ArrowHeadsFollowEachStroke)
{
    auto graphic = paintedGraphic(1, 1);
    graphic->arrow1 = 2;
    recordNames(*graphic);
    EXPECT_EQ(graphic->arrowCalls, (QList<bool>{true, false})); // with shadow, then without

    auto plain = paintedGraphic(1, 0);
    recordNames(*plain);
    EXPECT_EQ(plain->arrowCalls, (QList<bool>{false}));
}

TEST(LBGraphicDrawing, FillPictureWinsOverGradientAndColourMaskCastsShadow)
{
    auto graphic = paintedGraphic(2, 2);
    graphic->setDrawsStroke(false);
    graphic->setImage(twoBandPicture(Qt::magenta, Qt::magenta), LBGraphic::FillImageType);
    graphic->fillPicture = twoBandPicture(Qt::magenta, Qt::magenta);
    // The picture casts the shadow; no gradient is painted.
    EXPECT_EQ(recordNames(*graphic), (QStringList{kShadowImage, "image #ff00ff"}));

    // A colour mask is drawn over it, casting its own shadow.
    graphic->maskPicture = twoBandPicture(Qt::darkGray, Qt::darkGray);
    graphic->_colorMaskType = 1;
    EXPECT_EQ(recordNames(*graphic),
              (QStringList{kShadowImage, "image #ff00ff", kShadowImage, "image #808080"}));
}

TEST(LBGraphicDrawing, NothingForHiddenOrShapesWithTextAndOnlyTheReflectionWithoutOutline)
{
    auto graphic = paintedGraphic(1, 1);
    graphic->setReflectionEnabled(true);
    graphic->reflectionPicture = twoBandPicture(Qt::magenta, Qt::magenta);

    graphic->setHidden(true);
    EXPECT_TRUE(recordNames(*graphic).isEmpty());
    graphic->setHidden(false);
    graphic->shapeWithText = true;
    EXPECT_TRUE(recordNames(*graphic).isEmpty());
    EXPECT_TRUE(graphic->reflectionRequests.isEmpty()); // not even the reflection

    graphic->shapeWithText = false;
    graphic->noOutline = true;
    EXPECT_EQ(recordNames(*graphic), (QStringList{"image #ff00ff"}));
}

TEST(LBGraphicDrawing, ReflectionIsBuiltOnceAndPlacedBelowTheShadowedArea)
{
    auto graphic = paintedGraphic(1, 0); // stroke width 2
    graphic->setReflectionEnabled(true);
    graphic->setReflectionTransparency(0.3);
    graphic->setReflectionHeight(0.5);
    graphic->reflectionPicture = twoBandPicture(Qt::magenta, Qt::magenta);

    QList<PaintCall> calls = recordDrawing([&] { graphic->drawInView(nullptr, false); });
    ASSERT_EQ(graphic->reflectionRequests.size(), 1);
    EXPECT_EQ(graphic->reflectionRequests[0], (QList<double>{0.3, 0.5, 1.0}));
    EXPECT_TRUE(graphic->loadingWhileBuilt);
    EXPECT_FALSE(graphic->loadingReflection());
    EXPECT_EQ(graphic->reflectionImage(), graphic->reflectionPicture);
    // Drawn area without handles: (39, 39, 102, 62); margin = the stroke width 2.
    // x = 39, y = trunc(39 + 62 - 2) = 99, width 102, height trunc(62 × 0.5) = 31.
    ASSERT_FALSE(calls.isEmpty());
    EXPECT_EQ(calls.last().kind, "image");
    EXPECT_EQ(calls.last().area, QRectF(39, 99, 102, 31));

    // Kept: the next drawing does not build it again. With shadow type 1 the margin
    // grows by 2 × (height + radius / 2) = 8 and the area by (height + radius / 2) = 4.
    graphic->setShadowInfo(1, 3, 2, 90, 0.0, kShadow);
    graphic->setReflectionImage(graphic->reflectionPicture); // the setter's change dropped it
    calls = recordDrawing([&] { graphic->drawInView(nullptr, false); });
    EXPECT_EQ(graphic->reflectionRequests.size(), 1);
    // s = (34.5, 34.5, 110, 70): x 34, y trunc(34.5 + 70 - 10) = 94, 110 × 35.
    EXPECT_EQ(calls.last().area, QRectF(34, 94, 110, 35));
}

TEST(LBGraphicDrawing, TextPlaceholderHidesItsOutlineOnlyOutsideTheCanvas)
{
    auto placeholder = std::make_shared<OutlinedGraphic>();
    placeholder->noOutline = true; // a placeholder gets a rectangle of its own
    placeholder->setBounds(QRectF(40, 40, 100, 60));
    placeholder->setStrokeColor(kStroke);
    placeholder->setIsPlaceholder(true);
    placeholder->setDrawPlaceholderText(true);
    placeholder->setHidePlaceholderOutline(true);
    placeholder->setPlaceholderColor(Qt::white);

    placeholder->setPlaceholderLabelColor(Qt::darkGray);

    // Filled with the placeholder colour, outlined, then the prompt on top.
    FakeCanvas canvas;
    const QString prompt = QStringLiteral("text #808080");
    EXPECT_EQ(recordNames(*placeholder, &canvas),
              (QStringList{"fill #ffffff", kStrokeName, prompt}));
    EXPECT_EQ(recordNames(*placeholder), (QStringList{"fill #ffffff", prompt}));

    // Its rectangle is inset by half the stroke so the stroke stays inside the bounds.
    const QList<PaintCall> calls = recordDrawing([&] { placeholder->drawInView(&canvas, false); });
    ASSERT_GE(calls.size(), 2);
    EXPECT_EQ(calls[1].area, QRectF(40.5, 40.5, 99, 59));

    // A photo placeholder is not filled with the placeholder colour.
    placeholder->setPlaceholderTypeString(QStringLiteral("Photo"));
    EXPECT_EQ(recordNames(*placeholder, &canvas), (QStringList{kStrokeName, prompt}));
}

// --- The mirroring and turning transform ---

namespace {

QPointF turnedAbout(const QPointF& p, const QPointF& c, double degrees)
{
    const double a = degrees / 180.0 * M_PI;
    const QPointF d = p - c;
    return c
           + QPointF(d.x() * std::cos(a) - d.y() * std::sin(a),
                     d.x() * std::sin(a) + d.y() * std::cos(a));
}

} // namespace

TEST(LBGraphicDrawing, TransformTurnsThenMirrorsAndKeepsTheTurnOnThePage)
{
    const QRectF b(10, 20, 100, 40);
    const QPointF c = b.center();
    const QPointF p(30, 25);
    struct Case
    {
        bool v;
        bool h;
        double expectedTurn;
    };
    for (const Case& k : {Case{false, false, 30}, Case{true, true, 30}, Case{true, false, -30},
                          Case{false, true, -30}}) {
        LBGraphic graphic;
        QTransform applied;
        recordDrawing([&] {
            GraphicsContext* context = graphic.applyTransformForBounds(b, k.v, k.h, 30);
            ASSERT_NE(context, nullptr);
            EXPECT_EQ(context->savedStateDepth(), 1);
            applied = context->painter()->worldTransform();
            context->restoreGraphicsState();
        });
        QPointF expected = turnedAbout(p, c, k.expectedTurn);
        if (k.v)
            expected.setY(2 * c.y() - expected.y());
        if (k.h)
            expected.setX(2 * c.x() - expected.x());
        const QPointF mapped = applied.map(p);
        EXPECT_NEAR(mapped.x(), expected.x(), 1e-9) << k.v << k.h;
        EXPECT_NEAR(mapped.y(), expected.y(), 1e-9) << k.v << k.h;
    }

    LBGraphic graphic;
    recordDrawing([&] {
        EXPECT_EQ(graphic.applyTransformForBounds(b, false, false, 0), nullptr);
        EXPECT_EQ(GraphicsContext::current()->savedStateDepth(), 0);
    });
}

TEST(LBGraphicDrawing, MirroredGraphicIsDrawnMirrored)
{
    auto graphic = paintedGraphic(1, 0);
    graphic->setDrawsStroke(false);
    graphic->oval = true;
    graphic->setBounds(QRectF(0, 0, 100, 50));
    graphic->setRotation(90);
    // Turned a quarter about (50, 25): the oval now stands 50 wide and 100 high.
    const QImage image = renderImage([&] { graphic->drawInView(nullptr, false); });
    EXPECT_EQ(image.pixel(50, 70), kFill.rgb());
    EXPECT_EQ(image.pixel(90, 25), qRgba(0, 0, 0, 0));
}

TEST(LBGraphicDrawing, StartAndStopShadowDoNothingWithoutAShadow)
{
    LBGraphic graphic;
    recordDrawing([&] {
        graphic.startShadow();
        EXPECT_EQ(GraphicsContext::current()->savedStateDepth(), 0);
        graphic.stopShadow();
        graphic.setShadowInfo(2, -1, -1, -1, -1.0, QColor());
        graphic.startShadow(QRectF(0, 0, 10, 10));
        EXPECT_EQ(GraphicsContext::current()->savedStateDepth(), 1);
        EXPECT_FALSE(GraphicsContext::current()->shadow().has_value()); // in the layer
        EXPECT_EQ(GraphicsContext::current()->transparencyLayerDepth(), 1);
        graphic.stopShadow();
    });
}

// --- Pixels: shadow, gradient, stroke, dash, opacity ---

namespace {

int alphaAt(const QImage& image, int x, int y)
{
    return qAlpha(image.pixel(x, y));
}

} // namespace

TEST(LBGraphicDrawing, ShadowFallsTheWayTheAzimuthPointsAndIsSoft)
{
    // Shadow height 6, radius 4 (a blur of deviation 2), opaque black.
    struct Case
    {
        qint64 azimuth;
        QPoint inShadow; // just beyond the graphic on the shadow's side
        QPoint opposite; // as far beyond on the other side
    };
    for (const Case& c : {Case{90, {90, 103}, {90, 37}}, Case{270, {90, 37}, {90, 103}},
                          Case{0, {37, 70}, {143, 70}}, Case{180, {143, 70}, {37, 70}}}) {
        auto graphic = paintedGraphic(1, 2);
        graphic->setDrawsStroke(false);
        graphic->setShadowInfo(2, 6, 4, c.azimuth, 0.0, Qt::black);
        const QImage image = renderImage([&] { graphic->drawInView(nullptr, false); });
        EXPECT_EQ(image.pixel(90, 70), kFill.rgb()) << c.azimuth; // the fill on top
        EXPECT_GT(alphaAt(image, c.inShadow.x(), c.inShadow.y()), 200) << c.azimuth;
        EXPECT_EQ(alphaAt(image, c.opposite.x(), c.opposite.y()), 0) << c.azimuth;
        EXPECT_EQ(qRed(image.pixel(c.inShadow)), 0) << c.azimuth;
    }

    // Below (azimuth 90): the edge fades over a few points beyond the moved shadow
    // (bottom edge at 106) and spreads sideways as far.
    auto graphic = paintedGraphic(1, 2);
    graphic->setDrawsStroke(false);
    graphic->setShadowInfo(2, 6, 4, 90, 0.0, Qt::black);
    const QImage image = renderImage([&] { graphic->drawInView(nullptr, false); });
    EXPECT_NEAR(alphaAt(image, 90, 106), 128, 30);
    EXPECT_GT(alphaAt(image, 90, 108), 0);
    EXPECT_LT(alphaAt(image, 90, 108), alphaAt(image, 90, 106));
    EXPECT_EQ(alphaAt(image, 90, 114), 0);
    EXPECT_GT(alphaAt(image, 38, 103), 0);
    EXPECT_LT(alphaAt(image, 38, 103), alphaAt(image, 41, 103));
}

TEST(LBGraphicDrawing, ShadowScalesWithTheZoom)
{
    // A canvas at zoom 2: the page is drawn twice as large and the graphic's shadow is
    // measured in the canvas's pixels, so it keeps its size on the page.
    auto graphic = paintedGraphic(1, 2);
    graphic->setDrawsStroke(false);
    graphic->setShadowInfo(2, 6, 0, 90, 0.0, Qt::black);
    graphic->setZoomFactor(2);
    const QImage image = renderImage(
        [&] {
            GraphicsContext::current()->painter()->scale(2, 2);
            graphic->drawInView(nullptr, false);
        },
        QSize(400, 300));
    // The graphic's bottom edge at page 100 (pixel 200), the shadow's at page 106.
    EXPECT_EQ(image.pixel(180, 210), qRgb(0, 0, 0));
    EXPECT_EQ(alphaAt(image, 180, 213), 0);
}

TEST(LBGraphicDrawing, GradientRunsFromStartToEndColourAndMirrorsWithTheGraphic)
{
    auto graphic = paintedGraphic(2, 0);
    graphic->setDrawsStroke(false);
    const QImage upright = renderImage([&] { graphic->drawInView(nullptr, false); });
    // Angle 0 runs downwards: the start colour at the top, the end colour at the bottom.
    EXPECT_GT(qBlue(upright.pixel(90, 41)), 230);
    EXPECT_LT(qRed(upright.pixel(90, 41)), 25);
    EXPECT_GT(qRed(upright.pixel(90, 98)), 230);
    EXPECT_LT(qBlue(upright.pixel(90, 98)), 25);
    EXPECT_EQ(alphaAt(upright, 90, 38), 0); // clipped to the outline

    graphic->setFlippedVertically(true);
    const QImage mirrored = renderImage([&] { graphic->drawInView(nullptr, false); });
    EXPECT_GT(qRed(mirrored.pixel(90, 41)), 230);
    EXPECT_GT(qBlue(mirrored.pixel(90, 98)), 230);
}

TEST(LBGraphicDrawing, StrokeWidthDashAndOpacityReachThePixels)
{
    auto graphic = paintedGraphic(0, 0);
    graphic->setStrokeLineWidth(4);
    const QImage solid = renderImage([&] { graphic->drawInView(nullptr, false); });
    // A 4-point line centred on the edge at x = 40.
    EXPECT_EQ(solid.pixel(38, 70), kStroke.rgb());
    EXPECT_EQ(solid.pixel(41, 70), kStroke.rgb());
    EXPECT_EQ(alphaAt(solid, 43, 70), 0);
    EXPECT_EQ(alphaAt(solid, 36, 70), 0);

    // Dash {2, 1} in stroke widths: 8 points on, 4 off, from the top-left corner along
    // the top edge.
    graphic->setLineDash({2, 1, 0, 0}, 2);
    const QImage dashed = renderImage([&] { graphic->drawInView(nullptr, false); });
    EXPECT_EQ(dashed.pixel(45, 40), kStroke.rgb());
    EXPECT_EQ(alphaAt(dashed, 50, 40), 0);
    EXPECT_EQ(dashed.pixel(55, 40), kStroke.rgb());

    // Half opacity reaches both stroke and fill through their colours.
    auto faint = paintedGraphic(1, 0);
    faint->setGraphicAlpha(0.5);
    const QImage half = renderImage([&] { faint->drawInView(nullptr, false); });
    EXPECT_NEAR(alphaAt(half, 90, 70), 128, 1);
    EXPECT_NEAR(alphaAt(half, 40, 30 + 40), 128 + 64, 2); // stroke over fill, both half
}

TEST(LBGraphicDrawing, UnturnedGraphicsArePaintedOnWholePoints)
{
    auto graphic = paintedGraphic(1, 0);
    graphic->setDrawsStroke(false);
    // The base graphic has no outline; a placeholder is painted through its bounds.
    auto placeholder = std::make_shared<OutlinedGraphic>();
    placeholder->noOutline = true;
    placeholder->setIsPlaceholder(true);
    placeholder->setDrawPlaceholderText(true);
    placeholder->setDrawsStroke(false);
    placeholder->setPlaceholderColor(kFill);
    placeholder->setBounds(QRectF(40.4, 40.4, 100.2, 60.2));
    const QImage image = renderImage([&] { placeholder->drawInView(nullptr, false); });
    EXPECT_EQ(alphaAt(image, 40, 70), 255); // not a partly covered pixel at 40.4
    EXPECT_EQ(alphaAt(image, 139, 70), 255);
    EXPECT_EQ(alphaAt(image, 140, 70), 0);
}

TEST(LBGraphicDrawing, FillPicturesAreDrawnAsThePlatformDrawsUnflippedPictures)
{
    // The fill picture's last row comes out on top, as the platform draws a picture that
    // does not respect the flipped page; the builders of fill pictures make them so.
    auto graphic = paintedGraphic(0, 0);
    graphic->setDrawsStroke(false);
    graphic->setImage(twoBandPicture(Qt::magenta, Qt::cyan), LBGraphic::FillImageType);
    graphic->fillPicture = twoBandPicture(Qt::magenta, Qt::cyan);
    const QImage image = renderImage([&] { graphic->drawInView(nullptr, false); });
    EXPECT_EQ(image.pixel(90, 45), QColor(Qt::cyan).rgb());
    EXPECT_EQ(image.pixel(90, 95), QColor(Qt::magenta).rgb());
}

// Rectangles and ovals are drawn the painter's own ways: the same pixels as the outline's
// path stroked and filled, but for a rectangle's fill, which is the painter's rectangle.
TEST(LBGraphicDrawing, RectanglesAndOvalsLookAsTheirOutlines)
{
    struct Case
    {
        bool oval;
        double rotation;
        double width;
        qint64 dashCount;
        qint64 shadowType;
        double scale;
    };
    const Case cases[] = {
        {false, 0, 2, 0, 0, 1},   {false, 0, 2.5, 0, 0, 2.5}, {false, 30, 1, 0, 0, 1},
        {false, 0, 3, 2, 0, 1},   {false, 0, 2, 0, 1, 1},     {true, 0, 2, 0, 0, 1},
        {true, 55, 1.5, 0, 0, 2}, {true, 0, 3, 2, 0, 1},      {true, 0, 2, 0, 1, 1},
    };
    for (const Case& c : cases) {
        auto graphic = std::make_shared<OutlinedGraphic>();
        graphic->oval = c.oval;
        graphic->setBounds(QRectF(20.3, 30.6, 101.25, 61.5));
        graphic->setStrokeColor(QColor(200, 30, 20));
        graphic->setStrokeLineWidth(c.width);
        graphic->setFillColor(QColor(20, 60, 220, 200));
        graphic->setFillType(1);
        graphic->setRotation(c.rotation);
        if (c.dashCount != 0)
            graphic->setLineDash({6, 3, 0, 0}, c.dashCount);
        graphic->setShadowInfo(c.shadowType, 3, 2, 90, 0.5, Qt::black);
        const auto draw = [&](const std::function<void(QPainter&)>& paint) {
            QImage image(QSize(300, 250) * c.scale, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(c.scale, c.scale);
            GraphicsContext context(&painter);
            GraphicsContext::Scope scope(context);
            paint(painter);
            return image;
        };
        const QImage drawn = draw([&](QPainter&) { graphic->drawInView(nullptr, false); });
        const QImage outlined = draw([&](QPainter& painter) {
            const QRectF b = graphic->bounds();
            painter.translate(b.center());
            painter.rotate(c.rotation);
            painter.translate(-b.center());
            const platform::BezierPath path = *graphic->bezierPath();
            const QColor fill = graphic->fillColor();
            const QColor stroke = graphic->strokeColor();
            const auto shadowed = [&](const QRectF& bounds, const std::function<void()>& paint) {
                if (c.shadowType == 1)
                    graphic->startShadow(bounds);
                paint();
                if (c.shadowType == 1)
                    graphic->stopShadow();
            };
            if (c.shadowType == 1) {
                shadowed(path.strokeBounds(), [&] {
                    GraphicsContext::current()->painter()->strokePath(path.toPainterPath(),
                                                                      path.strokePen(stroke));
                });
            }
            shadowed(path.controlPointBounds(), [&] {
                QPainter& p = *GraphicsContext::current()->painter();
                if (c.oval)
                    p.fillPath(path.toPainterPath(), fill);
                else
                    p.fillRect(b, fill);
            });
            painter.strokePath(path.toPainterPath(), path.strokePen(stroke));
        });
        EXPECT_TRUE(drawn == outlined) << c.oval << ' ' << c.rotation << ' ' << c.width << ' '
                                       << c.dashCount << ' ' << c.shadowType;
    }
}
