#include "graphics/LBGradientFill.h"

#include "platform/drawing/GraphicsContext.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

#include <cmath>

using platform::OffscreenContext;

namespace {

const QRectF kRect(0, 0, 100, 50);

::testing::AssertionResult near(const QPointF& actual, const QPointF& expected)
{
    if (std::abs(actual.x() - expected.x()) < 1e-9 && std::abs(actual.y() - expected.y()) < 1e-9)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual.x() << ", " << actual.y() << ") instead of (" << expected.x() << ", "
           << expected.y() << ")";
}

struct Painted
{
    QImage image;
    QRgb at(int x, int y) const { return image.pixel(x, y); }
    // Premultiplied pixels: opaque ones read as plain colours.
    bool allOpaque() const
    {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) != 255)
                    return false;
        return true;
    }
};

// Paints the gradient for (0, 0, 100, 50) from red to blue into a 100 × 50 image.
Painted paint(qint64 type, double center, double centerSize, double angle,
              const QColor& start = Qt::red, const QColor& end = Qt::blue)
{
    LBGradientFill fill;
    fill.setGradientType(type, center, centerSize, angle);
    fill.setStartColor(start, end);
    OffscreenContext offscreen(QSize(100, 50));
    fill.drawGradientInRect(kRect);
    return {offscreen.image()};
}

} // namespace

TEST(LBGradientFill, InitialValues)
{
    const LBGradientFill fill;
    EXPECT_EQ(fill.gradientType(), 2);
    EXPECT_EQ(fill.gradientCenter(), -1.0);
    EXPECT_EQ(fill.gradientCenterSize(), 0.0);
    EXPECT_EQ(fill.gradientAngle(), 0.0);
    EXPECT_FALSE(fill.startColor().isValid());
    EXPECT_FALSE(fill.endColor().isValid());

    // No colours: both ends transparent black, so nothing shows.
    OffscreenContext offscreen(QSize(100, 50));
    fill.drawGradientInRect(kRect);
    const QImage image = offscreen.image();
    EXPECT_EQ(image.pixel(50, 10), 0u);
    EXPECT_EQ(image.pixel(50, 40), 0u);
}

TEST(LBGradientFill, AngleReduction)
{
    struct Case
    {
        double angle;
        double theta;
        bool reversed;
        bool mirrored;
    };
    const Case cases[] = {
        {0, 0, false, false},
        {45, 45, false, true},
        {90, 89.95, false, true},
        {135, 45, true, false},
        {180, 0, true, false},
        {225, 45, true, true},
        {270, 89.95, false, false},
        {315, 45, false, false},
        {360, 0, false, false},
        {400, 40, false, true},
        {-30, 30, false, true},
        // Beyond the table's reach: one turn less, or the absolute value.
        {450, 89.95, false, true},
        {495, 45, true, false},
        {-135, 45, true, false},
        {std::nan(""), 0, false, false},
    };
    for (const Case& c : cases) {
        const LBGradientFill::AngleReduction r = LBGradientFill::reduceAngle(c.angle);
        EXPECT_DOUBLE_EQ(r.theta, c.theta) << c.angle;
        EXPECT_EQ(r.reversed, c.reversed) << c.angle;
        EXPECT_EQ(r.mirrored, c.mirrored) << c.angle;
    }
}

TEST(LBGradientFill, ShadingGeometry)
{
    struct Case
    {
        qint64 type;
        double angle;
        double position;
        QPointF start;
        QPointF center;
        double radius;
    };
    const Case cases[] = {
        {2, 0, 1.0, {50, 0}, {50, 50}, 0},
        {2, 0, 0.5, {50, 0}, {50, 25}, 0},
        {2, 0, 0.0, {50, 0}, {50, 0}, 0},
        {2, 180, 1.0, {50, 0}, {50, 0}, 0}, // reversed: position 1 is the top
        {2, 180, 0.25, {50, 0}, {50, 37.5}, 0},
        {3, 0, 0.5, {50, 0}, {50, 25}, 25},
        {3, 0, 0.0, {50, 0}, {50, 0}, 37.5},
        {3, 0, 1.0, {50, 0}, {50, 50}, 37.5},
        {3, 0, 0.8, {50, 0}, {50, 40}, 32.5},
        // Any type but the linear one is radial and has its radius (a text gradient of
        // type 1 would otherwise paint nothing).
        {1, 0, 0.5, {50, 0}, {50, 25}, 25},
        {1, 0, 1.0, {50, 0}, {50, 50}, 37.5},
    };
    for (const Case& c : cases) {
        const auto s = LBGradientFill::shadingGeometry(c.type, c.angle, c.position, kRect);
        EXPECT_TRUE(near(s.startPoint, c.start)) << c.type << "/" << c.angle << "/" << c.position;
        EXPECT_TRUE(near(s.centerPoint, c.center)) << c.type << "/" << c.angle << "/" << c.position;
        EXPECT_DOUBLE_EQ(s.radius, c.radius) << c.type << "/" << c.angle << "/" << c.position;
    }

    // 45 degrees on a square: the axis is the diagonal, position 0 and 1 its corners,
    // mirrored so it runs from the top-right corner to the bottom-left one.
    const QRectF square(10, 20, 40, 40);
    EXPECT_TRUE(near(LBGradientFill::shadingGeometry(2, 45, 0, square).centerPoint, {50, 20}));
    EXPECT_TRUE(near(LBGradientFill::shadingGeometry(2, 45, 1, square).centerPoint, {10, 60}));
    EXPECT_TRUE(near(LBGradientFill::shadingGeometry(2, 45, 0.5, square).centerPoint, {30, 40}));

    // 90 degrees is drawn at 89.95: right to left, the axis a little off horizontal.
    const auto at90 = LBGradientFill::shadingGeometry(2, 90, 1, kRect);
    EXPECT_GT(at90.startPoint.x(), 99.0);
    EXPECT_LT(at90.centerPoint.x(), 1.0);
    EXPECT_NE(at90.startPoint.y(), at90.centerPoint.y());
    EXPECT_NEAR(at90.startPoint.y(), at90.centerPoint.y(), 0.1);

    // The member form uses the fill's own type and angle.
    LBGradientFill fill;
    fill.setGradientType(3, -1, 0, 0);
    QPointF start, center;
    double radius = -1;
    fill.calculateGradientStartPoint(start, center, radius, 0.5, kRect);
    EXPECT_TRUE(near(center, {50, 25}));
    EXPECT_DOUBLE_EQ(radius, 25.0);
}

TEST(LBGradientFill, DrawingPlan)
{
    using Shadings = QList<std::pair<QPointF, QPointF>>;
    struct Case
    {
        const char* name;
        qint64 type;
        double center;
        double size;
        double angle;
        Shadings shadings;
        std::optional<std::pair<QPointF, QPointF>> band;
    };
    const Case cases[] = {
        {"plain", 2, 1, 0, 0, {{{50, 0}, {50, 50}}, {{50, 50}, {50, 50}}}, {}},
        {"unset position reads as plain",
         2,
         -1,
         0,
         0,
         {{{50, 0}, {50, 50}}, {{50, 50}, {50, 50}}},
         {}},
        {"reflected in the middle", 2, 0.5, 0, 0, {{{50, 0}, {50, 25}}, {{50, 50}, {50, 25}}}, {}},
        {"plain with a centre size",
         2,
         1,
         0.01,
         0,
         {{{50, 0}, {50, 49.75}}, {{50, 50}, {50, 50.25}}},
         {{{50, 49.75}, {50, 50}}}},
        {"reflected with a centre size",
         2,
         0.5,
         0.2,
         0,
         {{{50, 0}, {50, 20}}, {{50, 50}, {50, 30}}},
         {{{50, 20}, {50, 30}}}},
        {"reflected off centre",
         2,
         0.3,
         0.2,
         0,
         {{{50, 0}, {50, 10}}, {{50, 50}, {50, 20}}},
         {{{50, 10}, {50, 20}}}},
        // Upwards: position 0 at the bottom; the band stays centred on the position.
        {"reflected upwards",
         2,
         0.3,
         0.2,
         180,
         {{{50, 50}, {50, 40}}, {{50, 0}, {50, 30}}},
         {{{50, 40}, {50, 30}}}},
        {"plain upwards", 2, 1, 0, 180, {{{50, 50}, {50, 0}}, {{50, 0}, {50, 0}}}, {}},
        {"position beyond the end: no reflected half", 2, 1.2, 0, 0, {{{50, 0}, {50, 60}}}, {}},
        {"radial, unset position", 3, -1, 0.2, 0, {{{50, 0}, {50, 25}}}, {}},
        {"other type, unset position: nothing", 0, -1, 0, 0, {}, {}},
    };
    for (const Case& c : cases) {
        const LBGradientFill::Plan plan =
            LBGradientFill::planForRect(c.type, c.center, c.size, c.angle, kRect);
        ASSERT_EQ(plan.shadings.size(), c.shadings.size()) << c.name;
        for (qsizetype i = 0; i < plan.shadings.size(); ++i) {
            EXPECT_TRUE(near(plan.shadings[i].startPoint, c.shadings[i].first))
                << c.name << " #" << i;
            EXPECT_TRUE(near(plan.shadings[i].centerPoint, c.shadings[i].second))
                << c.name << " #" << i;
        }
        ASSERT_EQ(plan.centerBand.has_value(), c.band.has_value()) << c.name;
        if (c.band) {
            EXPECT_TRUE(near(plan.centerBand->from, c.band->first)) << c.name;
            EXPECT_TRUE(near(plan.centerBand->to, c.band->second)) << c.name;
        }
    }
    EXPECT_DOUBLE_EQ(LBGradientFill::planForRect(3, -1, 0, 0, kRect).shadings[0].radius, 25.0);
}

TEST(LBGradientFill, LinearDirections)
{
    // A plain gradient runs from start to end: downwards at 0, right to left at 90,
    // upwards at 180 and left to right at 270.
    struct Case
    {
        double angle;
        QPoint startSide;
        QPoint endSide;
    };
    const Case cases[] = {
        {0, {50, 0}, {50, 49}},
        {90, {99, 25}, {0, 25}},
        {180, {50, 49}, {50, 0}},
        {270, {0, 25}, {99, 25}},
    };
    for (const Case& c : cases) {
        const Painted painted = paint(2, 1, 0, c.angle);
        EXPECT_TRUE(painted.allOpaque()) << c.angle;
        EXPECT_GT(qRed(painted.at(c.startSide.x(), c.startSide.y())), 235) << c.angle;
        EXPECT_GT(qBlue(painted.at(c.endSide.x(), c.endSide.y())), 235) << c.angle;
    }
    // Linear in between: the middle row is half way.
    const QRgb middle = paint(2, 1, 0, 0).at(50, 25);
    EXPECT_NEAR(qRed(middle), 125, 6);
    EXPECT_NEAR(qBlue(middle), 130, 6);
}

TEST(LBGradientFill, CentreBandIsPainted)
{
    // Reflected with a centre size of 0.2 (10 px on a 50 px axis) at both orientations.
    for (double angle : {0.0, 180.0}) {
        const Painted reflected = paint(2, 0.5, 0.2, angle);
        EXPECT_TRUE(reflected.allOpaque()) << angle;
        for (int y = 20; y < 30; ++y)
            EXPECT_EQ(reflected.at(50, y), qRgb(0, 0, 255)) << angle << " row " << y;
        EXPECT_GT(qRed(reflected.at(50, 0)), 235) << angle;
        EXPECT_GT(qRed(reflected.at(50, 49)), 235) << angle;
    }

    // Off centre and upwards: the band sits around position 0.3 from the bottom (y 30-40)
    // with the colours rising evenly towards it from both sides.
    const Painted upwards = paint(2, 0.3, 0.2, 180);
    EXPECT_TRUE(upwards.allOpaque());
    for (int y = 30; y < 40; ++y)
        EXPECT_EQ(upwards.at(50, y), qRgb(0, 0, 255)) << "row " << y;
    // Rows 44 and 16 sit 55 % of the way along the 10 px and the 30 px ramp.
    EXPECT_NEAR(qBlue(upwards.at(50, 44)), qBlue(upwards.at(50, 16)), 4);
    EXPECT_NEAR(qBlue(upwards.at(50, 44)), 140, 4);

    // A plain gradient with a centre size: the last strip holds the end colour.
    const Painted plain = paint(2, 1, 0.1, 0);
    EXPECT_TRUE(plain.allOpaque());
    EXPECT_EQ(plain.at(50, 48), qRgb(0, 0, 255));
    EXPECT_EQ(plain.at(50, 49), qRgb(0, 0, 255));
}

TEST(LBGradientFill, RadialCentreAndOutside)
{
    const Painted radial = paint(3, 0.5, 0.2, 0);
    EXPECT_TRUE(radial.allOpaque());
    EXPECT_EQ(radial.at(50, 25), qRgb(0, 0, 255)); // within 0.2 × 25 = 5 of the centre
    EXPECT_EQ(radial.at(53, 25), qRgb(0, 0, 255));
    EXPECT_EQ(radial.at(0, 0), qRgb(255, 0, 0)); // beyond the radius: start colour
    EXPECT_EQ(radial.at(99, 25), qRgb(255, 0, 0));
    const QRgb between = radial.at(50, 10); // 15 from the centre: half way
    EXPECT_NEAR(qRed(between), 128, 8);
}

TEST(LBGradientFill, KeepsToTheClipAndBlendsComponents)
{
    LBGradientFill fill;
    fill.setGradientType(2, 1, 0, 270);
    fill.setStartColor(QColor(255, 0, 0), QColor(0, 0, 255, 0));
    OffscreenContext offscreen(QSize(100, 50));
    QPainterPath clip;
    clip.addEllipse(kRect);
    offscreen.painter()->setClipPath(clip);
    fill.drawGradientInRect(kRect);
    const QImage image = offscreen.image();

    EXPECT_EQ(qAlpha(image.pixel(1, 1)), 0); // outside the ellipse
    // Red to transparent blue, each component blended on its own: half way the colour
    // is half red, half blue at half opacity.
    const QColor middle = QColor::fromRgba(image.pixel(50, 25)).toRgb();
    const QColor unpremultiplied = QColor::fromRgba(qUnpremultiply(image.pixel(50, 25)));
    EXPECT_NEAR(middle.alpha(), 128, 6);
    EXPECT_NEAR(unpremultiplied.red(), 128, 8);
    EXPECT_NEAR(unpremultiplied.blue(), 128, 8);

    // Without a current context nothing happens.
    fill.drawGradientInRect(kRect);
}
