#include "geometry/LBPathEditing.h"
#include "platform/drawing/GraphicsContext.h"

#include "PathTestSupport.h"

#include <QImage>
#include <QRectF>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace LBPathEditing;
using namespace pathtest;
using LBPathGeometry::length;

namespace {

constexpr double kDegree = std::numbers::pi / 180;

// Move, line to (100, 0), curve to (200, 0) through handles (120, 50) and (180, 50), curve
// on to (300, 0) through (220, -50) and (280, -50).
BezierPath wave()
{
    BezierPath path = polyline({{0, 0}, {100, 0}});
    path.curveTo(QPointF(200, 0), QPointF(120, 50), QPointF(180, 50));
    path.curveTo(QPointF(300, 0), QPointF(220, -50), QPointF(280, -50));
    return path;
}

// Restores the class-wide constraint angle after a test changes it.
struct ConstraintAngleGuard
{
    ~ConstraintAngleGuard() { setConstraintAngle(kDefaultConstraintAngle); }
};

} // namespace

TEST(PathPartcodes, Arithmetic)
{
    EXPECT_EQ(partcodeForElement(0), 4u);
    EXPECT_EQ(partcodeForElement(2), 12u);
    EXPECT_EQ(partcodeForElement(-1), 0u);
    EXPECT_EQ(partcodeForControlPoint(1, 2), 13u);
    EXPECT_EQ(partcodeForControlPoint(5, 2), 13u); // the point index is taken mod 4
    EXPECT_EQ(partcodeForControlPoint(2, 0), 6u);

    const BezierPath path = wave();
    EXPECT_EQ(elementTypeForPartcode(path, 8), Type::LineTo);
    EXPECT_EQ(elementTypeForPartcode(path, 14), Type::CurveTo);
    EXPECT_FALSE(elementTypeForPartcode(path, 3));
    EXPECT_FALSE(elementTypeForPartcode(path, 20));

    struct Case
    {
        quint32 partcode;
        bool control;
        QPointF point;
    };
    const Case cases[] = {
        {0, false, {0, 0}},    {3, false, {0, 0}},    {4, false, {0, 0}},    {8, false, {100, 0}},
        {12, true, {120, 50}}, {13, true, {180, 50}}, {14, false, {200, 0}}, {15, false, {0, 0}},
        {9, false, {0, 0}},    {18, false, {300, 0}}, {40, false, {0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isControlPoint(path, c.partcode), c.control) << c.partcode;
        EXPECT_EQ(pointForPartcode(path, c.partcode), c.point) << c.partcode;
    }
    EXPECT_EQ(partcodeForLastPoint(path), 18u);
    EXPECT_EQ(partcodeForLastPoint(polyline({{0, 0}, {1, 1}})), 8u);
    EXPECT_EQ(partcodeForLastPoint(BezierPath()), 0u);

    BezierPath edited = path;
    setControlPoint(edited, QPointF(1, 2), 13);
    EXPECT_EQ(pointForPartcode(edited, 13), QPointF(1, 2));
    setControlPoint(edited, QPointF(7, 7), 9); // a line has no second point: ignored
    EXPECT_EQ(edited.elementAt(1), path.elementAt(1));
}

TEST(PathPartcodes, PointHelpers)
{
    EXPECT_EQ(colinearPointForPoint(QPointF(3, 4), QPointF(10, 10)), QPointF(17, 16));
    EXPECT_TRUE(
        pointsNear(colinearPointForPoint(QPointF(13, 14), QPointF(10, 10), 10), QPointF(4, 2)));
    QPointF a, b;
    colineariseVertex({QPointF(-10, 5), QPointF(0, 0), QPointF(10, 5)}, &a, &b);
    EXPECT_NEAR(std::hypot(a.x(), a.y()), std::hypot(10.0, 5.0), 1e-9);
    EXPECT_NEAR(std::hypot(b.x(), b.y()), std::hypot(10.0, 5.0), 1e-9);
    EXPECT_NEAR(a.x() * b.y() - a.y() * b.x(), 0, 1e-9); // one line through the vertex
    EXPECT_LT(a.x() * b.x() + a.y() * b.y(), 0);         // on opposite sides
    colineariseVertex({QPointF(-10, 5), QPointF(0, 0), QPointF(10, 5)}, nullptr, nullptr);

    // Squares of side 4 centred on the points; the low edges belong to them, the high do not.
    const QList<QPointF> points{{0, 0}, {10, 0}};
    struct Case
    {
        QPointF p;
        int index;
    };
    const Case cases[] = {{{1.9, 1.9}, 0},     {{-2, -2}, 0}, {{2, 0}, kNotFound},
                          {{0, 2}, kNotFound}, {{8, 0}, 1},   {{5, 0}, kNotFound}};
    for (const Case& c : cases)
        EXPECT_EQ(point(c.p, points, 4), c.index) << c.p.x() << "," << c.p.y();
}

TEST(PathHits, PartcodeUnderAPoint)
{
    const BezierPath path = wave();
    struct Case
    {
        QPointF p;
        int from;
        quint32 partcode;
    };
    const Case cases[] = {
        {{0.5, 0}, 0, 4},   {{101, 1}, 0, 8},    {{120, 49}, 0, 12}, {{181, 50}, 0, 13},
        {{200, 0}, 0, 14},  {{221, -49}, 0, 16}, {{299, 0}, 0, 18},  {{150, 20}, 0, 0},
        {{500, 500}, 0, 0}, {{0.5, 0}, 1, 0},    {{120, 49}, 2, 12}, {{299, 0}, 3, 18},
    };
    for (const Case& c : cases)
        EXPECT_EQ(partcodeHitByPoint(path, c.p, 4, c.from), c.partcode)
            << c.p.x() << "," << c.p.y() << " from " << c.from;
    EXPECT_EQ(partcodeHitByPoint(path, QPointF(101, 1), 4), 8u);
    EXPECT_EQ(partcodeHitByPoint(BezierPath(), QPointF(0, 0), 4), 0u);
}

TEST(PathHits, ElementUnderAPoint)
{
    BezierPath square = BezierPath::withRect(QRectF(0, 0, 10, 10));
    struct Case
    {
        QPointF p;
        double tolerance;
        int element;
        double t;
        QPointF nearest;
    };
    const Case cases[] = {
        {{4, 0}, 0.5, 1, 0.4, {4, 0}},     // exactly on a line: its own point
        {{10.5, 3}, 0.5, 2, 0.3, {10, 3}}, // at the tolerance edge
        {{10.51, 3}, 0.5, -1, 0, {}},      // just beyond it
        {{4, -0.5}, 0.5, 1, 0.4, {4, 0}},  // the edge on the other side
        {{0, 7}, 0.5, 4, 0.3, {0, 7}},     // on the closing line
        {{5, 5}, 0.5, -1, 0, {}},          {{30, 30}, 0.5, -1, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.x() << "," << c.p.y());
        double t = -7;
        QPointF nearest(-7, -7);
        EXPECT_EQ(elementHitByPoint(square, c.p, c.tolerance, &t, &nearest), c.element);
        if (c.element > 0) {
            EXPECT_NEAR(t, c.t, 1e-12);
            EXPECT_TRUE(pointsNear(nearest, c.nearest, 1e-12));
            EXPECT_EQ(nearestPointToPoint(square, c.p, c.tolerance), nearest);
        } else {
            EXPECT_EQ(t, -7);
            EXPECT_EQ(nearestPointToPoint(square, c.p, c.tolerance), c.p);
        }
    }

    // A curve hit gives the parameter of its nearest point.
    const BezierPath path = wave();
    double t = 0;
    QPointF nearest;
    EXPECT_EQ(elementHitByPoint(path, QPointF(150, 38.5), 1, &t, &nearest), 2);
    EXPECT_NEAR(t, 0.5, 1e-9);
    EXPECT_TRUE(pointsNear(nearest, QPointF(150, 37.5), 1e-9));

    // A line running inside a curve's bounding box is still found there.
    BezierPath hook;
    hook.moveTo(QPointF(0, 0));
    hook.curveTo(QPointF(100, 0), QPointF(0, 100), QPointF(100, 100));
    hook.lineTo(QPointF(50, 10));
    EXPECT_EQ(elementBoundsContainsPoint(hook, QPointF(75, 5), 1), 1);
    EXPECT_EQ(elementHitByPoint(hook, QPointF(75, 5), 1, &t), 2);
    EXPECT_NEAR(t, 0.5, 1e-9);

    EXPECT_EQ(elementBoundsContainsPoint(square, QPointF(5, 0.3), 0.5), 1); // enlarged box
    EXPECT_EQ(elementBoundsContainsPoint(square, QPointF(5, 5), 0.5), -1);
    EXPECT_EQ(elementHitByPoint(BezierPath(), QPointF(0, 0), 5), -1);
}

TEST(PathHits, NearestPointOnACubic)
{
    const Cubic arch{QPointF(0, 0), QPointF(0, 100), QPointF(100, 100), QPointF(100, 0)};
    struct Case
    {
        QPointF p;
        double t;
        QPointF nearest;
    };
    const Case cases[] = {
        {{-20, -20}, 0.0, {0, 0}},   // closest approach at the start
        {{130, -10}, 1.0, {100, 0}}, // at the end
        {{50, 200}, 0.5, {50, 75}},  // above the apex
        {{50, 74}, 0.5, {50, 75}},   // just below it
    };
    for (const Case& c : cases) {
        double t = -1;
        const QPointF nearest = nearestPointOnCurve(arch, c.p, &t);
        EXPECT_NEAR(t, c.t, 1e-9) << c.p.x() << "," << c.p.y();
        EXPECT_TRUE(pointsNear(nearest, c.nearest, 1e-9));
    }
    // Against a fine sampling of the curve, for points all around it.
    for (int k = 0; k < 24; ++k) {
        const QPointF p(50 + 80 * std::cos(k * 15 * kDegree), 40 + 80 * std::sin(k * 15 * kDegree));
        double best = 1e300;
        for (int i = 0; i <= 20000; ++i) {
            const QPointF q = LBPathGeometry::pointOnCubic(arch, i / 20000.0);
            best = std::min(best, std::hypot(q.x() - p.x(), q.y() - p.y()));
        }
        const QPointF nearest = nearestPointOnCurve(arch, p);
        EXPECT_NEAR(std::hypot(nearest.x() - p.x(), nearest.y() - p.y()), best, 1e-3) << k;
    }
    EXPECT_EQ(nearestPointOnCurve({QPointF(5, 5), QPointF(5, 5), QPointF(5, 5), QPointF(5, 5)},
                                  QPointF(0, 0)),
              QPointF(5, 5));
}

TEST(PathBoxes, ElementsAndPartcodes)
{
    BezierPath path = wave();
    path.closePath();
    EXPECT_EQ(boundingBoxForElement(path, 0), QRectF(0, 0, 0, 0));
    EXPECT_EQ(boundingBoxForElement(path, 1), QRectF(0, 0, 100, 0));
    EXPECT_EQ(boundingBoxForElement(path, 2), QRectF(100, 0, 100, 50));
    EXPECT_EQ(boundingBoxForElement(path, 3), QRectF(200, -50, 100, 50));
    EXPECT_EQ(boundingBoxForElement(path, 4), QRectF(0, 0, 300, 0)); // the closing line
    EXPECT_EQ(boundingBoxForElement(path, 9), QRectF(0, 0, 0, 0));
    EXPECT_EQ(allBoundingBoxes(path).size(), 5);
    // The end of the line reaches the curve after it; a curve's first handle the element
    // before, its second the one after.
    EXPECT_EQ(boundingBoxesForPartcode(path, 8),
              (QList<QRectF>{QRectF(0, 0, 100, 0), QRectF(100, 0, 100, 50)}));
    EXPECT_EQ(boundingBoxesForPartcode(path, 16),
              (QList<QRectF>{QRectF(100, 0, 100, 50), QRectF(200, -50, 100, 50)}));
    EXPECT_EQ(boundingBoxesForPartcode(path, 13),
              (QList<QRectF>{QRectF(100, 0, 100, 50), QRectF(200, -50, 100, 50)}));
    EXPECT_TRUE(boundingBoxesForPartcode(path, 9).isEmpty());
}

TEST(PathSubpathQueries, StartsEndsClosureAndTangents)
{
    // An open subpath, then a closed one.
    BezierPath path = polyline({{0, 0}, {10, 0}, {10, 10}});
    path.appendBezierPath(BezierPath::withRect(QRectF(20, 0, 10, 10)));
    struct Case
    {
        int element;
        int start;
        int end;
        bool closed;
    };
    const Case cases[] = {{0, 0, 2, false}, {2, 0, 2, false},    {3, 3, 7, true},
                          {7, 3, 7, true},  {-1, -1, -1, false}, {8, 3, -1, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(subpathStartingElementForElement(path, c.element), c.start) << c.element;
        EXPECT_EQ(subpathEndingElementForElement(path, c.element), c.end) << c.element;
        EXPECT_EQ(subpathContainingElementIsClosed(path, c.element), c.closed) << c.element;
    }
    EXPECT_FALSE(isPathClosed(path));
    EXPECT_TRUE(isPathClosed(BezierPath::withRect(QRectF(0, 0, 1, 1))));
    EXPECT_TRUE(isPathClosed(polyline({{0, 0}, {5, 0}, {5, 5}, {0, 0}}))); // ends where it began
    EXPECT_FALSE(isPathClosed(polyline({{0, 0}})));
    EXPECT_FALSE(isPathClosed(BezierPath()));

    EXPECT_NEAR(tangentAtStartOfSubpath(path, 1), std::numbers::pi, 1e-7); // backwards
    EXPECT_NEAR(tangentAtEndOfSubpath(path, 1), std::numbers::pi / 2, 1e-12);
    EXPECT_NEAR(tangentAtEndOfSubpath(path, 4), -std::numbers::pi / 2, 1e-12); // closing line
    EXPECT_NEAR(tangentAtEndOfSubpath(wave(), 0), std::atan2(50, 20), 1e-12);

    int moves = -1, lines = -1, curves = -1, closes = -1;
    getPathMoveToCount(path, &moves, &lines, &curves, &closes);
    EXPECT_EQ((std::array<int, 4>{moves, lines, curves, closes}), (std::array<int, 4>{2, 5, 0, 1}));
    getPathMoveToCount(wave(), nullptr, nullptr, &curves, nullptr);
    EXPECT_EQ(curves, 2);
}

TEST(PathChecksum, ChangesWithTheElementsAndHalfPoints)
{
    EXPECT_EQ(checksum(BezierPath()), 157145267u);
    EXPECT_EQ(checksum(polyline({{0, 0}})), 32u ^ 157145267u);
    const BezierPath path = wave();
    const quint32 base = checksum(path);
    EXPECT_EQ(checksum(wave()), base);

    BezierPath moved = path;
    setControlPoint(moved, QPointF(120.6, 50), 12);
    EXPECT_NE(checksum(moved), base);
    setControlPoint(moved, QPointF(120.2, 50), 12); // rounds to the same point
    EXPECT_EQ(checksum(moved), base);
    BezierPath longer = path;
    longer.closePath();
    EXPECT_NE(checksum(longer), base);
    BezierPath farOff = path;
    setControlPoint(farOff, QPointF(-1e30, std::nan("")), 14); // no undefined conversion
    EXPECT_NE(checksum(farOff), base);
}

TEST(PathCleanup, TrailingAndRedundantElements)
{
    const BezierPath path = wave();
    EXPECT_EQ(typesOf(bezierPathByRemovingTrailingElements(path, 2)),
              (QList<Type>{Type::MoveTo, Type::LineTo}));
    EXPECT_EQ(bezierPathByRemovingTrailingElements(path, 0), path);
    EXPECT_TRUE(bezierPathByRemovingTrailingElements(path, 10).isEmpty());

    BezierPath messy = polyline({{0, 0}, {0, 0}, {10, 0}});
    messy.curveTo(QPointF(10, 0), QPointF(10, 0), QPointF(10, 0));
    messy.lineTo(QPointF(10, 10));
    messy.closePath();
    messy.moveTo(QPointF(50, 50));
    const BezierPath clean = bezierPathByStrippingRedundantElements(messy);
    EXPECT_EQ(typesOf(clean),
              (QList<Type>{Type::MoveTo, Type::LineTo, Type::LineTo, Type::ClosePath}));
    EXPECT_EQ(endPointsOf(clean).mid(0, 3), (QList<QPointF>{{0, 0}, {10, 0}, {10, 10}}));
}

TEST(PathEditingMoves, AngleSnapping)
{
    ConstraintAngleGuard guard;
    const auto dragged = [](double degrees) {
        BezierPath line = polyline({{0, 0}, {10, 0}});
        moveControlPointPartcode(
            line, 8, QPointF(10 * std::cos(degrees * kDegree), 10 * std::sin(degrees * kDegree)),
            false, false, true);
        const QPointF end = line.currentPoint();
        EXPECT_NEAR(std::hypot(end.x(), end.y()), 10, 1e-9);
        return std::atan2(end.y(), end.x()) / kDegree;
    };
    EXPECT_NEAR(dragged(20), 15, 1e-9);
    EXPECT_NEAR(dragged(23), 30, 1e-9);
    EXPECT_NEAR(dragged(-20), -15, 1e-9);
    EXPECT_NEAR(dragged(-23), -30, 1e-9); // nearest step below zero too
    EXPECT_NEAR(dragged(7), 0, 1e-9);

    // Without the flag the point goes where it is dragged.
    BezierPath free = polyline({{0, 0}, {10, 0}});
    moveControlPointPartcode(free, 8, QPointF(3, 4), false, false, false);
    EXPECT_EQ(free.currentPoint(), QPointF(3, 4));
    // A curve's second handle snaps around its own end point.
    BezierPath curve = wave();
    moveControlPointPartcode(
        curve, 13, QPointF(200 + 10 * std::cos(-100 * kDegree), 10 * std::sin(-100 * kDegree)),
        false, false, true);
    const QPointF handle = pointForPartcode(curve, 13) - QPointF(200, 0);
    EXPECT_NEAR(std::atan2(handle.y(), handle.x()) / kDegree, -105, 1e-9);

    setConstraintAngle(45 * kDegree);
    EXPECT_NEAR(dragged(30), 45, 1e-9);
}

TEST(PathEditingMoves, AnchorsCarryTheirHandles)
{
    BezierPath path = wave();
    moveControlPointPartcode(path, 8, QPointF(100, 10), false, false, false); // line end
    EXPECT_EQ(pointForPartcode(path, 8), QPointF(100, 10));
    EXPECT_EQ(pointForPartcode(path, 12), QPointF(120, 60)); // next curve's first handle

    moveControlPointPartcode(path, 14, QPointF(205, 0), false, false, false); // curve end
    EXPECT_EQ(pointForPartcode(path, 14), QPointF(205, 0));
    EXPECT_EQ(pointForPartcode(path, 13), QPointF(185, 50));
    EXPECT_EQ(pointForPartcode(path, 16), QPointF(225, -50));

    // A snapped anchor takes its handle along by the distance it really moved.
    BezierPath snapped = wave();
    moveControlPointPartcode(snapped, 8,
                             QPointF(100 * std::cos(20 * kDegree), 100 * std::sin(20 * kDegree)),
                             false, false, true);
    const QPointF anchor = pointForPartcode(snapped, 8);
    EXPECT_TRUE(pointsNear(pointForPartcode(snapped, 12) - anchor, QPointF(20, 50), 1e-9));

    // Closing elements have no point to move.
    BezierPath closed = BezierPath::withRect(QRectF(0, 0, 10, 10));
    const BezierPath before = closed;
    moveControlPointPartcode(closed, partcodeForElement(4), QPointF(5, 5), true, true, true);
    EXPECT_EQ(closed, before);
}

TEST(PathEditingMoves, ColinearAndMirroredHandles)
{
    // Handles on either side of the vertex (200, 0): (180, 50) before it, (220, -50) after.
    BezierPath path = wave();
    moveControlPointPartcode(path, 16, QPointF(230, 0), true, false, false);
    EXPECT_EQ(pointForPartcode(path, 16), QPointF(230, 0));
    EXPECT_TRUE(pointsNear(pointForPartcode(path, 13), QPointF(200 - std::hypot(20.0, 50.0), 0),
                           1e-6)); // opposite, same distance as before

    moveControlPointPartcode(path, 13, QPointF(190, 10), true, true, false);
    EXPECT_TRUE(pointsNear(pointForPartcode(path, 16), QPointF(210, -10), 1e-9)); // mirrored

    // Without the flag the other handle stays.
    BezierPath loose = wave();
    moveControlPointPartcode(loose, 16, QPointF(230, 0), false, false, false);
    EXPECT_EQ(pointForPartcode(loose, 13), QPointF(180, 50));

    // On a closed oval the first and the last curve meet at the start.
    BezierPath oval = BezierPath::withOvalInRect(QRectF(-10, -10, 20, 20));
    const QPointF lastHandle = pointForPartcode(oval, partcodeForControlPoint(1, 4));
    moveControlPointPartcode(oval, partcodeForControlPoint(0, 1), QPointF(12, 5), true, true,
                             false);
    EXPECT_TRUE(
        pointsNear(pointForPartcode(oval, partcodeForControlPoint(1, 4)), QPointF(8, -5), 1e-9));
    EXPECT_NE(pointForPartcode(oval, partcodeForControlPoint(1, 4)), lastHandle);
}

TEST(PathEditingMoves, StartOfAClosedSubpathTakesItsEndAlong)
{
    BezierPath path = polyline({{0, 0}, {10, 0}, {10, 10}, {0, 0}});
    path.closePath();
    moveControlPointPartcode(path, 4, QPointF(-2, -3), false, false, false);
    EXPECT_EQ(pointForPartcode(path, 4), QPointF(-2, -3));
    EXPECT_EQ(pointForPartcode(path, 16), QPointF(-2, -3));

    // A last point elsewhere (the close draws the last side) stays.
    BezierPath square = BezierPath::withRect(QRectF(0, 0, 10, 10));
    moveControlPointPartcode(square, 4, QPointF(-2, -3), false, false, false);
    EXPECT_EQ(pointForPartcode(square, 16), QPointF(0, 10));
}

TEST(PathEditingPoints, DeleteAndInsert)
{
    const BezierPath path = wave();
    EXPECT_EQ(deleteControlPointForPartcode(path, 12), path); // a handle: unchanged
    EXPECT_EQ(deleteControlPointForPartcode(path, 99), path);

    const BezierPath noLineEnd = deleteControlPointForPartcode(path, 8);
    EXPECT_EQ(typesOf(noLineEnd), (QList<Type>{Type::MoveTo, Type::CurveTo, Type::CurveTo}));
    EXPECT_EQ(noLineEnd.elementAt(1).points[0], QPointF(100, 0)); // the deleted point

    const BezierPath noCurve = deleteControlPointForPartcode(path, 14);
    EXPECT_EQ(typesOf(noCurve), (QList<Type>{Type::MoveTo, Type::LineTo, Type::CurveTo}));
    EXPECT_EQ(noCurve.elementAt(2).points[0], QPointF(120, 50)); // its first handle

    const BezierPath noStart = deleteControlPointForPartcode(path, 4);
    EXPECT_EQ(typesOf(noStart), (QList<Type>{Type::MoveTo, Type::CurveTo, Type::CurveTo}));
    EXPECT_EQ(noStart.elementAt(0).points[0], QPointF(100, 0));

    const BezierPath open = deleteControlPointForPartcode(BezierPath::withRect(QRectF(0, 0, 1, 1)),
                                                          partcodeForElement(4));
    EXPECT_EQ(typesOf(open).count(Type::ClosePath), 0);

    // Inserting on a line: two lines, or two straight curves.
    const BezierPath line = polyline({{0, 0}, {100, 0}});
    const std::optional<BezierPath> split =
        insertControlPointAtPoint(line, QPointF(25, 1), 2, Type::LineTo);
    ASSERT_TRUE(split);
    EXPECT_EQ(endPointsOf(*split), (QList<QPointF>{{0, 0}, {25, 0}, {100, 0}}));
    const std::optional<BezierPath> curved =
        insertControlPointAtPoint(line, QPointF(25, 1), 2, Type::CurveTo);
    ASSERT_TRUE(curved);
    EXPECT_EQ(typesOf(*curved), (QList<Type>{Type::MoveTo, Type::CurveTo, Type::CurveTo}));
    EXPECT_EQ(curved->elementAt(1).points,
              (std::array<QPointF, 3>{QPointF(6.25, 0), QPointF(18.75, 0), QPointF(25, 0)}));
    EXPECT_NEAR(length(*curved), 100, 1e-9);

    // Inserting on a curve splits it where it was hit, keeping its shape.
    const std::optional<BezierPath> onCurve =
        insertControlPointAtPoint(path, QPointF(150, 38), 1, Type::CurveTo);
    ASSERT_TRUE(onCurve);
    EXPECT_EQ(typesOf(*onCurve).count(Type::CurveTo), 3);
    EXPECT_TRUE(pointsNear(onCurve->elementAt(2).points[2], QPointF(150, 37.5), 1e-9));
    EXPECT_NEAR(length(*onCurve), length(path), 0.2);
    const std::optional<BezierPath> lineHalf =
        insertControlPointAtPoint(path, QPointF(150, 38), 1, Type::LineTo);
    ASSERT_TRUE(lineHalf);
    EXPECT_EQ(lineHalf->elementTypeAt(2), Type::LineTo);

    // On the closing line the close stays last.
    const std::optional<BezierPath> onClose = insertControlPointAtPoint(
        BezierPath::withRect(QRectF(0, 0, 10, 10)), QPointF(0, 4), 1, Type::LineTo);
    ASSERT_TRUE(onClose);
    EXPECT_EQ(typesOf(*onClose).last(), Type::ClosePath);
    EXPECT_EQ(onClose->elementAt(4).points[0], QPointF(0, 4));

    EXPECT_FALSE(insertControlPointAtPoint(line, QPointF(50, 30), 2, Type::LineTo));
}

TEST(PathBoxes, DrawsEachElementBoxInRed)
{
    BezierPath path;
    path.moveTo(QPointF(10, 10));
    path.curveTo(QPointF(50, 10), QPointF(20, 40), QPointF(40, 40));
    drawElementsBoundingBoxes(path); // no current context: nothing happens

    platform::OffscreenContext offscreen(QSize(64, 64));
    drawElementsBoundingBoxes(path);
    const QImage image = offscreen.image();
    // The curve's box runs from (10, 10) to (50, 40): its edges are red, its inside clear.
    EXPECT_EQ(image.pixelColor(30, 10), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(10, 25), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(30, 25).alpha(), 0);
}
