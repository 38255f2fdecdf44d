#include "geometry/LBPathGeometry.h"
#include "geometry/LBPathIterationDelegate.h"
#include "geometry/LBPathToolkitException.h"
#include "geometry/PTRandom.h"

#include "PathTestSupport.h"

#include <QRectF>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace LBPathGeometry;
using namespace pathtest;

namespace {

constexpr double kPi = std::numbers::pi;

// Runs `call` and answers the toolkit exception it threw (message, source file).
template <typename Call>
std::pair<QString, QString> failureOf(Call call)
{
    try {
        call();
    } catch (const LBPathToolkitException& e) {
        return {e.message(), e.sourceFile()};
    }
    return {};
}

void expectRectNear(const QRectF& actual, const QRectF& expected, double tolerance = 1e-9)
{
    EXPECT_NEAR(actual.left(), expected.left(), tolerance);
    EXPECT_NEAR(actual.top(), expected.top(), tolerance);
    EXPECT_NEAR(actual.right(), expected.right(), tolerance);
    EXPECT_NEAR(actual.bottom(), expected.bottom(), tolerance);
}

} // namespace

TEST(PathTransforms, ScaleRotateInsetAndFlip)
{
    const BezierPath rect = BezierPath::withRect(QRectF(0, 0, 100, 50));
    EXPECT_EQ(scaledPath(rect, 1.0), rect);
    EXPECT_EQ(rotatedPath(rect, 0), rect);
    EXPECT_EQ(insetPathBy(rect, 0), rect);
    EXPECT_EQ(centreOfBounds(rect), QPointF(50, 25));
    EXPECT_EQ(centreOfBounds(BezierPath()), QPointF(0, 0));

    expectRectNear(scaledPath(rect, 2).bounds(), QRectF(-50, -25, 200, 100));
    expectRectNear(scaledPath(rect, 0.5, QPointF(0, 0)).bounds(), QRectF(0, 0, 50, 25));
    expectRectNear(rotatedPath(rect, kPi / 2, QPointF(0, 0)).bounds(), QRectF(-50, 0, 50, 100));
    expectRectNear(rotatedPath(rect, kPi / 2).bounds(), QRectF(25, -25, 50, 100));
    expectRectNear(insetPathBy(rect, 5).bounds(), QRectF(5, 5, 90, 40));
    expectRectNear(insetPathBy(rect, -5).bounds(), QRectF(-5, -5, 110, 60));
    EXPECT_EQ(rect.bounds(), QRectF(0, 0, 100, 50)); // the receiver is untouched

    // A flat line has no height to inset: that axis stays as it is.
    const BezierPath flat = insetPathBy(polyline({{0, 0}, {100, 0}}), 10);
    EXPECT_FALSE(hasNaN(flat));
    expectRectNear(flat.bounds(), QRectF(10, 0, 80, 0));

    const BezierPath flipped = horizontallyFlippedPath(rect);
    EXPECT_EQ(flipped.bounds(), rect.bounds());
    EXPECT_EQ(flipped.elementAt(0).points[0], QPointF(100, 0));
    EXPECT_EQ(verticallyFlippedPath(rect).elementAt(0).points[0], QPointF(0, 50));
    expectRectNear(horizontallyFlippedPathAboutPoint(rect, QPointF(0, 0)).bounds(),
                   QRectF(-100, 0, 100, 50));
    expectRectNear(verticallyFlippedPathAboutPoint(rect, QPointF(0, 100)).bounds(),
                   QRectF(0, 150, 100, 50));
}

TEST(PathTransforms, MinimumCornerAngle)
{
    struct Case
    {
        const char* name;
        BezierPath path;
        double angle;
    };
    const Case cases[] = {
        {"straight two segments", polyline({{0, 0}, {5, 0}, {10, 0}}), 0.0},
        {"one element", polyline({{0, 0}}), kHalfTurn},
        {"empty", BezierPath(), kHalfTurn},
        {"square", BezierPath::withRect(QRectF(0, 0, 10, 10)), kPi / 2},
        {"reversal", polyline({{0, 0}, {10, 0}, {0, 0}}), kHalfTurn},
        // A 20° turn while heading left crosses the direction ±π; it is still 20°.
        {"turn across pi", polyline({{0, 0}, {-10, 0}, {-20, -10 * std::tan(kPi / 9)}}), kPi / 9},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(minimumCornerAngle(c.path), c.angle, 1e-9) << c.name;
}

namespace {

struct Visit
{
    int index;
    BezierPath::ElementType type;
    std::array<QPointF, 4> points;
    int subPath;
    bool closed;
};

class Recorder : public LBPathIterationDelegate
{
public:
    void path(BezierPath& result, int elementIndex, BezierPath::ElementType type,
              const std::array<QPointF, 4>& points, int subPathIndex, bool subPathClosed,
              void* contextInfo) override
    {
        visits.append({elementIndex, type, points, subPathIndex, subPathClosed});
        ++*static_cast<int*>(contextInfo);
        // Rebuild the path from its end points, as a polyline.
        if (type == BezierPath::ElementType::MoveTo)
            result.moveTo(points[0]);
        else if (type == BezierPath::ElementType::ClosePath)
            result.closePath();
        else
            result.lineTo(points[0]);
    }
    QList<Visit> visits;
};

} // namespace

TEST(PathIteration, DelegateSeesEveryElement)
{
    BezierPath path = polyline({{0, 0}, {10, 0}});
    path.curveTo(QPointF(20, 10), QPointF(12, 0), QPointF(20, 8));
    path.appendBezierPath(BezierPath::withRect(QRectF(50, 50, 10, 10)));
    Recorder recorder;
    int calls = 0;
    const std::optional<BezierPath> result =
        bezierPathByIteratingWithDelegate(path, &recorder, &calls);
    ASSERT_TRUE(result);
    EXPECT_EQ(calls, path.elementCount());
    ASSERT_EQ(recorder.visits.size(), 8);

    const Visit& curve = recorder.visits[2];
    EXPECT_EQ(curve.type, Type::CurveTo);
    EXPECT_EQ(curve.points[0], QPointF(20, 10)); // end point first, then the controls
    EXPECT_EQ(curve.points[1], QPointF(12, 0));
    EXPECT_EQ(curve.points[2], QPointF(20, 8));
    EXPECT_EQ(curve.points[3], QPointF(20, 10)); // the subpath's last point
    EXPECT_EQ(curve.subPath, 0);
    EXPECT_FALSE(curve.closed); // the later closed rectangle does not close this one

    const Visit& close = recorder.visits[7];
    EXPECT_EQ(close.type, Type::ClosePath);
    EXPECT_EQ(close.subPath, 1);
    EXPECT_TRUE(close.closed);
    EXPECT_EQ(close.points[0], QPointF(50, 50));
    EXPECT_EQ(close.points[3], QPointF(50, 60)); // the element before the close
    EXPECT_EQ(endPointsOf(*result), endPointsOf(path));

    EXPECT_FALSE(bezierPathByIteratingWithDelegate(BezierPath(), &recorder, nullptr));
    const auto failure =
        failureOf([&] { bezierPathByIteratingWithDelegate(path, nullptr, nullptr); });
    EXPECT_EQ(failure.first, QStringLiteral("cannot operate with a nil delegate"));
    EXPECT_EQ(failure.second, QStringLiteral("LBPathGeometry"));
}

TEST(PathParallel, SimpleAndVaryingOffsets)
{
    const BezierPath line = polyline({{0, 0}, {10, 0}, {20, 0}});
    // The toolkit's quarter turn is a hair below π/2: offsets are exact to about 1e-8.
    EXPECT_TRUE(pointsNear(paralleloidPathWithOffset(line, 2).elementAt(1).points[0],
                           QPointF(10, 2), 1e-7));
    const BezierPath parallel = paralleloidPathWithOffset(line, -3);
    ASSERT_EQ(parallel.elementCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(pointsNear(parallel.elementAt(i).points[0], QPointF(10 * i, -3), 1e-7)) << i;

    const BezierPath varying = offsetPathWithStartingOffset(line, 0, 4);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(pointsNear(varying.elementAt(i).points[0], QPointF(10 * i, 2 * i), 1e-7)) << i;
    EXPECT_EQ(offsetPathWithStartingOffset2(line, 0, 4), varying);
    // One element: the starting offset, no division by zero.
    const BezierPath lone = offsetPathWithStartingOffset(polyline({{5, 5}}), 1, 9);
    EXPECT_FALSE(hasNaN(lone));
    EXPECT_EQ(lone.elementCount(), 1);

    // A curve keeps its shape: control points move with the offsets of their ends. The
    // arch starts upwards, so its outside is on the left: a negative offset.
    BezierPath arc;
    arc.moveTo(QPointF(0, 0));
    arc.curveTo(QPointF(10, 0), QPointF(0, -5), QPointF(10, -5));
    const BezierPath outer = paralleloidPathWithOffset(arc, -1);
    EXPECT_EQ(typesOf(outer), typesOf(arc));
    EXPECT_TRUE(pointsNear(outer.elementAt(0).points[0], QPointF(-1, 0), 1e-7));
    EXPECT_TRUE(pointsNear(outer.elementAt(1).points[0], QPointF(-1, -5), 1e-7));
    EXPECT_TRUE(pointsNear(outer.elementAt(1).points[1], QPointF(11, -5), 1e-7));
    EXPECT_TRUE(pointsNear(outer.elementAt(1).points[2], QPointF(11, 0), 1e-7));

    EXPECT_EQ(paralleloidPathWithOffset2(arc, 0), arc);
    EXPECT_EQ(typesOf(paralleloidPathWithOffset2(arc, 1)).count(Type::CurveTo), 0);
    EXPECT_TRUE(paralleloidPathWithOffset(BezierPath(), 3).isEmpty());
}

TEST(PathParallel, JoinsOnARightAngle)
{
    // Heading right then down: the turn is towards +y, so a negative offset is outside.
    const BezierPath corner = polyline({{0, 0}, {10, 0}, {10, 10}});
    using Join = BezierPath::LineJoin;
    struct Case
    {
        Join join;
        double offset;
        QList<Type> types;
        QList<QPointF> points;
    };
    const Case cases[] = {
        {Join::Miter,
         -2,
         {Type::MoveTo, Type::LineTo, Type::LineTo},
         {{0, -2}, {12, -2}, {12, 10}}},
        {Join::Bevel,
         -2,
         {Type::MoveTo, Type::LineTo, Type::LineTo, Type::LineTo},
         {{0, -2}, {10, -2}, {12, 0}, {12, 10}}},
        {Join::Round,
         -2,
         {Type::MoveTo, Type::LineTo, Type::CurveTo, Type::LineTo},
         {{0, -2}, {10, -2}, {12, 0}, {12, 10}}},
        // Inside the corner every style takes the mitre point.
        {Join::Miter, 2, {Type::MoveTo, Type::LineTo, Type::LineTo}, {{0, 2}, {8, 2}, {8, 10}}},
        {Join::Bevel, 2, {Type::MoveTo, Type::LineTo, Type::LineTo}, {{0, 2}, {8, 2}, {8, 10}}},
        {Join::Round, 2, {Type::MoveTo, Type::LineTo, Type::LineTo}, {{0, 2}, {8, 2}, {8, 10}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.join) << " offset " << c.offset);
        const BezierPath parallel = paralleloidPathWithOffset3(corner, c.offset, c.join);
        ASSERT_EQ(typesOf(parallel), c.types);
        const QList<QPointF> points = endPointsOf(parallel);
        for (int i = 0; i < points.size(); ++i)
            EXPECT_TRUE(pointsNear(points[i], c.points[i], 1e-6)) << i;
    }
    // The round join is an arc of radius 2 around the corner.
    const BezierPath round = paralleloidPathWithOffset3(corner, -2, Join::Round);
    const BezierPath::Element arc = round.elementAt(2);
    const QPointF mid = 0.125 * QPointF(10, -2) + 0.375 * arc.points[0] + 0.375 * arc.points[1]
                        + 0.125 * arc.points[2];
    EXPECT_NEAR(std::hypot(mid.x() - 10, mid.y()), 2, 0.001);
    EXPECT_GT(mid.x(), 10);
    EXPECT_LT(mid.y(), 0);
}

TEST(PathParallel, ClosedOutlinesSharpCornersAndCurves)
{
    const BezierPath square = BezierPath::withRect(QRectF(0, 0, 10, 10));
    const BezierPath grown = paralleloidPathWithOffset3(square, -2, BezierPath::LineJoin::Miter);
    EXPECT_TRUE(pointsNear(grown.elementAt(0).points[0], QPointF(-2, -2), 1e-7)); // a corner
    EXPECT_EQ(typesOf(grown).last(), Type::ClosePath);
    expectRectNear(grown.bounds(), QRectF(-2, -2, 14, 14), 1e-7);
    expectRectNear(paralleloidPathWithOffset3(square, 2, BezierPath::LineJoin::Round).bounds(),
                   QRectF(2, 2, 6, 6), 1e-7);
    const BezierPath rounded = paralleloidPathWithOffset3(square, -2, BezierPath::LineJoin::Round);
    EXPECT_EQ(typesOf(rounded).count(Type::CurveTo), 4);
    expectRectNear(rounded.bounds(), QRectF(-2, -2, 14, 14), 1e-6);

    // A needle-sharp corner is held to the mitre limit (in offsets).
    BezierPath spike = polyline({{0, 0}, {100, 0}, {0, 1}});
    spike.setMiterLimit(3);
    const BezierPath limited = paralleloidPathWithOffset3(spike, -2, BezierPath::LineJoin::Miter);
    EXPECT_LE(
        std::hypot(limited.elementAt(1).points[0].x() - 100, limited.elementAt(1).points[0].y()),
        6.0 + 1e-9);

    const auto failure = failureOf([] {
        paralleloidPathWithOffset3(BezierPath::withOvalInRect(QRectF(0, 0, 10, 10)), 1,
                                   BezierPath::LineJoin::Miter);
    });
    EXPECT_EQ(failure.first,
              QStringLiteral("paralleloidPathWithOffset3 requires a flattened path"));
    EXPECT_EQ(failure.second, QStringLiteral("LBPathGeometry"));

    // The curve-friendly form flattens first: a circle grows by the offset all round.
    BezierPath circle = BezierPath::withOvalInRect(QRectF(-50, -50, 100, 100));
    circle.setFlatness(0.05);
    circle.setLineJoinStyle(BezierPath::LineJoin::Round);
    EXPECT_EQ(paralleloidPathWithOffset22(circle, 0), circle);
    // The oval runs like the rectangle, so a positive offset lies inside it.
    for (double offset : {5.0, -5.0}) {
        const BezierPath ring = paralleloidPathWithOffset22(circle, offset);
        EXPECT_EQ(typesOf(ring).last(), Type::ClosePath);
        for (int i = 0; i < ring.elementCount(); ++i) {
            if (ring.elementTypeAt(i) != Type::ClosePath) {
                const QPointF p = ring.elementAt(i).points[0];
                EXPECT_NEAR(std::hypot(p.x(), p.y()), 50 - offset, 0.2) << offset << " " << i;
            }
        }
    }
    // Repeated points and lone moves give no NaN and no stray subpath.
    const BezierPath stutter = polyline({{0, 0}, {0, 0}, {10, 0}, {10, 0}, {10, 10}});
    EXPECT_FALSE(hasNaN(paralleloidPathWithOffset3(stutter, 1, BezierPath::LineJoin::Bevel)));
    EXPECT_TRUE(
        paralleloidPathWithOffset3(polyline({{4, 4}}), 1, BezierPath::LineJoin::Miter).isEmpty());
}

TEST(PathDecoration, SmoothingAndFillets)
{
    const BezierPath zig = polyline({{0, 0}, {10, 10}, {20, 0}, {30, 10}});
    EXPECT_EQ(bezierPathByInterpolatingPath(zig, 0), zig);
    EXPECT_EQ(bezierPathByInterpolatingPath(zig, -1), zig);
    const BezierPath smooth = bezierPathByInterpolatingPath(zig, 1);
    EXPECT_EQ(typesOf(smooth),
              (QList<Type>{Type::MoveTo, Type::CurveTo, Type::CurveTo, Type::CurveTo}));
    EXPECT_EQ(endPointsOf(smooth), endPointsOf(zig)); // through every vertex
    // At a vertex the handles are colinear: smooth, no corner.
    const QPointF in = smooth.elementAt(1).points[1], out = smooth.elementAt(2).points[0];
    EXPECT_NEAR(angleBetween(in, QPointF(10, 10)), angleBetween(QPointF(10, 10), out), 1e-9);
    EXPECT_EQ(bezierPathByInterpolatingPath(zig, 5), smooth); // above 1 counts as 1

    const BezierPath square =
        bezierPathByInterpolatingPath(BezierPath::withRect(QRectF(0, 0, 10, 10)), 0.5);
    EXPECT_EQ(typesOf(square), (QList<Type>{Type::MoveTo, Type::CurveTo, Type::CurveTo,
                                            Type::CurveTo, Type::CurveTo, Type::ClosePath}));

    const BezierPath fillet =
        filletPathForVertex({QPointF(0, 10), QPointF(0, 0), QPointF(10, 0)}, 3);
    EXPECT_EQ(typesOf(fillet), (QList<Type>{Type::MoveTo, Type::CurveTo}));
    EXPECT_EQ(fillet.elementAt(0).points[0], QPointF(0, 3));
    EXPECT_EQ(fillet.elementAt(1).points,
              (std::array<QPointF, 3>{QPointF(0, 0), QPointF(0, 0), QPointF(3, 0)}));
    EXPECT_FALSE(hasNaN(filletPathForVertex({QPointF(1, 1), QPointF(1, 1), QPointF(1, 1)}, 3)));
}

TEST(PathDecoration, SeededJitterStaysWithinHalfTheAmount)
{
    BezierPath shape = BezierPath::withRoundedRect(QRectF(0, 0, 48, 24), 6, 6);
    PTRandom::setSeed(42);
    const BezierPath a = bezierPathByRandomisingPoints(shape, 0); // 24 / 24 = 1 point
    PTRandom::setSeed(42);
    const BezierPath b = bezierPathByRandomisingPoints(shape, 0);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, shape);
    EXPECT_EQ(typesOf(a), typesOf(shape));
    EXPECT_EQ(a.elementAt(0), shape.elementAt(0)); // moves stay
    for (int i = 0; i < shape.elementCount(); ++i) {
        for (int k = 0; k < 3; ++k) {
            const QPointF d = a.elementAt(i).points[k] - shape.elementAt(i).points[k];
            EXPECT_LE(std::abs(d.x()), 0.5);
            EXPECT_LE(std::abs(d.y()), 0.5);
        }
    }
    for (int i = 0; i < 1000; ++i) {
        const double r = PTRandom::randomNumber();
        ASSERT_TRUE(r >= 0 && r < 1);
    }
}

TEST(PathDecoration, FragmentsKeepTheirRemainder)
{
    BezierPath path = polyline({{0, 0}, {10, 0}});
    path.curveTo(QPointF(20, 0), QPointF(12, 5), QPointF(18, 5));
    path.lineTo(QPointF(20, 6));
    const BezierPath pieces = bezierPathWithFragmentedLineSegments(path, 3);
    EXPECT_EQ(endPointsOf(pieces),
              (QList<QPointF>{{0, 0}, {3, 0}, {6, 0}, {9, 0}, {10, 0}, {20, 0}, {20, 3}, {20, 6}}));
    EXPECT_EQ(pieces.elementAt(5), path.elementAt(2)); // the curve is copied
    EXPECT_DOUBLE_EQ(length(pieces), length(path));
    EXPECT_EQ(endPointsOf(bezierPathWithFragmentedLineSegments(polyline({{0, 0}, {9, 0}}), 3)),
              (QList<QPointF>{{0, 0}, {3, 0}, {6, 0}, {9, 0}}));

    EXPECT_EQ(bezierPathWithFragmentedLineSegments(path, 0), path);
    EXPECT_EQ(bezierPathWithFragmentedLineSegments(path, -1), path);
    EXPECT_EQ(bezierPathWithFragmentedLineSegments(path, std::nan("")), path);
    // A vanishing fragment length is widened to a bounded number of pieces.
    EXPECT_LE(
        bezierPathWithFragmentedLineSegments(polyline({{0, 0}, {1, 0}}), 1e-300).elementCount(),
        1'000'002);
}

TEST(PathDecoration, ZigZagSamples)
{
    const BezierPath line = polyline({{0, 0}, {10, 0}});
    const BezierPath zz = bezierPathWithZig(line, 3, 2);
    EXPECT_EQ(typesOf(zz),
              (QList<Type>{Type::MoveTo, Type::MoveTo, Type::LineTo, Type::LineTo, Type::LineTo}));
    const QList<QPointF> v = endPointsOf(zz);
    EXPECT_EQ(v[0], QPointF(0, 0)); // the path's first point
    const QList<QPointF> expected{{0, -2}, {3, 2}, {6, -2}, {10, 2}};
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(pointsNear(v[i + 1], expected[i])) << i;

    // A whole number of steps still reaches the end.
    EXPECT_TRUE(pointsNear(bezierPathWithZig(polyline({{0, 0}, {9, 0}}), 3, 2).currentPoint(),
                           QPointF(9, 2)));

    // Closed: the last step closes onto the first vertex.
    const BezierPath square = BezierPath::withRect(QRectF(0, 0, 10, 10));
    const BezierPath closed = bezierPathWithZig(square, 10, 1);
    EXPECT_EQ(typesOf(closed), (QList<Type>{Type::MoveTo, Type::MoveTo, Type::LineTo, Type::LineTo,
                                            Type::LineTo, Type::ClosePath}));
    EXPECT_EQ(closed.windingRule(), square.windingRule());

    EXPECT_EQ(bezierPathWithZig(line, 3, 0), line);
    EXPECT_EQ(typesOf(bezierPathWithZig(BezierPath(), 3, 2)), QList<Type>{Type::MoveTo});
    EXPECT_EQ(typesOf(bezierPathWithZig(polyline({{4, 4}}), 3, 2)), QList<Type>{Type::MoveTo});
    for (double zig : {0.0, -1.0}) {
        const auto failure = failureOf([&] { bezierPathWithZig(line, zig, 2); });
        EXPECT_EQ(failure.first, QStringLiteral("zig must be > 0"));
        EXPECT_EQ(failure.second, QStringLiteral("LBPathGeometry"));
    }
}

TEST(PathDecoration, WaveSamples)
{
    const BezierPath line = polyline({{0, 0}, {10, 0}});
    const BezierPath wave = bezierPathWithWavelength(line, 3, 2, 0.5);
    EXPECT_EQ(typesOf(wave), (QList<Type>{Type::MoveTo, Type::MoveTo, Type::CurveTo, Type::CurveTo,
                                          Type::CurveTo}));
    const QList<QPointF> crests = endPointsOf(wave);
    const QList<QPointF> expected{{0, -2}, {3, 2}, {6, -2}, {10, 2}};
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(pointsNear(crests[i + 1], expected[i])) << i;
    // Handles of spread × amplitude along the path's direction.
    EXPECT_TRUE(pointsNear(wave.elementAt(2).points[0], QPointF(1, -2)));
    EXPECT_TRUE(pointsNear(wave.elementAt(2).points[1], QPointF(2, 2)));

    struct Case
    {
        double wavelength;
        int crests;
    };
    const BezierPath square = BezierPath::withRect(QRectF(0, 0, 10, 10)); // length 40
    // Closed: the wave ends on a first-side crest at the start; when the second side is
    // due at the end, it comes half-way to the end first.
    const Case closedCases[] = {{10, 5}, {15, 3}, {12, 5}};
    for (const Case& c : closedCases) {
        const BezierPath w = bezierPathWithWavelength(square, c.wavelength, 1, 0.5);
        EXPECT_EQ(typesOf(w).count(Type::CurveTo), c.crests - 1) << c.wavelength;
        EXPECT_EQ(typesOf(w).last(), Type::ClosePath);
        EXPECT_TRUE(pointsNear(w.currentPoint(), w.elementAt(1).points[0], 1e-9)) << c.wavelength;
    }

    EXPECT_EQ(bezierPathWithWavelength(line, 3, 0, 1), line);
    EXPECT_EQ(bezierPathWithWavelength(line, 3, 2, 0), bezierPathWithZig(line, 3, 2));
    EXPECT_EQ(typesOf(bezierPathWithWavelength(BezierPath(), 3, 2, 1)), QList<Type>{Type::MoveTo});
    const auto failure = failureOf([&] { bezierPathWithWavelength(line, 0, 2, 1); });
    EXPECT_EQ(failure.first, QStringLiteral("wavelength cannot be 0 or negative"));
    EXPECT_EQ(failure.second, QStringLiteral("LBPathGeometry"));
}
