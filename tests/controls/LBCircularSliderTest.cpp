// The circular slider: units, snapping, constraining, the knob's place, and tracking.

#include "controls/LBCircularSlider.h"

#include <QSignalSpy>

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

namespace {

constexpr double Pi = std::numbers::pi;

double compassAngle(const LBCircularSlider& slider)
{
    double angle = 0;
    slider.getAngle(&angle, nullptr);
    return angle;
}

} // namespace

TEST(LBCircularSliderTest, SnapsOnTheRadianAngle)
{
    LBCircularSlider slider;
    slider.setNumberOfSnapMarks(72);
    const std::pair<double, double> cases[] = {{7, 5}, {8, 10}, {0, 0}, {182, 180}, {358, 0}};
    for (const auto& [set, read] : cases) {
        slider.setAngle(set, 1);
        // Compared round the circle: 359.999… is 0.
        EXPECT_NEAR(std::remainder(compassAngle(slider) - read, 360.0), 0, 1e-9) << set;
    }
    slider.setNumberOfSnapMarks(360);
    slider.setAngle(350, 1);
    EXPECT_NEAR(compassAngle(slider), 350, 1e-9);
    EXPECT_GT(slider.radianAngle(), -Pi);
    EXPECT_LE(slider.radianAngle(), Pi);
    // Radian units pass unchanged (on a mark).
    slider.setAngleUnits(LBCircularSlider::RadianUnits);
    slider.setSnapBehavior(LBCircularSlider::SnapNever);
    slider.setAngle(1.0, 1);
    EXPECT_DOUBLE_EQ(slider.angle(), 1.0);
}

TEST(LBCircularSliderTest, ConstrainsTheDistance)
{
    struct Case
    {
        bool centre, nonEdge;
        double set, angle, distance;
    };
    const Case cases[] = {
        {false, true, 3.0, 90, 2.0},  // above the maximum: cut to it
        {true, false, 0.9, 0, 0.0},   // below half, centre allowed: the centre
        {true, false, 1.0, 90, 2.0},  // half or more: the edge
        {false, false, 0.2, 90, 2.0}, // edge only
        {false, true, 0.0, 90, 0.01}, // no centre: nudged off it, angle 0 (compass 90)
        {true, true, 0.5, 90, 0.5},
    };
    for (const Case& c : cases) {
        LBCircularSlider slider;
        slider.setMaximumDistance(2.0);
        slider.setAllowsCenterPoint(c.centre);
        slider.setAllowsNonEdgePositions(c.nonEdge);
        slider.setAngle(90, c.set);
        double angle = 0, distance = 0;
        slider.getAngle(&angle, &distance);
        EXPECT_NEAR(distance, c.distance, 1e-12) << c.set;
        if (c.distance != 0)
            EXPECT_NEAR(angle, c.angle, 1e-9) << c.set;
        else
            EXPECT_EQ(slider.radianAngle(), 0.0);
    }
}

TEST(LBCircularSliderTest, KnobCentresOnTheDial)
{
    LBCircularSlider slider;
    slider.resize(64, 64);
    // Dial: inset 10.5, radius 21.5, centre (32, 32); the knob runs at 18.5 from it.
    EXPECT_EQ(slider.dialCenter(), QPointF(32, 32));
    const std::pair<double, QPointF> cases[] = {
        {0, {32, 14}},  // top (32 − 18.5 rounded)
        {90, {51, 32}}, // right (32 + 18.5 rounded)
        {225, {std::round(32 - 18.5 / std::sqrt(2.0)), std::round(32 + 18.5 / std::sqrt(2.0))}},
    };
    for (const auto& [angle, centre] : cases) {
        slider.setAngle(angle, 1);
        EXPECT_EQ(slider.knobCenter(), centre) << angle;
        EXPECT_EQ(slider.knobRect().size(), QSizeF(20, 20));
    }
    slider.setHUDAppearance(true);
    EXPECT_EQ(slider.knobRect().size(), QSizeF(12, 12));
    // A window point at the centre gives angle 0 and distance 0 before constraining.
    slider.setAllowsCenterPoint(true);
    slider.setAllowsNonEdgePositions(true);
    slider.setBallToClosestFitForLocationInWindow(QPointF(32, 32));
    EXPECT_EQ(slider.distance(), 0.0);
    EXPECT_EQ(slider.radianAngle(), 0.0);
}

TEST(LBCircularSliderTest, PressesJumpOnlyWhereAllowed)
{
    // From the centre: 3 points (the centre zone), 5 points, h − 7 and h − 6 (h = 21.5).
    struct Case
    {
        bool centre, nonEdge;
        double fromCentre;
        bool jumps;
    };
    const Case cases[] = {
        {true, false, 3, true},    {false, false, 3, false},    {false, false, 5, false},
        {false, true, 5, true},    {false, false, 14.5, false}, {false, false, 15.5, true},
        {false, false, 23, false}, // beyond h + 1
    };
    for (const Case& c : cases) {
        LBCircularSlider slider;
        slider.resize(64, 64);
        slider.setAllowsCenterPoint(c.centre);
        slider.setAllowsNonEdgePositions(c.nonEdge);
        slider.setAngle(0, 1); // knob at the top, away from the presses below
        QSignalSpy sent(&slider, &LBCircularSlider::actionSent);
        slider.trackMouseDown(QPointF(32, 32 + c.fromCentre), {});
        EXPECT_EQ(slider.isTracking(), c.jumps) << c.fromCentre;
        EXPECT_EQ(sent.size(), c.jumps ? 1 : 0) << c.fromCentre;
        if (c.jumps && c.fromCentre > 4) {
            EXPECT_NEAR(compassAngle(slider), 180, 1e-9) << c.fromCentre;
        }
    }
}

TEST(LBCircularSliderTest, DragFollowsThePointerAndReleaseAlwaysSends)
{
    LBCircularSlider slider;
    slider.resize(64, 64);
    slider.setContinuous(false);
    int actions = 0;
    slider.setAction([&](LBCircularSlider* sender) {
        EXPECT_EQ(sender, &slider);
        ++actions;
    });
    slider.setAngle(0, 1);
    const QPointF knob = slider.knobCenter();
    slider.trackMouseDown(knob + QPointF(2, 0), {}); // on the knob, 2 points right of it
    EXPECT_TRUE(slider.knobHighlighted());
    slider.trackMouseDragged(QPointF(52, 32), {}); // the knob keeps the grab offset
    EXPECT_NEAR(compassAngle(slider), 90, 1e-9);
    EXPECT_EQ(actions, 0);
    EXPECT_FALSE(slider.mouseIsDown());
    slider.trackMouseUp(QPointF(52, 32));
    EXPECT_EQ(actions, 1);
    EXPECT_FALSE(slider.knobHighlighted());

    // Continuous: every step sends, and mouse-is-down holds until the release.
    slider.setContinuous(true);
    slider.trackMouseDown(slider.knobCenter(), {});
    slider.trackMouseDragged(QPointF(32, 52), {});
    EXPECT_TRUE(slider.mouseIsDown());
    slider.trackMouseUp(QPointF(32, 52));
    EXPECT_FALSE(slider.mouseIsDown());
    EXPECT_EQ(actions, 3);
}

TEST(LBCircularSliderTest, AltMovesAtATenth)
{
    LBCircularSlider slider;
    slider.resize(64, 64);
    slider.setSnapBehavior(LBCircularSlider::SnapNever);
    slider.setAngle(90, 1); // knob at (51, 32)
    slider.trackMouseDown(slider.knobCenter(), {});
    slider.trackMouseDragged(QPointF(51, 32), Qt::AltModifier); // Alt goes down here
    // 100 points down moves the knob as 10 would.
    slider.trackMouseDragged(QPointF(51, 132), Qt::AltModifier);
    EXPECT_NEAR(slider.radianAngle(), -std::atan2(10.0, 19.0), 1e-9);
    // Without Alt the knob follows the pointer again.
    slider.trackMouseDragged(QPointF(32, 52), {});
    EXPECT_NEAR(compassAngle(slider), 180, 1e-9);
    slider.trackMouseUp(QPointF(32, 52));
}

TEST(LBCircularSliderTest, DisabledSliderIgnoresPresses)
{
    LBCircularSlider slider;
    slider.resize(64, 64);
    slider.setEnabled(false);
    QSignalSpy sent(&slider, &LBCircularSlider::actionSent);
    slider.trackMouseDown(slider.knobCenter(), {});
    slider.trackMouseUp(slider.knobCenter());
    EXPECT_FALSE(slider.isTracking());
    EXPECT_TRUE(sent.isEmpty());
    EXPECT_EQ(slider.effectiveAppearance(), LBCircularSlider::InactiveAppearance);
    slider.setAppearance(-1);
    EXPECT_EQ(slider.appearance(), LBCircularSlider::AutomaticAppearance);
}
