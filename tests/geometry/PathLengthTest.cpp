#include "geometry/LBPathGeometry.h"

#include "PathTestSupport.h"

#include <QRectF>
#include <QTransform>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <tuple>
#include <utility>
#include <vector>

using namespace LBPathGeometry;
using namespace pathtest;

namespace {

BezierPath square10()
{
    return BezierPath::withRect(QRectF(0, 0, 10, 10)); // (0,0) → (10,0) → (10,10) → (0,10)
}

// A quarter circle of radius 100 as one cubic, from (100, 0) to (0, 100).
BezierPath quarterArc()
{
    BezierPath path;
    path.moveTo(QPointF(100, 0));
    const double k = 100 * 0.5522847498;
    path.curveTo(QPointF(0, 100), QPointF(100, k), QPointF(k, 100));
    return path;
}

} // namespace

TEST(PathLength, LinesCurvesAndClosesWithinTheErrorBound)
{
    // The same curve measured very finely is the reference for the coarser bounds.
    const Cubic arc{QPointF(100, 0), QPointF(100, 55.22847498), QPointF(55.22847498, 100),
                    QPointF(0, 100)};
    const double reference = cubicLength(arc, 1e-7);
    EXPECT_NEAR(reference, 50 * std::numbers::pi, 0.03); // the cubic is nearly a circle
    for (double error : {1.0, 0.1, 0.01}) {
        SCOPED_TRACE(error);
        EXPECT_NEAR(cubicLength(arc, error), reference, error);
        EXPECT_NEAR(lengthWithMaximumError(quarterArc(), error), reference, error);
    }
    EXPECT_DOUBLE_EQ(length(quarterArc()), lengthWithMaximumError(quarterArc(), 0.1));

    // Control points evenly spaced on a straight line: chord and polygon agree exactly.
    EXPECT_DOUBLE_EQ(
        cubicLength({QPointF(0, 0), QPointF(20, 0), QPointF(80, 0), QPointF(100, 0)}, 0.1), 100.0);
    EXPECT_DOUBLE_EQ(length(polyline({{0, 0}, {3, 4}})), 5.0);
    EXPECT_DOUBLE_EQ(length(square10()), 40.0); // the close counts
    BezierPath twoParts = square10();
    twoParts.moveTo(QPointF(50, 50));
    twoParts.lineTo(QPointF(50, 60));
    EXPECT_DOUBLE_EQ(length(twoParts), 50.0); // no length between subpaths
}

TEST(PathLength, DegenerateInputMeasuresZeroAndEnds)
{
    EXPECT_EQ(length(BezierPath()), 0.0);
    EXPECT_EQ(length(polyline({{5, 5}})), 0.0);
    BezierPath point;
    point.moveTo(QPointF(5, 5));
    point.curveTo(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    EXPECT_EQ(length(point), 0.0);

    // An error bound of zero, below zero or NaN would never be met: the subdivision still
    // ends (how quickly: bench/PathGeometryBench), close to the true length.
    for (double error : {0.0, -1.0, std::nan("")})
        EXPECT_NEAR(lengthWithMaximumError(quarterArc(), error), 157.08, 0.05) << error;
}

TEST(PathLength, ElementsAndRuns)
{
    BezierPath path = polyline({{0, 0}, {10, 0}, {10, 10}});
    path.closePath();
    path.appendBezierPath(quarterArc());
    struct Case
    {
        int index;
        double length;
    };
    const Case cases[] = {{0, 0.0}, {1, 10.0},  {2, 10.0}, {3, std::hypot(10.0, 10.0)},
                          {4, 0.0}, {-1, -1.0}, {6, -1.0}};
    for (const Case& c : cases)
        EXPECT_NEAR(lengthOfElement(path, c.index), c.length, 1e-12) << c.index;
    EXPECT_NEAR(lengthOfElement(path, 5), length(quarterArc()), 1e-12);

    EXPECT_NEAR(lengthOfPathFromElement(path, 1, 2), 20.0, 1e-12);
    EXPECT_NEAR(lengthOfPathFromElement(path, -5, 3), 20.0 + std::hypot(10.0, 10.0), 1e-12);
    EXPECT_NEAR(lengthOfPathFromElement(path, 0, 100), length(path), 1e-9);
    EXPECT_EQ(lengthOfPathFromElement(path, 3, 2), 0.0);
    EXPECT_EQ(lengthOfPathFromElement(BezierPath(), 0, 5), 0.0);
}

TEST(PathTrimming, ToAndFromALength)
{
    const BezierPath square = square10();
    EXPECT_EQ(bezierPathByTrimmingToLength(square, 40), square);
    EXPECT_EQ(bezierPathByTrimmingToLength(square, 100), square);
    EXPECT_EQ(bezierPathByTrimmingFromLength(square, 0), square);
    EXPECT_EQ(bezierPathByTrimmingFromLength(square, -3), square);
    EXPECT_TRUE(bezierPathByTrimmingFromLength(square, 40).isEmpty());
    EXPECT_TRUE(bezierPathByTrimmingFromLength(BezierPath(), 5).isEmpty());

    const BezierPath first15 = bezierPathByTrimmingToLength(square, 15);
    EXPECT_EQ(typesOf(first15), (QList<Type>{Type::MoveTo, Type::LineTo, Type::LineTo}));
    EXPECT_EQ(endPointsOf(first15), (QList<QPointF>{{0, 0}, {10, 0}, {10, 5}}));

    // Cut inside the closing line: a move 5 before the start corner and a line to it.
    const BezierPath last5 = bezierPathByTrimmingFromLength(square, 35);
    EXPECT_EQ(typesOf(last5), (QList<Type>{Type::MoveTo, Type::LineTo}));
    EXPECT_EQ(endPointsOf(last5), (QList<QPointF>{{0, 5}, {0, 0}}));

    // Cut early on a closed path: the rest runs to the start corner and stays open, so it
    // does not draw the piece cut away again.
    const BezierPath rest = bezierPathByTrimmingFromLength(square, 5);
    EXPECT_EQ(endPointsOf(rest), (QList<QPointF>{{5, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}));
    EXPECT_EQ(typesOf(rest).last(), Type::LineTo);
    EXPECT_DOUBLE_EQ(length(rest), 35.0);

    // A closed subpath wholly after the cut keeps its close, also when the cut falls right
    // at its start.
    BezierPath two = polyline({{-20, 0}, {-10, 0}});
    two.appendBezierPath(square);
    for (double cut : {9.0, 10.0}) {
        const BezierPath second = bezierPathByTrimmingFromLength(two, cut);
        EXPECT_EQ(typesOf(second).last(), Type::ClosePath) << cut;
        EXPECT_DOUBLE_EQ(length(second), 50.0 - cut) << cut;
    }
}

TEST(PathTrimming, CurvesAreSplitAtTheLength)
{
    const BezierPath arc = quarterArc();
    const double total = length(arc);
    for (double keep : {10.0, 78.5, 150.0}) {
        SCOPED_TRACE(keep);
        const BezierPath head = bezierPathByTrimmingToLength(arc, keep);
        ASSERT_EQ(typesOf(head), (QList<Type>{Type::MoveTo, Type::CurveTo}));
        EXPECT_NEAR(length(head), keep, 0.1);
        const BezierPath tail = bezierPathByTrimmingFromLength(arc, keep);
        ASSERT_EQ(typesOf(tail), (QList<Type>{Type::MoveTo, Type::CurveTo}));
        EXPECT_NEAR(length(tail), total - keep, 0.15);
        EXPECT_TRUE(pointsNear(tail.elementAt(0).points[0], head.currentPoint(), 1e-9));
        // The cut lies on the circle.
        const QPointF cut = head.currentPoint();
        EXPECT_NEAR(std::hypot(cut.x(), cut.y()), 100, 0.03);
    }
}

TEST(PathTrimming, BothEndsCentreAndBetween)
{
    const BezierPath line = polyline({{0, 0}, {100, 0}});
    EXPECT_EQ(endPointsOf(bezierPathByTrimmingFromBothEnds(line, 5)),
              (QList<QPointF>{{5, 0}, {95, 0}}));
    EXPECT_EQ(endPointsOf(bezierPathByTrimmingFromLengthToLength(line, 10, 30)),
              (QList<QPointF>{{10, 0}, {40, 0}}));
    const BezierPath gap = bezierPathByTrimmingFromCentre(line, 20);
    EXPECT_EQ(typesOf(gap), (QList<Type>{Type::MoveTo, Type::LineTo, Type::MoveTo, Type::LineTo}));
    EXPECT_EQ(endPointsOf(gap), (QList<QPointF>{{0, 0}, {40, 0}, {60, 0}, {100, 0}}));

    // Lengths below zero count as zero: no extrapolation backwards, no NaN.
    EXPECT_EQ(endPointsOf(bezierPathByTrimmingToLength(line, -10)),
              (QList<QPointF>{{0, 0}, {0, 0}}));
    EXPECT_EQ(endPointsOf(bezierPathByTrimmingFromCentre(line, -10)),
              (QList<QPointF>{{0, 0}, {50, 0}, {50, 0}, {100, 0}}));
    const BezierPath over = bezierPathByTrimmingFromBothEnds(line, 80);
    EXPECT_FALSE(hasNaN(over));
    EXPECT_EQ(length(over), 0.0);

    // Zero-length segments are stepped over.
    const BezierPath stutter = polyline({{0, 0}, {0, 0}, {10, 0}, {10, 0}});
    EXPECT_EQ(bezierPathByTrimmingToLength(stutter, 0).currentPoint(), QPointF(0, 0));
    EXPECT_EQ(bezierPathByTrimmingToLength(stutter, 4).currentPoint(), QPointF(4, 0));
    EXPECT_EQ(bezierPathByTrimmingFromLength(stutter, 4).elementAt(0).points[0], QPointF(4, 0));
    EXPECT_FALSE(hasNaN(bezierPathByTrimmingFromCentre(stutter, 3)));
}

TEST(PathPoints, PointAndSlopeAtALength)
{
    const BezierPath square = square10();
    struct Case
    {
        double at;
        QPointF point;
        double slope;
    };
    const Case cases[] = {
        {0, {0, 0}, 0.0},
        {-4, {0, 0}, 0.0},
        {15, {10, 5}, std::numbers::pi / 2},
        {35, {0, 5}, -std::numbers::pi / 2},
        {40, {0, 0}, -std::numbers::pi / 2}, // the end: along the closing line
        {400, {0, 0}, -std::numbers::pi / 2},
    };
    for (const Case& c : cases) {
        double slope = 99;
        EXPECT_TRUE(pointsNear(pointOnPathAtLength(square, c.at, &slope), c.point)) << c.at;
        EXPECT_NEAR(slope, c.slope, 1e-12) << c.at;
    }

    // On the arc: the slope is the tangent, at both ends and between.
    const BezierPath arc = quarterArc();
    double slope = 0;
    EXPECT_TRUE(pointsNear(pointOnPathAtLength(arc, 0, &slope), QPointF(100, 0)));
    EXPECT_NEAR(slope, std::numbers::pi / 2, 1e-12);
    pointOnPathAtLength(arc, length(arc), &slope);
    EXPECT_NEAR(slope, std::numbers::pi, 1e-12);
    const QPointF middle = pointOnPathAtLength(arc, length(arc) / 2, &slope);
    EXPECT_NEAR(middle.x(), middle.y(), 0.1);
    EXPECT_NEAR(slope, 3 * std::numbers::pi / 4, 0.01);
    EXPECT_NEAR(slopeStartingPath(arc), std::numbers::pi / 2, 1e-12);

    // Fewer than two elements: (0, 0), slope untouched.
    slope = 7;
    EXPECT_EQ(pointOnPathAtLength(polyline({{5, 5}}), 3, &slope), QPointF(0, 0));
    EXPECT_EQ(slope, 7);
    EXPECT_EQ(pointOnPathAtLength(BezierPath(), 3), QPointF(0, 0));
    EXPECT_EQ(slopeStartingPath(polyline({{5, 5}})), 0.0);
    EXPECT_EQ(slopeStartingPath(polyline({{5, 5}, {5, 5}})), 0.0);
}

TEST(PathPoints, DistanceOfAPointAlongThePath)
{
    const BezierPath square = square10();
    EXPECT_NEAR(distanceFromStartOfPathAtPoint(square, QPointF(10, 5), 0.5), 15.0, 1e-9);
    EXPECT_NEAR(distanceFromStartOfPathAtPoint(square, QPointF(10.3, 5), 0.5), 15.0, 1e-9);
    EXPECT_NEAR(distanceFromStartOfPathAtPoint(square, QPointF(4, 0), 0.5), 4.0, 1e-9);
    // On the closing line.
    EXPECT_NEAR(distanceFromStartOfPathAtPoint(square, QPointF(0, 5), 0.5), 35.0, 1e-9);
    EXPECT_EQ(distanceFromStartOfPathAtPoint(square, QPointF(5, 5), 0.5), -1.0);
    EXPECT_EQ(distanceFromStartOfPathAtPoint(BezierPath(), QPointF(0, 0), 5), -1.0);

    const BezierPath arc = quarterArc();
    const QPointF onArc = pointOnPathAtLength(arc, 60);
    EXPECT_NEAR(distanceFromStartOfPathAtPoint(arc, onArc, 0.5), 60.0, 0.2);
}

TEST(PathPoints, RegionOfAPoint)
{
    const BezierPath square = square10();
    EXPECT_EQ(pointWithinPathRegion(square, QPointF(5, 5)), 0);
    EXPECT_EQ(pointWithinPathRegion(square, QPointF(15, 5)), -1);

    const BezierPath bent = polyline({{0, 0}, {5, 5}, {10, 0}}); // chord (0,0)–(10,0)
    EXPECT_EQ(pointWithinPathRegion(bent, QPointF(-1, 3)), -1);
    EXPECT_EQ(pointWithinPathRegion(bent, QPointF(5, -30)), 0);
    EXPECT_EQ(pointWithinPathRegion(bent, QPointF(10, 30)), 0);
    EXPECT_EQ(pointWithinPathRegion(bent, QPointF(11, 0)), 1);
    EXPECT_EQ(pointWithinPathRegion(polyline({{3, 3}}), QPointF(3, 3)), -1);

    EXPECT_EQ(firstPoint(bent), QPointF(0, 0));
    EXPECT_EQ(lastPoint(bent), QPointF(10, 0));
    EXPECT_EQ(lastPoint(square), QPointF(0, 0));
    EXPECT_EQ(firstPoint(BezierPath()), QPointF(0, 0));
}

TEST(PathSubpaths, SplitAndCount)
{
    BezierPath path = square10();
    path.moveTo(QPointF(20, 0));
    path.lineTo(QPointF(30, 0));
    EXPECT_EQ(countSubPaths(path), 2);
    const QList<BezierPath> parts = subPaths(path);
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[0].elements(), square10().elements());
    EXPECT_EQ(endPointsOf(parts[1]), (QList<QPointF>{{20, 0}, {30, 0}}));

    // A lone move is no subpath of its own.
    BezierPath lone = polyline({{0, 0}, {10, 0}});
    lone.moveTo(QPointF(50, 50));
    lone.moveTo(QPointF(60, 60));
    lone.lineTo(QPointF(70, 60));
    EXPECT_EQ(subPaths(lone).size(), 2);
    BezierPath loneInMiddle = polyline({{0, 0}, {10, 0}});
    loneInMiddle.moveTo(QPointF(50, 50));
    loneInMiddle.lineTo(QPointF(55, 50));
    loneInMiddle.moveTo(QPointF(99, 99));
    EXPECT_EQ(countSubPaths(loneInMiddle), 2); // the final move is not counted
    EXPECT_EQ(subPaths(loneInMiddle).size(), 2);

    EXPECT_EQ(subPaths(square10()), QList<BezierPath>{square10()});
    EXPECT_EQ(subPaths(BezierPath()).size(), 1);
}

TEST(PathArrowHeads, BarbsFollowTheStartAndTheEnd)
{
    const BezierPath line = polyline({{0, 0}, {100, 0}});
    const double c = 10 * std::cos(std::numbers::pi / 6), s = 5;

    const BezierPath start = bezierPathWithArrowHeadForStartOfLength(line, 10, 30, false);
    EXPECT_EQ(typesOf(start), (QList<Type>{Type::MoveTo, Type::LineTo, Type::LineTo}));
    const QList<QPointF> tips = endPointsOf(start);
    EXPECT_TRUE(pointsNear(tips[0], QPointF(c, -s)));
    EXPECT_TRUE(pointsNear(tips[1], QPointF(0, 0)));
    EXPECT_TRUE(pointsNear(tips[2], QPointF(c, s)));

    const BezierPath end = bezierPathWithArrowHeadForEndOfLength(line, 10, 30, true);
    EXPECT_EQ(typesOf(end).last(), Type::ClosePath);
    const QList<QPointF> endTips = endPointsOf(end);
    EXPECT_TRUE(pointsNear(endTips[0], QPointF(100 - c, s)));
    EXPECT_TRUE(pointsNear(endTips[1], QPointF(100, 0)));
    EXPECT_TRUE(pointsNear(endTips[2], QPointF(100 - c, -s)));

    // Along a curve the barbs are curved too.
    const BezierPath curved = bezierPathWithArrowHeadForStartOfLength(quarterArc(), 20, 25, false);
    EXPECT_EQ(typesOf(curved), (QList<Type>{Type::MoveTo, Type::CurveTo, Type::CurveTo}));
    EXPECT_TRUE(pointsNear(curved.elementAt(1).points[2], QPointF(100, 0)));

    EXPECT_TRUE(bezierPathWithArrowHeadForStartOfLength(BezierPath(), 10, 30, true).isEmpty());

    BezierPath receiver = polyline({{0, 0}, {1, 0}});
    appendBezierPathRemovingInitialMoveToPoint(receiver, polyline({{7, 7}, {2, 0}, {3, 0}}));
    EXPECT_EQ(endPointsOf(receiver), (QList<QPointF>{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
}

// Lengths along a path are measured once and kept with it: after any edit every answer is
// the one a path never measured gives, and a copy measured before keeps its own answers.
TEST(PathLength, KeptMeasuresFollowEdits)
{
    const auto answers = [](const BezierPath& path) {
        const double total = lengthWithMaximumError(path, 0.01);
        double slope = 0;
        const QPointF at = pointOnPathAtLength(path, length(path) * 0.6, &slope);
        return std::make_tuple(length(path), total, at, slope,
                               bezierPathByTrimmingToLength(path, total / 3, 0.01),
                               bezierPathByTrimmingFromLength(path, total / 3));
    };
    const auto unmeasured = [](const BezierPath& path) {
        BezierPath copy;
        copy.appendBezierPath(path);
        return copy;
    };
    const std::vector<std::pair<const char*, std::function<void(BezierPath&)>>> edits = {
        {"line", [](BezierPath& p) { p.lineTo(QPointF(300, 40)); }},
        {"curve",
         [](BezierPath& p) { p.curveTo(QPointF(0, 0), QPointF(90, 200), QPointF(10, 150)); }},
        {"close", [](BezierPath& p) { p.closePath(); }},
        {"points",
         [](BezierPath& p) {
             p.setAssociatedPoints({QPointF(5, 90), QPointF(60, 3), QPointF(20, 20)}, 1);
         }},
        {"scale",
         [](BezierPath& p) { p.transformUsingAffineTransform(QTransform::fromScale(2, 0.5)); }},
        {"subpath", [](BezierPath& p) { p.appendBezierPathWithOvalInRect(QRectF(0, 0, 30, 20)); }},
    };
    for (const auto& [name, edit] : edits) {
        BezierPath path = quarterArc();
        path.lineTo(QPointF(0, 0));
        // Edited in place, with no copy about.
        const auto measured = answers(path);
        edit(path);
        EXPECT_EQ(answers(path), answers(unmeasured(path))) << name;
        EXPECT_NE(std::get<0>(answers(path)), std::get<0>(measured)) << name;
        // Edited after a copy was made, and measured: the copy keeps its answers.
        const BezierPath before = path;
        const auto beforeAnswers = answers(before);
        edit(path);
        EXPECT_EQ(answers(path), answers(unmeasured(path))) << name;
        EXPECT_EQ(answers(before), beforeAnswers) << name;
    }
}
