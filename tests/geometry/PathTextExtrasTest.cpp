#include "geometry/LBPathText.h"

#include "geometry/LBPathGeometry.h"
#include "geometry/LBPathToolkitException.h"
#include "geometry/PTBezierLayoutManager.h"
#include "geometry/PTLinkPlacementFactory.h"
#include "geometry/PTMotionTarget.h"
#include "geometry/PTObjectPlacementFactory.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"

#include "PathTestSupport.h"
#include "PathTextTestSupport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineF>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <stdexcept>

using namespace pathtext;
using namespace LBPathText;
using pathtest::pointsNear;
using platform::Range;

namespace {

// --- Measuring and underline pieces ---------------------------------------------------------

TEST(PathTextExtras, ACharacterRangeIsMeasuredAlongTheLine)
{
    const BezierPath path = line(QPointF(0, 50), QPointF(400, 50));
    const AttributedString string = text(QStringLiteral("Hello world"));
    double hello = -1, helloLength = -1, world = -1, worldLength = -1;
    pathPosition(path, &hello, &helloLength, string, Range(0, 5));
    pathPosition(path, &world, &worldLength, string, Range(6, 5));
    EXPECT_NEAR(hello, Padding, 1e-6);
    // "world" starts one space after "Hello" ends.
    EXPECT_GT(world, hello + helloLength + 2);
    EXPECT_LT(world, hello + helloLength + 6);
    // The last glyph's run ends where the line's used part ends, padding included.
    EXPECT_NEAR(world + worldLength, string.size().width() + 2 * Padding, 0.05);
    // Nothing is written unless both answers are wanted.
    double untouched = 42;
    pathPosition(path, &untouched, nullptr, string, Range(0, 5));
    EXPECT_EQ(untouched, 42);
}

TEST(PathTextExtras, DescenderBreaksAreWhereTheUnderlineCrossesTheGlyphs)
{
    const BezierPath path = line(QPointF(0, 50), QPointF(400, 50));
    // "g", "y" and "p" reach below the underline; capitals do not.
    const std::optional<QList<QPointF>> breaks =
        descenderBreaksForString(path, text(QStringLiteral("Hgyp")), Range(1, 3), 1.5);
    ASSERT_TRUE(breaks.has_value());
    ASSERT_GE(breaks->size(), 6);
    EXPECT_EQ(breaks->size() % 2, 0);
    for (qsizetype i = 1; i < breaks->size(); ++i)
        EXPECT_LE(breaks->at(i - 1).x(), breaks->at(i).x());
    EXPECT_GE(breaks->first().x(), Padding);
    EXPECT_FALSE(descenderBreaksForString(path, text(QStringLiteral("HHH")), Range(0, 3), 1.5));
    EXPECT_FALSE(descenderBreaksForString(path, text(QStringLiteral("gyp")), Range(3, 0), 1.5));
}

TEST(PathTextExtras, TextLinesFollowTheStyleMask)
{
    const BezierPath path = line(QPointF(0, 100), QPointF(200, 100));
    EXPECT_FALSE(textLinePathWithMask(path, 0x100, 20, 50, 3, 1, std::nullopt, 0));

    struct Case
    {
        const char* name;
        int mask;
        double width;
        QList<double> ys;
        QList<qreal> dash;
    };
    const QList<Case> cases = {
        {"single", 0x1, 1.0, {97}, {}},
        {"thick dotted", 0x2 | 0x100, 2.0, {97}, {1, 1}},
        // Two lines of 3/4 the thickness, the first half a thickness further out.
        {"double dashed", 0x9 | 0x200, 0.75, {100 - 3.375, 100 - 3.375 + 1.5}, {4, 2}},
        {"dash dot", 0x1 | 0x300, 1.0, {97}, {4, 2, 1, 2}},
        {"dash dot dot", 0x1 | 0x400, 1.0, {97}, {4, 2, 1, 2, 1, 2}},
    };
    for (const Case& c : cases) {
        const std::optional<BezierPath> result =
            textLinePathWithMask(path, c.mask, 20, 50, 3, 1, std::nullopt, 0);
        ASSERT_TRUE(result) << c.name;
        EXPECT_EQ(result->lineWidth(), c.width) << c.name;
        EXPECT_EQ(result->lineDash(), c.dash) << c.name;
        const QList<QPointF> ends = pathtest::endPointsOf(*result);
        ASSERT_EQ(ends.size(), 2 * c.ys.size()) << c.name;
        for (qsizetype i = 0; i < c.ys.size(); ++i) {
            EXPECT_TRUE(pointsNear(ends.at(2 * i), QPointF(20, c.ys.at(i)), 1e-6)) << c.name;
            EXPECT_TRUE(pointsNear(ends.at(2 * i + 1), QPointF(70, c.ys.at(i)), 1e-6)) << c.name;
        }
    }

    // Breaks cut the line around each pair, with margins of 0.3 × threshold + 5; pieces
    // not longer than the threshold are dropped, except the first.
    const QList<QPointF> breaks{{10, 0}, {14, 0}, {30, 0}, {32, 0}};
    const std::optional<BezierPath> broken =
        textLinePathWithMask(path, 0x1, 20, 50, 3, 1, breaks, 2);
    ASSERT_TRUE(broken);
    const QList<QPointF> ends = pathtest::endPointsOf(*broken);
    // Pieces: 20..(30 - 5.6) kept as the first; (34 + 5.6)..(50 - 5.6) = 4.8 kept;
    // (52 + 5.6)..70 kept.
    const QList<double> xs{20, 24.4, 39.6, 44.4, 57.6, 70};
    ASSERT_EQ(ends.size(), xs.size());
    for (qsizetype i = 0; i < xs.size(); ++i)
        EXPECT_TRUE(pointsNear(ends.at(i), QPointF(xs.at(i), 97), 1e-6)) << i;
    // A piece no longer than the threshold is left out.
    const std::optional<BezierPath> dropped =
        textLinePathWithMask(path, 0x1, 20, 50, 3, 1, breaks, 5);
    EXPECT_EQ(pathtest::endPointsOf(*dropped).size(), 4);
}

TEST(PathTextExtras, FallbackUnderlineMetricsScaleWithTheFont)
{
    const double position = valueForInvalidUnderlinePosition(testFont(12));
    const double thickness = valueForInvalidUnderlineThickness(testFont(12));
    EXPECT_GT(position, 0.3);
    EXPECT_LT(position, 3);
    EXPECT_GT(thickness, 0.3);
    EXPECT_LT(thickness, 2);
    EXPECT_NEAR(valueForInvalidUnderlinePosition(testFont(24)), 2 * position, 1e-9);
    EXPECT_NEAR(valueForInvalidUnderlineThickness(testFont(24)), 2 * thickness, 1e-9);
}

TEST(PathTextExtras, TheBezierLayoutManagerCollectsOutlinesInsteadOfDrawing)
{
    platform::TextStorage storage(text(QStringLiteral("Hi\nyo")));
    PTBezierLayoutManager manager;
    manager.setTextContainer(std::make_unique<platform::TextContainer>(QSizeF(500, 500)));
    storage.addLayoutManager(&manager);
    const platform::TextContainer* container = manager.textContainer();

    QSizeF used;
    const QList<BezierPath> glyphs = manager.glyphPathsForContainer(container, &used);
    ASSERT_EQ(glyphs.size(), 5);
    EXPECT_TRUE(glyphs.at(2).isEmpty()); // the line break shows nothing
    EXPECT_EQ(used, manager.usedRectForTextContainer(container).size());
    // Upright, each on its own line: "H" stands on the first baseline, "y" hangs below
    // the second.
    EXPECT_NEAR(glyphs.at(0).bounds().bottom(), TestAscent, 0.05);
    EXPECT_GT(glyphs.at(3).bounds().bottom(), TestLineHeight + TestAscent);
    EXPECT_GT(glyphs.at(0).bounds().left(), Padding);

    manager.drawGlyphsForGlyphRange(Range(0, 2), QPointF(10, 20));
    BezierPath expected = glyphs.at(0);
    expected.appendBezierPath(glyphs.at(1));
    expected.transformUsingAffineTransform(QTransform::fromTranslate(10, 20));
    const QList<QPointF> collected = pathtest::endPointsOf(manager.textPath());
    const QList<QPointF> moved = pathtest::endPointsOf(expected);
    ASSERT_EQ(collected.size(), moved.size());
    for (qsizetype i = 0; i < moved.size(); ++i)
        EXPECT_TRUE(pointsNear(collected.at(i), moved.at(i), 1e-9)) << i;
    storage.removeLayoutManager(&manager);
}

// --- Objects and links along a path ---------------------------------------------------------

class PointFactory : public PTObjectPlacementFactory, public PTLinkPlacementFactory
{
public:
    QVariant placeObjectAtPoint(const QPointF& point, const BezierPath&, double position,
                                double slope, void* userInfo) override
    {
        EXPECT_EQ(userInfo, this);
        positions.append(position);
        slopes.append(slope);
        if (skip && skip(position))
            return QVariant();
        if (asPaths) {
            BezierPath dot = BezierPath::withRect(QRectF(point - QPointF(1, 1), QSizeF(2, 2)));
            return QVariant::fromValue(dot);
        }
        return point;
    }
    QVariant placeLinkFromPoint(const QPointF& point, const QPointF& toPoint, const BezierPath&,
                                int linkNumber, void*) override
    {
        numbers.append(linkNumber);
        return QVariant::fromValue(QLineF(point, toPoint));
    }
    QList<double> positions;
    QList<double> slopes;
    QList<int> numbers;
    std::function<bool(double)> skip;
    bool asPaths = false;
};

TEST(PathTextExtras, ObjectsArePlacedAtEveryIntervalUpToTheEnd)
{
    const BezierPath path = line(QPointF(0, 10), QPointF(100, 10));
    struct Case
    {
        double interval;
        QList<double> positions;
    };
    const QList<Case> cases = {
        {25, {0, 25, 50, 75, 100}},
        {100, {0, 100}}, // an interval of the path's length: both ends
        {40, {0, 40, 80}},
    };
    for (const Case& c : cases) {
        PointFactory factory;
        const std::optional<QVariantList> objects =
            placeObjectsOnPathAtInterval(path, c.interval, &factory, &factory);
        ASSERT_TRUE(objects) << c.interval;
        EXPECT_EQ(factory.positions, c.positions) << c.interval;
        ASSERT_EQ(objects->size(), c.positions.size());
        for (qsizetype i = 0; i < objects->size(); ++i) {
            EXPECT_TRUE(
                pointsNear(objects->at(i).toPointF(), QPointF(c.positions.at(i), 10), 1e-6));
            EXPECT_EQ(factory.slopes.at(i), 0);
        }
    }
    // Objects the factory declines are left out.
    PointFactory choosy;
    choosy.skip = [](double position) { return position == 50; };
    EXPECT_EQ(placeObjectsOnPathAtInterval(path, 25, &choosy, &choosy)->size(), 4);
    // Nothing for a lone point or an interval of 0; a missing factory is an error.
    BezierPath lonePoint;
    lonePoint.moveTo(QPointF(1, 1));
    PointFactory factory;
    EXPECT_FALSE(placeObjectsOnPathAtInterval(lonePoint, 10, &factory, &factory));
    EXPECT_FALSE(placeObjectsOnPathAtInterval(path, 0, &factory, &factory));
    try {
        placeObjectsOnPathAtInterval(path, 10, nullptr, nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Factory object (null) does not implement the required protocol");
    }
}

TEST(PathTextExtras, ObjectsThatArePathsAreJoined)
{
    const BezierPath path = line(QPointF(0, 10), QPointF(100, 10));
    PointFactory factory;
    factory.asPaths = true;
    const std::optional<BezierPath> joined =
        bezierPathWithObjectsOnPathAtInterval(path, 50, &factory, &factory);
    ASSERT_TRUE(joined);
    EXPECT_EQ(joined->bounds(), QRectF(-1, 9, 102, 2));
    EXPECT_EQ(joined->elementCount(), 3 * BezierPath::withRect(QRectF(0, 0, 2, 2)).elementCount());
    // Nothing placed: no path.
    PointFactory none;
    none.skip = [](double) { return true; };
    EXPECT_FALSE(bezierPathWithObjectsOnPathAtInterval(path, 50, &none, &none));

    // Copies of a path are turned along the path and centred on it.
    const BezierPath corner = line(QPointF(0, 0), QPointF(0, 100));
    const BezierPath bar = BezierPath::withRect(QRectF(0, 0, 10, 2));
    const BezierPath copies = bezierPathWithPath(corner, bar, 50);
    const QList<BezierPath> pieces = LBPathGeometry::subPaths(copies);
    ASSERT_EQ(pieces.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QRectF bounds = pieces.at(i).bounds();
        EXPECT_TRUE(pointsNear(bounds.center(), QPointF(0, 50 * i), 1e-6)) << i;
        EXPECT_NEAR(bounds.height(), 10, 1e-6) << i; // turned a quarter
    }
}

TEST(PathTextExtras, LinksAreLaidAlongThePathUntilItsEnd)
{
    const BezierPath path = line(QPointF(0, 0), QPointF(100, 0));
    PointFactory factory;
    const std::optional<QVariantList> links =
        placeLinksOnPathWithLinkLength(path, 30, &factory, nullptr);
    ASSERT_TRUE(links);
    ASSERT_EQ(links->size(), 3);
    EXPECT_EQ(factory.numbers, (QList<int>{0, 1, 2}));
    EXPECT_EQ(links->at(2).toLineF(), QLineF(60, 0, 90, 0));

    PointFactory alternating;
    const std::optional<QVariantList> chain =
        placeLinksOnPathWithEvenLinkLength(path, 30, 10, &alternating, nullptr);
    ASSERT_TRUE(chain);
    ASSERT_EQ(chain->size(), 4); // ends at 30, 40, 70, 80
    EXPECT_EQ(chain->at(3).toLineF(), QLineF(70, 0, 80, 0));
    EXPECT_FALSE(placeLinksOnPathWithEvenLinkLength(path, 30, 0, &alternating, nullptr));
    EXPECT_THROW(placeLinksOnPathWithLinkLength(path, 30, nullptr, nullptr), std::invalid_argument);
}

// --- Motion --------------------------------------------------------------------------------

class Mover : public PTMotionTarget
{
public:
    bool moveObjectTo(const QPointF& point, double position, double slope,
                      const QVariant& userInfo) override
    {
        points.append(point);
        positions.append(position);
        slopes.append(slope);
        infos.append(userInfo);
        return points.size() <= acceptMoves;
    }
    QList<QPointF> points;
    QList<double> positions;
    QList<double> slopes;
    QVariantList infos;
    int acceptMoves = 1000;
};

class PathTextMotion : public ::testing::Test
{
protected:
    // Seconds since the reference date today: far beyond what a float keeps to the second.
    double now = 790000000.0;
    void SetUp() override
    {
        setMotionClock([this] { return now; });
    }
    void TearDown() override { setMotionClock({}); }
};

TEST_F(PathTextMotion, WithoutLoopTheObjectStopsAtThePathsEnd)
{
    const BezierPath path = line(QPointF(0, 0), QPointF(100, 0));
    auto mover = std::make_shared<Mover>();
    QPointer<QTimer> timer = moveObject(path, mover, 50, false, QStringLiteral("info"));
    ASSERT_TRUE(timer);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 33);
    ASSERT_EQ(mover->points.size(), 1);
    EXPECT_EQ(mover->points.at(0), QPointF(0, 0));

    now += 0.5;
    motionCallback(timer);
    ASSERT_EQ(mover->points.size(), 2);
    EXPECT_TRUE(pointsNear(mover->points.at(1), QPointF(25, 0), 1e-6));
    EXPECT_EQ(mover->positions.at(1), 25);
    EXPECT_EQ(mover->infos.at(1), QVariant(QStringLiteral("info")));
    EXPECT_TRUE(timer->isActive());

    now += 2.5; // 150 points: held at the end, and the motion ends
    motionCallback(timer);
    ASSERT_EQ(mover->points.size(), 3);
    EXPECT_TRUE(pointsNear(mover->points.at(2), QPointF(100, 0), 1e-4));
    EXPECT_FALSE(timer->isActive());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(timer);
    EXPECT_EQ(mover.use_count(), 1); // the motion let go of its target
}

TEST_F(PathTextMotion, WithLoopTheObjectWrapsToTheStart)
{
    const BezierPath path = line(QPointF(0, 0), QPointF(0, 100));
    auto mover = std::make_shared<Mover>();
    QPointer<QTimer> timer = moveObject(path, mover, 40, true);
    ASSERT_TRUE(timer);
    now += 3.25; // 130 points: 30 into the second round
    motionCallback(timer);
    EXPECT_TRUE(pointsNear(mover->points.last(), QPointF(0, 30), 1e-3));
    EXPECT_NEAR(mover->slopes.last(), M_PI / 2, 1e-6);
    EXPECT_FALSE(mover->infos.last().isValid());
    EXPECT_TRUE(timer->isActive());
    timer->stop();
    delete timer;
}

TEST_F(PathTextMotion, TheMotionEndsWhenTheObjectDeclines)
{
    const BezierPath path = line(QPointF(0, 0), QPointF(100, 0));
    auto declining = std::make_shared<Mover>();
    declining->acceptMoves = 0;
    EXPECT_EQ(moveObject(path, declining, 10, true), nullptr); // declined the start

    auto mover = std::make_shared<Mover>();
    mover->acceptMoves = 1;
    QPointer<QTimer> timer = moveObject(path, mover, 10, true);
    ASSERT_TRUE(timer);
    now += 1;
    motionCallback(timer);
    EXPECT_FALSE(timer->isActive());

    // No motion for a speed of 0 or a lone point; a missing object is an error.
    EXPECT_EQ(moveObject(path, mover, 0, false), nullptr);
    BezierPath lonePoint;
    lonePoint.moveTo(QPointF(3, 3));
    EXPECT_EQ(moveObject(lonePoint, mover, 10, false), nullptr);
    try {
        moveObject(path, nullptr, 10, false);
        ADD_FAILURE() << "no exception";
    } catch (const LBPathToolkitException& e) {
        EXPECT_EQ(e.message(), QStringLiteral("can't move a nil object"));
        EXPECT_EQ(e.sourceFile(), QStringLiteral("LBPathText"));
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// --- Slicing shapes ---------------------------------------------------------------------------

TEST(PathTextExtras, AHorizontalLineCrossesAShapeInPairs)
{
    const BezierPath circle = BezierPath::withOvalInRect(QRectF(50, 50, 100, 100));
    const std::optional<QList<QPointF>> through =
        intersectingPointsWithHorizontalLineAtY(circle, 110);
    ASSERT_TRUE(through);
    ASSERT_EQ(through->size(), 2);
    const double half = std::sqrt(50.0 * 50 - 10.0 * 10);
    // Crossings of the polygon the circle is flattened to (flatness 5).
    EXPECT_NEAR(through->at(0).x(), 100 - half, 5);
    EXPECT_NEAR(through->at(1).x(), 100 + half, 5);
    EXPECT_EQ(through->at(0).y(), 110);

    // Where the line meets the outline at vertices: a crossing at a vertex two segments
    // share counts once, a touch not at all, and a stretch along the line gives its ends.
    struct Case
    {
        const char* what;
        BezierPath path;
        double y;
        QList<QPointF> points;
    };
    const Case cases[] = {
        {"through the vertex of a triangle",
         pathtest::closedPolygon({{10, 10}, {60, 35}, {10, 60}}),
         35,
         {{10, 35}, {60, 35}}},
        {"through the middle of a circle, at its curves' ends",
         circle,
         100,
         {{50, 100}, {150, 100}}},
        {"touching the tip of a notch",
         pathtest::closedPolygon({{10, 10}, {50, 40}, {90, 10}, {90, 80}, {10, 80}}),
         40,
         {{10, 40}, {90, 40}}},
        {"touching a triangle's top vertex",
         pathtest::closedPolygon({{50, 10}, {90, 60}, {10, 60}}),
         10,
         {}},
        {"along a rectangle's bottom edge",
         BezierPath::withRect(QRectF(10, 10, 100, 50)),
         60,
         {{10, 60}, {110, 60}}},
        {"along a step, then down the other side",
         pathtest::closedPolygon({{0, 0}, {100, 0}, {100, 50}, {50, 50}, {50, 100}, {0, 100}}),
         50,
         {{0, 50}, {50, 50}}},
    };
    for (const Case& c : cases) {
        const std::optional<QList<QPointF>> points =
            intersectingPointsWithHorizontalLineAtY(c.path, c.y);
        EXPECT_EQ(points.value_or(QList<QPointF>()), c.points) << c.what;
    }
    // So a line through the middle of a circle cuts one fragment as wide as the circle.
    QRectF remaining;
    EXPECT_EQ(lineFragmentRectForProposedRect(circle, QRectF(0, 90, 300, 20), &remaining),
              QRectF(50, 90, 100, 20));

    EXPECT_FALSE(intersectingPointsWithHorizontalLineAtY(circle, 160));
    EXPECT_FALSE(intersectingPointsWithHorizontalLineAtY(BezierPath(), 10));
    try {
        intersectingPointsWithHorizontalLineAtY(circle, 0);
        ADD_FAILURE() << "no exception";
    } catch (const LBPathToolkitException& e) {
        EXPECT_EQ(e.message(), QStringLiteral("y value must be greater than 0"));
        EXPECT_EQ(e.sourceFile(), QStringLiteral("LBPathText"));
    }
}

TEST(PathTextExtras, AShapeIsCutIntoLineFragmentsInsideIt)
{
    const BezierPath rect = BezierPath::withRect(QRectF(10, 10, 100, 50));
    const QList<QRectF> lines = lineFragmentRectsForFixedLineheight(rect, 10);
    const QList<QRectF> expected{{10, 11, 100, 10},
                                 {10, 20, 100, 10},
                                 {10, 30, 100, 10},
                                 {10, 40, 100, 10},
                                 {10, 50, 100, 10}};
    EXPECT_EQ(lines, expected);

    // In a circle, each fragment is the overlap of the slices above and below it.
    const BezierPath circle = BezierPath::withOvalInRect(QRectF(50, 50, 100, 100));
    const QList<QRectF> round = lineFragmentRectsForFixedLineheight(circle, 15);
    ASSERT_GE(round.size(), 4);
    for (const QRectF& fragment : round) {
        EXPECT_EQ(fragment.height(), 15);
        EXPECT_TRUE(circle.containsPoint(fragment.adjusted(1, 1, -1, -1).topLeft()));
        EXPECT_TRUE(circle.containsPoint(fragment.adjusted(1, 1, -1, -1).bottomRight()));
    }
    try {
        lineFragmentRectsForFixedLineheight(rect, 0);
        ADD_FAILURE() << "no exception";
    } catch (const LBPathToolkitException& e) {
        EXPECT_EQ(e.message(), QStringLiteral("lineheight must be positive and greater than 0"));
    }
}

TEST(PathTextExtras, AProposedRectIsCutToThePathAtItsMiddle)
{
    // A ring: crossings at about 50, 80, 120 and 150 on the line y = 105.
    BezierPath ring = BezierPath::withOvalInRect(QRectF(50, 50, 100, 100));
    ring.appendBezierPath(BezierPath::withOvalInRect(QRectF(80, 80, 40, 40)));
    ring.setWindingRule(BezierPath::WindingRule::EvenOdd);
    const std::optional<QList<QPointF>> crossings =
        intersectingPointsWithHorizontalLineAtY(ring, 105);
    ASSERT_TRUE(crossings);
    ASSERT_EQ(crossings->size(), 4);

    QRectF remaining;
    const QRectF first = lineFragmentRectForProposedRect(ring, QRectF(0, 95, 300, 20), &remaining);
    EXPECT_EQ(first,
              QRectF(crossings->at(0).x(), 95, crossings->at(1).x() - crossings->at(0).x(), 20));
    EXPECT_EQ(remaining, QRectF(crossings->at(1).x(), 95, 300, 20));
    // Starting inside the hole: the pair after it.
    const QRectF second =
        lineFragmentRectForProposedRect(ring, QRectF(100, 95, 300, 20), &remaining);
    EXPECT_EQ(second,
              QRectF(crossings->at(2).x(), 95, crossings->at(3).x() - crossings->at(2).x(), 20));
    // The datum offset moves the slicing line: at the top edge of the proposed rect.
    const QRectF top = lineFragmentRectForProposedRect(ring, QRectF(0, 60, 300, 20), nullptr, -0.5);
    const std::optional<QList<QPointF>> atTop = intersectingPointsWithHorizontalLineAtY(ring, 60);
    EXPECT_EQ(top.left(), atTop->at(0).x());
    // No pair right of the start: nothing.
    EXPECT_EQ(lineFragmentRectForProposedRect(ring, QRectF(130, 95, 300, 20), &remaining),
              QRectF());
    EXPECT_EQ(remaining, QRectF());
}

} // namespace
