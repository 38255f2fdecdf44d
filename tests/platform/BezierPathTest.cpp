#include "platform/drawing/BezierPath.h"

#include <QPainterPath>
#include <QTransform>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

using platform::BezierPath;
using Type = BezierPath::ElementType;

namespace {

QList<Type> typesOf(const BezierPath& path)
{
    QList<Type> types;
    for (const BezierPath::Element& e : path.elements())
        types.append(e.type);
    return types;
}

int curveCount(const BezierPath& path)
{
    return static_cast<int>(typesOf(path).count(Type::CurveTo));
}

void expectNear(const QPointF& actual, const QPointF& expected, double tolerance = 1e-9)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance);
    EXPECT_NEAR(actual.y(), expected.y(), tolerance);
}

void expectRectNear(const QRectF& actual, const QRectF& expected, double tolerance = 1e-9)
{
    EXPECT_NEAR(actual.left(), expected.left(), tolerance);
    EXPECT_NEAR(actual.top(), expected.top(), tolerance);
    EXPECT_NEAR(actual.width(), expected.width(), tolerance);
    EXPECT_NEAR(actual.height(), expected.height(), tolerance);
}

} // namespace

TEST(BezierPath, RectOvalAndRoundedRectElements)
{
    const BezierPath rect = BezierPath::withRect(QRectF(10, 20, 30, 40));
    EXPECT_EQ(typesOf(rect), (QList<Type>{Type::MoveTo, Type::LineTo, Type::LineTo, Type::LineTo,
                                          Type::ClosePath}));
    EXPECT_EQ(rect.elementAt(0).points[0], QPointF(10, 20));
    EXPECT_EQ(rect.elementAt(1).points[0], QPointF(40, 20));
    EXPECT_EQ(rect.elementAt(2).points[0], QPointF(40, 60));
    EXPECT_EQ(rect.elementAt(3).points[0], QPointF(10, 60));

    const BezierPath oval = BezierPath::withOvalInRect(QRectF(0, 0, 200, 100));
    EXPECT_EQ(typesOf(oval), (QList<Type>{Type::MoveTo, Type::CurveTo, Type::CurveTo, Type::CurveTo,
                                          Type::CurveTo, Type::ClosePath}));
    EXPECT_EQ(oval.elementAt(0).points[0], QPointF(200, 50)); // rightmost point first
    const BezierPath::Element quarter = oval.elementAt(1);
    expectNear(quarter.points[0], QPointF(200, 50 + 50 * 0.5522847498));
    expectNear(quarter.points[1], QPointF(100 + 100 * 0.5522847498, 100));
    expectNear(quarter.points[2], QPointF(100, 100));
    EXPECT_EQ(oval.elementAt(4).points[2], QPointF(200, 50));

    // Radii larger than half the sides are clamped: a 40 × 20 box with radii 100 becomes a
    // stadium whose straight edges have shrunk to nothing.
    const BezierPath rounded = BezierPath::withRoundedRect(QRectF(0, 0, 40, 20), 100, 100);
    EXPECT_EQ(
        typesOf(rounded),
        (QList<Type>{Type::MoveTo, Type::LineTo, Type::CurveTo, Type::LineTo, Type::CurveTo,
                     Type::LineTo, Type::CurveTo, Type::LineTo, Type::CurveTo, Type::ClosePath}));
    EXPECT_EQ(rounded.elementAt(0).points[0], QPointF(20, 0));
    EXPECT_EQ(rounded.elementAt(2).points[2], QPointF(40, 10));
    expectRectNear(rounded.bounds(), QRectF(0, 0, 40, 20));
    // No radius: the plain rectangle.
    EXPECT_EQ(BezierPath::withRoundedRect(QRectF(0, 0, 40, 20), 0, 5),
              BezierPath::withRect(QRectF(0, 0, 40, 20)));
}

TEST(BezierPath, ArcsAreMadeOfQuarterTurnsAtMost)
{
    struct Case
    {
        double start, end;
        bool clockwise;
        int curves;
        QPointF last;
    };
    const Case cases[] = {
        {0, 270, false, 3, QPointF(0, -10)},
        {0, 10, false, 1, QPointF(10 * std::cos(M_PI / 18), 10 * std::sin(M_PI / 18))},
        {0, 90, false, 1, QPointF(0, 10)},
        {0, 360, false, 4, QPointF(10, 0)},
        {0, 91, false, 2, QPointF(10 * std::cos(91 * M_PI / 180), 10 * std::sin(91 * M_PI / 180))},
        // Clockwise from 0 to 270 is the short way round: 90° down to -90.
        {0, 270, true, 1, QPointF(0, -10)},
        // Counter-clockwise from 90 to 0 goes the long way round.
        {90, 0, false, 3, QPointF(10, 0)},
        {45, 45, false, 0, QPointF(10 * std::cos(M_PI / 4), 10 * std::sin(M_PI / 4))},
    };
    for (const Case& c : cases) {
        BezierPath path;
        path.appendBezierPathWithArcWithCenter(QPointF(0, 0), 10, c.start, c.end, c.clockwise);
        SCOPED_TRACE(testing::Message() << c.start << " to " << c.end << " cw " << c.clockwise);
        EXPECT_EQ(path.elementTypeAt(0), Type::MoveTo);
        EXPECT_EQ(curveCount(path), c.curves);
        expectNear(path.currentPoint(), c.last, 1e-9);
        // Every curve stays on the circle to well within a thousandth of the radius.
        for (int i = 1; i < path.elementCount(); ++i) {
            QPointF p0 = i == 1 ? path.elementAt(0).points[0] : path.elementAt(i - 1).points[2];
            const BezierPath::Element e = path.elementAt(i);
            const QPointF mid =
                0.125 * p0 + 0.375 * e.points[0] + 0.375 * e.points[1] + 0.125 * e.points[2];
            EXPECT_NEAR(std::hypot(mid.x(), mid.y()), 10, 0.003);
        }
    }

    // On a path with a current point the arc is joined to it by a line.
    BezierPath joined;
    joined.moveTo(QPointF(-50, 0));
    joined.appendBezierPathWithArcWithCenter(QPointF(0, 0), 10, 180, 360);
    EXPECT_EQ(typesOf(joined),
              (QList<Type>{Type::MoveTo, Type::LineTo, Type::CurveTo, Type::CurveTo}));
    expectNear(joined.elementAt(1).points[0], QPointF(-10, 0));
}

TEST(BezierPath, TangentArcFromPoint)
{
    BezierPath path;
    path.moveTo(QPointF(0, 0));
    path.appendBezierPathWithArcFromPoint(QPointF(100, 0), QPointF(100, 100), 20);
    EXPECT_EQ(path.elementTypeAt(1), Type::LineTo);
    expectNear(path.elementAt(1).points[0], QPointF(80, 0));
    EXPECT_EQ(curveCount(path), 1);
    expectNear(path.currentPoint(), QPointF(100, 20));

    // Collinear points: only the line.
    BezierPath straight;
    straight.moveTo(QPointF(0, 0));
    straight.appendBezierPathWithArcFromPoint(QPointF(50, 0), QPointF(100, 0), 20);
    EXPECT_EQ(typesOf(straight), (QList<Type>{Type::MoveTo, Type::LineTo}));
}

TEST(BezierPath, DrawingOnAnEmptyPathAndAfterAClose)
{
    BezierPath path;
    EXPECT_EQ(path.currentPoint(), QPointF(0, 0));
    path.lineTo(QPointF(5, 5));
    EXPECT_EQ(typesOf(path), (QList<Type>{Type::MoveTo, Type::LineTo}));
    EXPECT_EQ(path.elementAt(0).points[0], QPointF(0, 0));

    BezierPath closed;
    closed.moveTo(QPointF(10, 10));
    closed.lineTo(QPointF(20, 10));
    closed.lineTo(QPointF(20, 20));
    closed.closePath();
    EXPECT_EQ(closed.currentPoint(), QPointF(10, 10));
    closed.relativeLineTo(QPointF(-10, 0));
    EXPECT_EQ(closed.currentPoint(), QPointF(0, 10));
    // The new segment starts at the closed subpath's start.
    const QPainterPath qt = closed.toPainterPath();
    const QPainterPath::Element restart = qt.elementAt(qt.elementCount() - 2);
    EXPECT_EQ(restart.type, QPainterPath::MoveToElement);
    EXPECT_EQ(QPointF(restart), QPointF(10, 10));
}

TEST(BezierPath, BoundsFollowTheCurveControlPointBoundsTheHandles)
{
    BezierPath path;
    path.moveTo(QPointF(0, 0));
    path.curveTo(QPointF(100, 0), QPointF(0, 100), QPointF(100, 100));
    expectRectNear(path.bounds(), QRectF(0, 0, 100, 75));
    expectRectNear(path.controlPointBounds(), QRectF(0, 0, 100, 100));

    // An S curve reaches beyond its end points on both sides in x.
    BezierPath s;
    s.moveTo(QPointF(0, 0));
    s.curveTo(QPointF(0, 30), QPointF(40, 10), QPointF(-40, 20));
    const QRectF b = s.bounds();
    EXPECT_GT(b.right(), 0.0);
    EXPECT_LT(b.left(), 0.0);
    EXPECT_LT(b.right(), 40.0);
    EXPECT_NEAR(b.right(), -b.left(), 1e-9);

    EXPECT_TRUE(BezierPath().bounds().isNull());
    EXPECT_TRUE(BezierPath().controlPointBounds().isNull());
    // A straight horizontal line keeps its zero-height bounds.
    BezierPath line;
    line.moveTo(QPointF(5, 7));
    line.lineTo(QPointF(25, 7));
    EXPECT_EQ(line.bounds(), QRectF(5, 7, 20, 0));

    // A curve drawn right after a close starts where drawing does, at the start of the
    // closed subpath: the bounds are those of the drawn path.
    BezierPath afterClose;
    afterClose.moveTo(QPointF(0, 0));
    afterClose.lineTo(QPointF(100, 0));
    afterClose.lineTo(QPointF(100, 100));
    afterClose.closePath();
    afterClose.curveTo(QPointF(0, 100), QPointF(-50, 50), QPointF(-50, 50));
    expectRectNear(afterClose.bounds(), QRectF(-37.5, 0, 137.5, 100));
    expectRectNear(afterClose.bounds(), afterClose.toPainterPath().boundingRect());
}

TEST(BezierPath, WindingRuleDecidesTheOverlap)
{
    // Two squares drawn the same way round overlapping in (10..20, 10..20).
    BezierPath path = BezierPath::withRect(QRectF(0, 0, 20, 20));
    path.appendBezierPathWithRect(QRectF(10, 10, 20, 20));
    const QPointF overlap(15, 15), single(5, 5), outside(25, 5);

    EXPECT_TRUE(path.containsPoint(overlap));
    EXPECT_TRUE(path.containsPoint(single));
    EXPECT_FALSE(path.containsPoint(outside));

    path.setWindingRule(BezierPath::WindingRule::EvenOdd);
    EXPECT_FALSE(path.containsPoint(overlap));
    EXPECT_TRUE(path.containsPoint(single));

    // An open subpath fills as if closed.
    BezierPath open;
    open.moveTo(QPointF(0, 0));
    open.lineTo(QPointF(10, 0));
    open.lineTo(QPointF(10, 10));
    EXPECT_TRUE(open.containsPoint(QPointF(8, 2)));
    EXPECT_FALSE(open.containsPoint(QPointF(2, 8)));
    EXPECT_FALSE(BezierPath().containsPoint(QPointF(0, 0)));
}

TEST(BezierPath, TransformChangesOnlyTheCopy)
{
    const BezierPath original = BezierPath::withOvalInRect(QRectF(0, 0, 20, 10));
    const BezierPath moved = original.transformed(QTransform::fromTranslate(5, 5).scale(2, 3));
    expectRectNear(moved.bounds(), QRectF(5, 5, 40, 30));
    expectRectNear(original.bounds(), QRectF(0, 0, 20, 10));

    BezierPath rotated = BezierPath::withRect(QRectF(0, 0, 10, 20));
    rotated.transformUsingAffineTransform(QTransform().rotate(90));
    expectRectNear(rotated.bounds(), QRectF(-20, 0, 20, 10));
}

TEST(BezierPath, PainterPathRoundTripKeepsElementsAndRule)
{
    BezierPath path = BezierPath::withRect(QRectF(0, 0, 10, 10));
    path.appendBezierPathWithOvalInRect(QRectF(20, 0, 10, 10));
    path.moveTo(QPointF(40, 0));
    path.curveTo(QPointF(60, 0), QPointF(45, 10), QPointF(55, 10));
    path.lineTo(QPointF(60, 20));
    path.setWindingRule(BezierPath::WindingRule::EvenOdd);

    const QPainterPath qt = path.toPainterPath();
    EXPECT_EQ(qt.fillRule(), Qt::OddEvenFill);
    const BezierPath back = BezierPath::fromPainterPath(qt);
    EXPECT_EQ(back.elements(), path.elements());
    EXPECT_EQ(back.windingRule(), BezierPath::WindingRule::EvenOdd);
}

TEST(BezierPath, StrokedOutlineFollowsWidthCapAndDash)
{
    BezierPath line;
    line.moveTo(QPointF(0, 0));
    line.lineTo(QPointF(100, 0));
    line.setLineWidth(4);
    expectRectNear(line.strokedOutline().boundingRect(), QRectF(0, -2, 100, 4), 1e-6);
    line.setLineCapStyle(BezierPath::LineCap::Square);
    expectRectNear(line.strokedOutline().boundingRect(), QRectF(-2, -2, 104, 4), 1e-6);

    // Dash lengths are points, whatever the width: 10 on, 10 off gives five dashes.
    line.setLineCapStyle(BezierPath::LineCap::Butt);
    line.setLineDash({10, 10});
    const QList<QPolygonF> dashes = line.strokedOutline().toFillPolygons();
    ASSERT_EQ(dashes.size(), 5);
    expectRectNear(dashes.first().boundingRect(), QRectF(0, -2, 10, 4), 1e-6);
    // The phase shifts the pattern into the line.
    line.setLineDash({10, 10}, 5);
    expectRectNear(line.strokedOutline().toFillPolygons().first().boundingRect(),
                   QRectF(0, -2, 5, 4), 1e-6);

    // A sharp corner: mitred within the limit, bevelled beyond it.
    BezierPath corner;
    corner.moveTo(QPointF(-100, 0));
    corner.lineTo(QPointF(0, 0));
    const double theta = 2 * std::asin(1.0 / 5.0); // mitre length 5 line widths
    corner.lineTo(QPointF(-100 * std::cos(theta), 100 * std::sin(theta)));
    corner.setLineWidth(10);
    corner.setMiterLimit(6);
    EXPECT_GT(corner.strokedOutline().boundingRect().right(), 20.0);
    corner.setMiterLimit(4);
    EXPECT_LT(corner.strokedOutline().boundingRect().right(), 5.0);
}

TEST(BezierPath, ReversingAndFlattening)
{
    BezierPath path;
    path.moveTo(QPointF(0, 0));
    path.lineTo(QPointF(10, 0));
    path.curveTo(QPointF(20, 10), QPointF(15, 0), QPointF(20, 5));
    const BezierPath reversed = path.bezierPathByReversingPath();
    ASSERT_EQ(typesOf(reversed), (QList<Type>{Type::MoveTo, Type::CurveTo, Type::LineTo}));
    EXPECT_EQ(reversed.elementAt(0).points[0], QPointF(20, 10));
    EXPECT_EQ(reversed.elementAt(1).points,
              (std::array<QPointF, 3>{QPointF(20, 5), QPointF(15, 0), QPointF(10, 0)}));
    EXPECT_EQ(reversed.elementAt(2).points[0], QPointF(0, 0));
    EXPECT_EQ(reversed.bezierPathByReversingPath().elements(), path.elements());

    const BezierPath rect = BezierPath::withRect(QRectF(0, 0, 10, 20));
    EXPECT_EQ(typesOf(rect.bezierPathByReversingPath()), typesOf(rect));
    EXPECT_EQ(rect.bezierPathByReversingPath().elementAt(0).points[0], QPointF(0, 20));

    BezierPath circle = BezierPath::withOvalInRect(QRectF(-50, -50, 100, 100));
    circle.setFlatness(0.1);
    const BezierPath flat = circle.bezierPathByFlatteningPath();
    EXPECT_EQ(curveCount(flat), 0);
    EXPECT_GT(flat.elementCount(), 16);
    EXPECT_EQ(flat.elements().last().type, Type::ClosePath);
    for (int i = 1; i + 1 < flat.elementCount(); ++i) {
        const QPointF p = flat.elementAt(i).points[0];
        EXPECT_NEAR(std::hypot(p.x(), p.y()), 50, 0.05);
    }
}

TEST(BezierPath, CopiesAreIndependent)
{
    BezierPath a = BezierPath::withRect(QRectF(0, 0, 10, 10));
    BezierPath b = a;
    EXPECT_EQ(a, b);
    b.setAssociatedPoints({QPointF(1, 1)}, 0);
    b.setLineWidth(3);
    EXPECT_NE(a, b);
    EXPECT_EQ(a.elementAt(0).points[0], QPointF(0, 0));
    EXPECT_EQ(a.lineWidth(), 1.0);
    EXPECT_EQ(b.elementAt(0).points[0], QPointF(1, 1));
}

// A value derived from a path lasts until the path changes, in any way, and copies share
// it only while they share the path.
TEST(BezierPath, DerivedValuesLastUntilThePathChanges)
{
    static const char kind = 0;
    static const char otherKind = 0;
    const auto value = std::make_shared<int>(7);
    const std::vector<std::pair<const char*, std::function<void(BezierPath&)>>> changes = {
        {"move", [](BezierPath& p) { p.moveTo(QPointF(3, 3)); }},
        {"line", [](BezierPath& p) { p.lineTo(QPointF(3, 3)); }},
        {"curve", [](BezierPath& p) { p.curveTo(QPointF(3, 3), QPointF(1, 1), QPointF(2, 2)); }},
        {"close", [](BezierPath& p) { p.closePath(); }},
        {"points", [](BezierPath& p) { p.setAssociatedPoints({QPointF(1, 1)}, 1); }},
        {"append", [](BezierPath& p) { p.appendBezierPathWithRect(QRectF(0, 0, 1, 1)); }},
        {"transform",
         [](BezierPath& p) { p.transformUsingAffineTransform(QTransform::fromScale(2, 2)); }},
        {"clear", [](BezierPath& p) { p.removeAllPoints(); }},
        {"winding rule", [](BezierPath& p) { p.setWindingRule(BezierPath::WindingRule::EvenOdd); }},
    };
    for (const auto& [name, change] : changes) {
        BezierPath path = BezierPath::withRect(QRectF(0, 0, 10, 10));
        EXPECT_EQ(path.derivedValue(&kind), nullptr) << name;
        path.setDerivedValue(&kind, value);
        change(path); // unshared
        EXPECT_EQ(path.derivedValue(&kind), nullptr) << name;
        path.setDerivedValue(&kind, value);
        const BezierPath copy = path;
        EXPECT_EQ(copy.derivedValue(&kind), value) << name; // shared with the copy
        EXPECT_EQ(path.derivedValue(&otherKind), nullptr) << name;
        change(path);
        EXPECT_EQ(path.derivedValue(&kind), nullptr) << name;
        EXPECT_EQ(copy.derivedValue(&kind), value) << name; // the copy is still that path
    }
}

// The stroke's bounds, worked out without the stroke's outline, hold the whole outline
// (a line at least a point wide) and are not much larger.
TEST(BezierPath, StrokeBoundsHoldTheStrokedOutline)
{
    BezierPath acute;
    acute.moveTo(QPointF(0, 0));
    acute.lineTo(QPointF(100, 10));
    acute.lineTo(QPointF(0, 20));
    BezierPath zigzag;
    zigzag.moveTo(QPointF(0, 0));
    for (int i = 1; i < 8; ++i)
        zigzag.lineTo(QPointF(i * 10, i % 2 ? 40 : 0));
    BezierPath spike = acute;
    spike.closePath();
    BezierPath curve;
    curve.moveTo(QPointF(0, 0));
    curve.curveTo(QPointF(50, 0), QPointF(0, 80), QPointF(50, 80));
    curve.lineTo(QPointF(0, 5));
    struct Case
    {
        const char* name;
        BezierPath path;
        qreal width;
        BezierPath::LineJoin join;
        BezierPath::LineCap cap;
        qreal miterLimit;
    };
    using J = BezierPath::LineJoin;
    using C = BezierPath::LineCap;
    const Case cases[] = {
        {"rectangle", BezierPath::withRect(QRectF(10, 10, 80, 40)), 6, J::Miter, C::Butt, 10},
        {"oval", BezierPath::withOvalInRect(QRectF(0, 0, 90, 30)), 8, J::Miter, C::Butt, 10},
        {"acute, mitred", acute, 4, J::Miter, C::Butt, 30},
        {"acute, limited", acute, 4, J::Miter, C::Butt, 2},
        {"acute, round", acute, 4, J::Round, C::Round, 10},
        {"zigzag, square caps", zigzag, 5, J::Bevel, C::Square, 10},
        {"zigzag, mitred", zigzag, 3, J::Miter, C::Butt, 10},
        {"closed spike", spike, 3, J::Miter, C::Butt, 40},
        {"curve", curve, 7, J::Miter, C::Square, 10},
        {"hairline", BezierPath::withRect(QRectF(0, 0, 10, 10)), 0, J::Miter, C::Butt, 10},
    };
    for (const Case& c : cases) {
        BezierPath path = c.path;
        path.setLineWidth(c.width);
        path.setLineJoinStyle(c.join);
        path.setLineCapStyle(c.cap);
        path.setMiterLimit(c.miterLimit);
        const QRectF outline = path.strokedOutline().boundingRect().adjusted(-0.5, -0.5, 0.5, 0.5);
        const QRectF bounds = path.strokeBounds();
        EXPECT_TRUE(bounds.contains(outline)) << c.name;
        const qreal reach = std::max(c.width, qreal(1)) * std::max(c.miterLimit, qreal(1)) + 1;
        EXPECT_TRUE(
            path.controlPointBounds().adjusted(-reach, -reach, reach, reach).contains(bounds))
            << c.name;
    }
    // A rectangle's is its own bounds grown by little more than half the width.
    BezierPath rectangle = BezierPath::withRect(QRectF(10, 10, 80, 40));
    rectangle.setLineWidth(6);
    EXPECT_LE(rectangle.strokeBounds().width(), 80 + 6 * std::sqrt(2.0) * 1.001 + 1 + 1e-9);
}

// Rectangles and ovals are told apart from other paths of the same elements.
TEST(BezierPath, RectanglesAndOvalsAreRecognised)
{
    const QRectF r(10.25, 20.5, 70.125, 30.75);
    EXPECT_EQ(BezierPath::withRect(r).rectangle(), r);
    EXPECT_EQ(BezierPath::withRect(r).oval(), std::nullopt);
    EXPECT_EQ(BezierPath::withOvalInRect(r).oval(), r);
    EXPECT_EQ(BezierPath::withOvalInRect(r).rectangle(), std::nullopt);
    BezierPath lineBack;
    lineBack.moveTo(QPointF(0, 0));
    lineBack.lineTo(QPointF(0, 5));
    lineBack.lineTo(QPointF(8, 5));
    lineBack.lineTo(QPointF(8, 0));
    lineBack.lineTo(QPointF(0, 0));
    EXPECT_EQ(lineBack.rectangle(), QRectF(0, 0, 8, 5));

    BezierPath turned = BezierPath::withRect(r);
    turned.transformUsingAffineTransform(QTransform().rotate(20));
    BezierPath squashed = BezierPath::withOvalInRect(r);
    squashed.setAssociatedPoints({QPointF(0, 0), QPointF(1, 1), QPointF(40, 36)}, 2);
    BezierPath open = BezierPath::withRect(r);
    open.removeAllPoints();
    open.moveTo(QPointF(0, 0));
    open.lineTo(QPointF(8, 0));
    open.lineTo(QPointF(8, 5));
    open.lineTo(QPointF(0, 5));
    for (const BezierPath& other :
         {turned, squashed, open, BezierPath::withRoundedRect(r, 4, 4), BezierPath()}) {
        EXPECT_EQ(other.rectangle(), std::nullopt);
        EXPECT_EQ(other.oval(), std::nullopt);
    }
}
