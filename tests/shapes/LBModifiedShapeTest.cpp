// Adjustable shapes: ranges, defaults, titles and knob masks per class; clamping setters
// and their undo; variants and copies; knob points and drags; the orientation of arrow
// heads and triangles with its flips and the single beep of an unknown angle.

#include "ShapeTestSupport.h"

#include "platform/ui/Beep.h"
#include "shapes/LBArcEndRect.h"
#include "shapes/LBArrow.h"
#include "shapes/LBArrowHead.h"
#include "shapes/LBCross.h"
#include "shapes/LBGear.h"
#include "shapes/LBIsocelesTrapezoid.h"
#include "shapes/LBOneRoundCorner.h"
#include "shapes/LBPolygon.h"
#include "shapes/LBReverseRoundedRect.h"
#include "shapes/LBReverseTwoRoundCorner.h"
#include "shapes/LBRightTriangle.h"
#include "shapes/LBRoundedRect.h"
#include "shapes/LBStarPolygon.h"
#include "shapes/LBThreeRoundCorner.h"
#include "shapes/LBTriangle.h"
#include "shapes/LBTwoRoundCorner.h"
#include "shapes/LBTwoRoundCorner2.h"
#include "shapes/LBWedge.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

struct ClassCase
{
    std::shared_ptr<LBModifiedShape> shape;
    double min1, max1, default1, min2, max2, default2;
    const char* title;
    bool hasModifier2;
    qint64 knobMask;
};

template <typename T>
std::shared_ptr<LBModifiedShape> fresh()
{
    return std::make_shared<T>();
}

} // namespace

TEST(LBModifiedShape, RangesDefaultsTitlesAndKnobsPerClass)
{
    const ClassCase cases[] = {
        {fresh<LBModifiedShape>(), 0, 0, 0, 0, 0, 0, "", false, 0xff},
        {fresh<LBPolygon>(), 3, 13, 5, 0, 0, 0, "Sides", false, 0xff},
        {fresh<LBRoundedRect>(), 0.01, 0.5, 0.25, 0, 0, 0, "", false, 0x1ff},
        {fresh<LBReverseRoundedRect>(), 0.01, 0.5, 0.25, 0, 0, 0, "", false, 0x1ff},
        {fresh<LBTwoRoundCorner>(), 0.01, 0.5, 0.25, 0, 0, 0, "", false, 0x1ff},
        {fresh<LBThreeRoundCorner>(), 0.01, 0.5, 0.25, 0, 0, 0, "", false, 0x1ff},
        {fresh<LBOneRoundCorner>(), 0.01, 0.99, 0.25, 0, 0, 0, "", false, 0x1ff},
        {fresh<LBReverseTwoRoundCorner>(), 0.01, 0.99, 0.25, 0, 0, 0, "", false, 0x1ff},
        {fresh<LBTwoRoundCorner2>(), 0.01, 0.99, 0.25, 0, 0, 0, "", false, 0x1ff},
        {fresh<LBCross>(), 0.01, 0.95, 0.5, 0, 0, 0, "", false, 0x1ff},
        {fresh<LBStarPolygon>(), 3, 25, 8, 0.005, 0.45, 0.25, "Points", false, 0x2ff},
        {fresh<LBArcEndRect>(), 0.01, 0.5, 0.25, 0, 0, 0, "", false, 0x1ff},
        {fresh<LBGear>(), 3, 25, 5, 0.01, 0.95, 0.5, "Sides", true, 0x2ff},
        {fresh<LBWedge>(), 90, 450, 90, 0, 360, 90, "", true, 0x3ff},
        {fresh<LBIsocelesTrapezoid>(), 0, 0.5, 0.25, 0, 0, 0, "", false, 0x1ff},
        {fresh<LBArrowHead>(), 0, 0.95, 0.25, 0, 0, 0, "", false, 0x1ff},
        {fresh<LBArrow>(), 0.01, 0.99, 0.6, 0.01, 0.49, 0.3, "", false, 0x1ff},
    };
    for (const ClassCase& c : cases) {
        const LBModifiedShape& s = *c.shape;
        SCOPED_TRACE(s.graphicType().toStdString());
        EXPECT_EQ(s.minModifier1(), c.min1);
        EXPECT_EQ(s.maxModifier1(), c.max1);
        EXPECT_EQ(s.modifier1(), c.default1);
        EXPECT_EQ(s.minModifier2(), c.min2);
        EXPECT_EQ(s.maxModifier2(), c.max2);
        EXPECT_EQ(s.modifier2(), c.default2);
        EXPECT_EQ(s.alternateShape(), 0);
        EXPECT_EQ(s.modifier1Title(), QString::fromLatin1(c.title));
        EXPECT_EQ(s.modifier2Title(), "");
        EXPECT_EQ(s.hasModifier2(), c.hasModifier2);
        // Constant masks: no effect-location knobs even with an effect knob type set.
        c.shape->setEffectLocationKnobType(1, 0);
        EXPECT_EQ(s.knobMask() & 0xfff, c.knobMask & 0xfff);
    }
    // The base class's drag changes nothing and ends the drag.
    LBModifiedShape base;
    EXPECT_EQ(base.moveModifierKnob(9, QPointF(5, 5), false), 0);
}

TEST(LBModifiedShape, SettersClampAndUndoToTheValueBeforeTheCall)
{
    RecordingDocument document;
    const auto polygon = shapeInDocument<LBPolygon>(document, {0, 0, 100, 100});
    const auto rounded = shapeInDocument<LBRoundedRect>(document, {0, 0, 100, 100});
    NotificationCounter changes(LBGraphicDidChange, polygon.get());

    struct Case
    {
        LBModifiedShape* shape;
        bool second;
        double value, stored, before;
    };
    const Case cases[] = {
        {polygon.get(), false, 100, 13, 5},
        {polygon.get(), false, 5.7, 5.7, 5},
        {rounded.get(), false, 0.001, 0.01, 0.25},
        {rounded.get(), false, qQNaN(), 0.01, 0.25},
        {polygon.get(), true, 7, 0, 0}, // an unused second modifier stays 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::number(c.value).toStdString());
        const auto get = [&] { return c.second ? c.shape->modifier2() : c.shape->modifier1(); };
        document.step([&] {
            if (c.second)
                c.shape->setModifier2(c.value);
            else
                c.shape->setModifier1(c.value);
        });
        EXPECT_EQ(get(), c.stored);
        document.undo();
        EXPECT_EQ(get(), c.before);
    }
    EXPECT_GT(changes.count, 0);

    // A minimum that depends on the variant is read at each set.
    const auto arrow = makeShape<LBArrow>({0, 0, 100, 50});
    arrow->setModifier1(0.3);
    arrow->setAlternateShape(LBArrow::DoubleHeaded);
    EXPECT_EQ(arrow->modifier1(), 0.3);
    arrow->setModifier1(0.4);
    EXPECT_EQ(arrow->modifier1(), 0.51);
}

TEST(LBModifiedShape, VariantsAreStoredPlainlyAndCopiesKeepTheirModifiers)
{
    RecordingDocument document;
    const auto arrow = shapeInDocument<LBArrow>(document, {0, 0, 100, 50});
    NotificationCounter changes(LBGraphicDidChange, arrow.get());
    arrow->setAlternateShape(2);
    EXPECT_EQ(arrow->alternateShape(), 2);
    EXPECT_FALSE(document.canUndo());
    EXPECT_EQ(changes.count, 0);

    // Rounded ends: the ratio 0.5 and no knob.
    const auto rounded = makeShape<LBRoundedRect>({0, 0, 100, 40});
    rounded->setAlternateShape(LBRoundedRect::RoundedEnds);
    EXPECT_EQ(rounded->modifier1(), 0.5);
    EXPECT_EQ(rounded->knobMask(), 0xff);
    const auto roundedCopy = std::static_pointer_cast<LBRoundedRect>(rounded->copy());
    EXPECT_EQ(roundedCopy->alternateShape(), 1);
    EXPECT_EQ(roundedCopy->modifier1(), 0.5);
    const auto plain =
        makeShape<LBRoundedRect>({0, 0, 100, 40}, 0, [](LBRoundedRect& s) { s.setModifier1(0.3); });
    EXPECT_EQ(std::static_pointer_cast<LBRoundedRect>(plain->copy())->modifier1(), 0.3);

    // The classic star, and a copy of one given seven points keeps them.
    const auto star = makeShape<LBStarPolygon>({0, 0, 100, 100});
    star->setAlternateShape(LBStarPolygon::ClassicStar);
    EXPECT_EQ(star->modifier1(), 5.0);
    EXPECT_EQ(star->modifier2(), 0.6 / std::numbers::pi);
    star->setModifier1(7);
    const auto starCopy = std::static_pointer_cast<LBStarPolygon>(star->copy());
    EXPECT_EQ(starCopy->alternateShape(), 1);
    EXPECT_EQ(starCopy->modifier1(), 7.0);
}

namespace {

struct KnobCase
{
    const char* what;
    std::shared_ptr<LBModifiedShape> shape;
    qint64 knob;
    QPointF knobPoint; // where the knob sits before the drag
    QPointF dragTo;
    double modifier1, modifier2; // after the drag
};

template <typename T>
std::shared_ptr<LBModifiedShape> knobbed(const QRectF& bounds,
                                         const std::function<void(T&)>& setUp = {})
{
    return makeShape<T>(bounds, 0.0, setUp);
}

} // namespace

TEST(LBModifiedShape, KnobPointsAndDrags)
{
    const KnobCase cases[] = {
        {"rounded rectangle: knob on the right edge, the height below the top",
         knobbed<LBRoundedRect>({0, 0, 100, 40}, [](auto& s) { s.setModifier1(0.5); }),
         9,
         {100, 20},
         {100, 10},
         0.25,
         0},
        {"corner variant: the same knob and drag",
         knobbed<LBOneRoundCorner>({10, 10, 100, 40}),
         9,
         {110, 20},
         {60, 46},
         0.9,
         0},
        {"cross: a drag to the right edge of a wide shape asks 1.0 and stores 0.95",
         knobbed<LBCross>({0, 0, 200, 100}),
         9,
         {125, 25},
         {200, 0},
         0.95,
         0},
        {"star: knob 10 on the inner corner right of the top; distance over the width",
         knobbed<LBStarPolygon>({0, 0, 100, 100}),
         10,
         {50 + 25 * std::cos(3 * std::numbers::pi / 8),
          50 - 25 * std::sin(3 * std::numbers::pi / 8)},
         {50, 20},
         8,
         0.3},
        {"gear: knob 10 on the last root corner; twice the distance over the width",
         knobbed<LBGear>({0, 0, 100, 100}),
         10,
         {50 + 25 * std::cos(-0.3 * std::numbers::pi), 50 - 25 * std::sin(-0.3 * std::numbers::pi)},
         {50, 10},
         5,
         0.8},
        {"wedge: knob 10 straight below the centre sweeps 180",
         knobbed<LBWedge>({0, 0, 100, 100}),
         10,
         {75, 50},
         {50, 90},
         90,
         180},
        {"wedge: knob 9 turns the slice without changing its sweep",
         knobbed<LBWedge>({0, 0, 100, 100}),
         9,
         {50 + 50 * std::cos(-std::numbers::pi / 4), 50 + 50 * std::sin(-std::numbers::pi / 4)},
         {100, 50},
         405,
         90},
        {"rectangle with bulging ends",
         knobbed<LBArcEndRect>({0, 0, 100, 40}),
         9,
         {75, 0},
         {60, 30},
         0.4,
         0},
        {"trapezoid", knobbed<LBIsocelesTrapezoid>({0, 0, 100, 50}), 9, {75, 0}, {90, 5}, 0.1, 0},
        {"arrow head pointing left: 50 left of the right edge of 200 is 0.25",
         knobbed<LBArrowHead>({0, 0, 200, 100},
                              [](auto& s) {
                                  s.setAngle(90);
                                  s.setModifier1(0.5);
                              }),
         9,
         {100, 50},
         {150, 20},
         0.25,
         0},
        {"arrow head pointing up",
         knobbed<LBArrowHead>({0, 0, 100, 100}),
         9,
         {50, 75},
         {0, 40},
         0.6,
         0},
        {"arrow head of an unknown angle: the knob at the origin, a drag sets 0",
         knobbed<LBArrowHead>({0, 0, 100, 100}, [](auto& s) { s.setAngle(45); }),
         9,
         {0, 0},
         {70, 70},
         0,
         0},
        {"arrow: both modifiers",
         knobbed<LBArrow>({0, 0, 100, 50}),
         9,
         {60, 15},
         {30, 10},
         0.3,
         0.2},
        {"flipped arrow: the knob and the drag mirrored",
         knobbed<LBArrow>({0, 0, 100, 50}, [](auto& s) { s.setFlippedHorizontally(true); }),
         9,
         {40, 15},
         {30, 10},
         0.7,
         0.2},
    };
    for (const KnobCase& c : cases) {
        SCOPED_TRACE(c.what);
        LBModifiedShape& s = *c.shape;
        const QPointF point = c.knob == 9 ? s.modifierKnob1Point() : s.modifierKnob2Point();
        EXPECT_NEAR(point.x(), c.knobPoint.x(), 1e-9);
        EXPECT_NEAR(point.y(), c.knobPoint.y(), 1e-9);
        EXPECT_EQ(s.moveModifierKnob(c.knob, c.dragTo, true), c.knob);
        EXPECT_NEAR(s.modifier1(), c.modifier1, 1e-9);
        EXPECT_NEAR(s.modifier2(), c.modifier2, 1e-9);
    }
    // A wedge's knob 9 follows the pointer.
    const auto wedge = knobbed<LBWedge>({0, 0, 100, 100});
    wedge->moveModifierKnob(9, {100, 50}, false);
    EXPECT_NEAR(wedge->modifierKnob1Point().x(), 100, 1e-9);
    EXPECT_NEAR(wedge->modifierKnob1Point().y(), 50, 1e-9);
    EXPECT_EQ(LBWedge::bearing({50, 50}, {0, 0, 100, 100}), 0.0);
    EXPECT_EQ(LBWedge::bearing({0, 50}, {0, 0, 100, 100}), 270.0);
}

namespace {

struct FlipCase
{
    const char* what;
    std::function<std::shared_ptr<LBShape>(qint64)> make;
    std::function<qint64(const LBShape&)> angle;
    bool horizontal;
    qint64 from, to;
};

template <typename T>
FlipCase flip(const char* what, bool horizontal, qint64 from, qint64 to)
{
    return {what,
            [](qint64 angle) {
                auto s = std::make_shared<T>();
                s->setAngle(angle);
                return std::static_pointer_cast<LBShape>(s);
            },
            [](const LBShape& s) { return static_cast<const T&>(s).angle(); },
            horizontal,
            from,
            to};
}

} // namespace

TEST(OrientedShapes, FlipsTurnTheShapeUndoablyAndNeverMirrorIt)
{
    const FlipCase cases[] = {
        flip<LBArrowHead>("arrow head: left and right swap", true, 90, 270),
        flip<LBArrowHead>("arrow head: up stays up horizontally", true, 0, 0),
        flip<LBArrowHead>("arrow head: up and down swap", false, 0, 180),
        flip<LBArrowHead>("arrow head: left stays left vertically", false, 90, 90),
        flip<LBTriangle>("triangle: right becomes left", true, 270, 90),
        flip<LBTriangle>("triangle: down stays down horizontally", true, 180, 180),
        flip<LBTriangle>("triangle: down becomes up", false, 180, 0),
        flip<LBRightTriangle>("right triangle: bottom right to bottom left", true, 0, 180),
        flip<LBRightTriangle>("right triangle: top right to top left", true, 90, 270),
        flip<LBRightTriangle>("right triangle: bottom right to top right", false, 0, 90),
        flip<LBRightTriangle>("right triangle: top right to bottom right", false, 90, 0),
        flip<LBRightTriangle>("right triangle: bottom left to top left", false, 180, 270),
        flip<LBRightTriangle>("right triangle: top left to bottom left", false, 270, 180),
    };
    for (const FlipCase& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingDocument document;
        const std::shared_ptr<LBShape> shape = c.make(c.from);
        shape->setDocument(&document);
        NotificationCounter changes(LBGraphicDidChange, shape.get());
        document.step([&] {
            if (c.horizontal)
                shape->flipHorizontally();
            else
                shape->flipVertically();
        });
        EXPECT_EQ(c.angle(*shape), c.to);
        EXPECT_FALSE(shape->flippedHorizontally());
        EXPECT_FALSE(shape->flippedVertically());
        EXPECT_EQ(document.canUndo(), c.from != c.to);
        EXPECT_EQ(changes.count > 0, c.from != c.to);
        if (c.from != c.to) {
            document.undo();
            EXPECT_EQ(c.angle(*shape), c.from);
        }
    }
}

TEST(OrientedShapes, AnUnknownAngleDrawsNothingAndBeepsOnce)
{
    struct Case
    {
        std::shared_ptr<LBShape> shape;
        const char* key;
        const char* angle;
    };
    const Case cases[] = {
        {makeShape<LBArrowHead>({0, 0, 100, 100}, 0, [](auto& s) { s.setAngle(45); }),
         "ArrowHeadAngle", "45"},
        {makeShape<LBTriangle>({0, 0, 100, 100}, 0, [](auto& s) { s.setAngle(45); }),
         "TriangleAngle", "45"},
        {makeShape<LBRightTriangle>({0, 0, 100, 100}, 0, [](auto& s) { s.setAngle(-90); }),
         "RightTriangleAngle", "-90"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const quint64 before = platform::beepCount();
        for (int i = 0; i < 3; ++i) {
            const std::optional<platform::BezierPath> path = c.shape->shapeBezierPath();
            ASSERT_TRUE(path);
            EXPECT_TRUE(path->isEmpty());
            EXPECT_FALSE(c.shape->hitTest({50, 50}, false, nullptr));
        }
        EXPECT_EQ(platform::beepCount(), before + 1);
        // Flips leave an unknown angle alone, and it is written back as it is.
        c.shape->flipHorizontally();
        c.shape->flipVertically();
        EXPECT_EQ(c.shape->propertyListRepresentation().value(c.key), c.angle);
    }
}
