// Outlines of per-label layouts: the lengths of a label entry, rounded rectangles, the
// shapes of the entries, the quarter turn and the path of all label faces.

#include "WindowTestSupport.h"

#include <QRectF>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

using platform::BezierPath;

QVariantMap entry(double x, double y, double width, double height, const QVariantMap& more = {})
{
    QVariantMap e = {{"x", x}, {"y", y}, {"width", width}, {"height", height}};
    for (auto it = more.cbegin(); it != more.cend(); ++it)
        e.insert(it.key(), it.value());
    return e;
}

// The path cut at its moves.
QList<BezierPath> subpaths(const BezierPath& path)
{
    QList<BezierPath> parts;
    for (const BezierPath::Element& e : path.elements()) {
        if (e.type == BezierPath::ElementType::MoveTo || parts.isEmpty())
            parts.append(BezierPath());
        BezierPath& part = parts.last();
        switch (e.type) {
        case BezierPath::ElementType::MoveTo: part.moveTo(e.points[0]); break;
        case BezierPath::ElementType::LineTo: part.lineTo(e.points[0]); break;
        case BezierPath::ElementType::CurveTo:
            part.curveTo(e.points[2], e.points[0], e.points[1]);
            break;
        case BezierPath::ElementType::ClosePath: part.closePath(); break;
        }
    }
    return parts;
}

// Positive for an outline that runs like a rectangle path (right along the top edge
// first, y growing downwards), negative for a reversed one.
double signedArea(BezierPath path)
{
    path.setFlatness(0.001);
    const QList<QPointF> p = pathPoints(path.bezierPathByFlatteningPath());
    double area = 0;
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QPointF& a = p[i];
        const QPointF& b = p[(i + 1) % p.size()];
        area += a.x() * b.y() - b.x() * a.y();
    }
    return area / 2;
}

} // namespace

TEST(LabelShapes, DimensionForKeyTakesTheFirstNamePresent)
{
    struct Case
    {
        const char* key;
        QVariantMap entry;
        double expected;
    };
    const Case cases[] = {
        {"leftMargin", {{"x", 0}, {"leftMargin", 54}}, 0}, // a present 0 wins
        {"x", {{"leftMargin", 54}}, 54},
        {"x", {}, 0},
        {"topMargin", {{"y", "36.5"}, {"topMargin", 1}}, 36.5}, // text reads as its number
        {"y", {{"topMargin", 12}}, 12},
        {"labelWidth", {{"width", 300}, {"labelWidth", 252}}, 300},
        {"width", {{"labelWidth", 252}}, 252},
        {"labelHeight", {{"labelHeight", 144}}, 144},
        {"height", {{"height", "320mm"}}, 320},
        {"cornerRadius", {{"cornerRadius", 10}}, 0}, // only the four lengths are known
        {"outerDiameter", {{"outerDiameter", 320}}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(LBWindowController::dimensionForKey(c.key, c.entry), c.expected) << c.key;
    }
    // Single precision, as every layout value.
    EXPECT_DOUBLE_EQ(LBWindowController::dimensionForKey("x", {{"x", 0.1}}), double(0.1f));
}

TEST(LabelShapes, RoundedRectRunsLikeARectangleWithQuarterCircleCorners)
{
    const QRectF rect(10, 20, 100, 60);
    const BezierPath rounded = LBWindowController::roundedRectWithRect(rect, 10);
    EXPECT_EQ(rounded.lineWidth(), 0.0);
    EXPECT_EQ(rounded.elements().first().points[0], QPointF(10, 30));
    EXPECT_NEAR(signedArea(rounded), 100 * 60 - (4 - M_PI) * 100, 0.5);
    EXPECT_GT(signedArea(rounded), 0);
    EXPECT_FALSE(rounded.containsPoint(QPointF(11, 21)));
    EXPECT_TRUE(rounded.containsPoint(QPointF(20, 21)));
    EXPECT_TRUE(rounded.bounds().adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(rect));

    // Radius 0 covers the rectangle.
    const BezierPath square = LBWindowController::roundedRectWithRect(rect, 0);
    EXPECT_NEAR(signedArea(square), 100 * 60, 1e-6);
    EXPECT_TRUE(square.containsPoint(QPointF(10.01, 20.01)));
    EXPECT_TRUE(square.containsPoint(QPointF(109.99, 79.99)));
}

class DiscLabelsPathTest : public WindowTest
{
protected:
    std::optional<BezierPath> path(const QRectF& bounds = QRectF(0, 0, 600, 800))
    {
        return controller->discLabelsPathForViewBounds(bounds);
    }
    // The bounds of each subpath of the path of all faces.
    QList<QRectF> outlines(const QRectF& bounds = QRectF(0, 0, 600, 800))
    {
        QList<QRectF> rects;
        const std::optional<BezierPath> all = path(bounds);
        if (!all)
            return rects;
        for (const BezierPath& part : subpaths(*all))
            rects.append(part.bounds());
        return rects;
    }
};

TEST_F(DiscLabelsPathTest, NoneWithoutLabelsAndEmptyForAnEmptyList)
{
    EXPECT_FALSE(path()); // the default layout has no `labels`
    layout()[DimensionInfo::labels] = QStringLiteral("not a list");
    EXPECT_FALSE(path());
    setLabels({});
    ASSERT_TRUE(path());
    EXPECT_TRUE(path()->isEmpty());

    // Without a document there is no layout either.
    TestWindowController alone;
    EXPECT_FALSE(alone.discLabelsPathForViewBounds(QRectF(0, 0, 600, 800)));
}

TEST_F(DiscLabelsPathTest, DiscsAreCirclesWithReversedHoles)
{
    // Every disc name, the three LightScribe rings included, is a plain disc here.
    for (const char* name :
         {"CDDisc", "CDCore", "CDMini", "LabelFlashFull", "DiscT@2", "PappaVinylCD", "PappaSuperCD",
          "LightScribeFull", "LightScribeContent", "LightScribeTitle"}) {
        setLabels({entry(
            10, 20, 300, 300,
            {{"labelTypeDescription", name}, {"outerDiameter", 300}, {"innerDiameter", 40}})});
        const QList<BezierPath> parts = subpaths(*path());
        ASSERT_EQ(parts.size(), 2) << name;
        expectNear(parts[0].bounds(), QRectF(9.5, 19.5, 300, 300));
        expectNear(parts[1].bounds(), QRectF(9.5 + 130, 19.5 + 130, 40, 40));
        EXPECT_GT(signedArea(parts[0]), 0) << name;
        EXPECT_LT(signedArea(parts[1]), 0) << name;
        EXPECT_FALSE(path()->containsPoint(QPointF(159.5, 169.5))) << name; // the hole
        EXPECT_TRUE(path()->containsPoint(QPointF(159.5, 169.5 + 50))) << name;
    }

    // No outer diameter: the larger side. No inner diameter: a hole of nothing.
    setLabels({entry(10, 20, 300, 320, {{"labelTypeDescription", "CDDisc"}})});
    const QList<QRectF> rects = outlines();
    ASSERT_EQ(rects.size(), 2);
    expectNear(rects[0], QRectF(9.5, 19.5, 320, 320));
    expectNear(rects[1], QRectF(169.5, 179.5, 0, 0));
    EXPECT_TRUE(path()->containsPoint(QPointF(169.5, 179.5)));
}

TEST_F(DiscLabelsPathTest, ACDTrayCentresOnlyTheFirstDisc)
{
    const QVariantMap disc =
        entry(200, 300, 0, 0, {{"labelTypeDescription", "CDDisc"}, {"outerDiameter", 100}});
    setLabels({disc, disc});
    struct Case
    {
        const char* maker;
        QPointF first;
    };
    for (const Case& c : {Case{"Primera CD Tray", {150, 250}}, Case{"CD Tray", {150, 250}},
                          Case{"Quarn", {200, 300}}}) {
        layout()[DimensionInfo::paperManufacturer] = c.maker;
        const QList<QRectF> rects = outlines();
        ASSERT_EQ(rects.size(), 4);
        expectNear(rects[0], QRectF(c.first - QPointF(0.5, 0.5), QSizeF(100, 100)));
        expectNear(rects[2], QRectF(199.5, 299.5, 100, 100)); // the second keeps its corner
    }
}

TEST_F(DiscLabelsPathTest, OnlyTheTextYESTurnsTheSheetAndTheGrowthFollowsTheZoom)
{
    setLabels({entry(10, 20, 300, 200)});
    struct Case
    {
        QVariant rotate;
        double zoom;
        QRectF expected;
    };
    const Case cases[] = {
        {QVariant(), 1.0, {9.5, 19.5, 300, 200}},
        {"yes", 1.0, {9.5, 19.5, 300, 200}},
        {"NO", 1.0, {9.5, 19.5, 300, 200}},
        {1, 1.0, {9.5, 19.5, 300, 200}},
        {true, 1.0, {9.5, 19.5, 300, 200}},
        {QVariant(), 2.0, {9.75, 19.75, 300, 200}},
        // Turned: the distance from the top is the distance from the left; the distance
        // from the left is measured up from the grown bottom edge (800 - 10 - 300 = 490).
        {"YES", 1.0, {19.5, 490.5, 200, 300}},
        {"YES", 2.0, {19.75, 490.25, 200, 300}},
    };
    for (const Case& c : cases) {
        if (c.rotate.isValid())
            layout()[DimensionInfo::rotateLabels] = c.rotate;
        else
            layout().remove(DimensionInfo::rotateLabels);
        controller->zoom = c.zoom;
        const QList<QRectF> rects = outlines();
        ASSERT_EQ(rects.size(), 1);
        expectNear(rects[0], c.expected);
    }
}

TEST_F(DiscLabelsPathTest, RectanglesAreRoundedWhenTheEntryHasACornerRadius)
{
    setLabels({entry(10, 20, 300, 200), entry(10, 20, 300, 200, {{"cornerRadius", 0}}),
               entry(10, 20, 300, 200, {{"cornerRadius", 12}, {"labelTypeDescription", "Badge"}})});
    const QList<BezierPath> parts = subpaths(*path());
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0], BezierPath::withRect(QRectF(9.5, 19.5, 300, 200)));
    // Radius 0: the rounded outline (with its arcs), covering the plain rectangle.
    EXPECT_EQ(parts[1].elementTypeAt(2), BezierPath::ElementType::CurveTo);
    EXPECT_NEAR(signedArea(parts[1]), 300 * 200, 1e-6);
    EXPECT_NEAR(signedArea(parts[2]), 300 * 200 - (4 - M_PI) * 144, 0.5);
}

TEST_F(DiscLabelsPathTest, InsertOutlinesMatchTheirVertexTables)
{
    // Entry (10, 20, 300 x 200) in bounds (0, 0, 600, 800) at zoom 1: placed from
    // (-0.5, -0.5, 601 x 801); turned, at (19.5, 490.5, 200 x 300). Vertices as the
    // shapes are specified, worked out by hand. The outside inserts mirror the inside
    // ones, so their vertices are taken the other way round from the same first corner:
    // every outline runs like a rectangle and cuts its face out of the overlay's shading.
    struct Case
    {
        QStringList names;
        bool rotated;
        QList<QPointF> vertices;
    };
    const QStringList slim = {"CDSlimCaseInsert"};
    const QStringList inside = {"SuperJewelBoxCDTrayInsertInside",
                                "SuperJewelBoxDVDTrayInsertInside"};
    const QStringList outside = {"SuperJewelBoxCDTrayInsertOutside",
                                 "SuperJewelBoxDVDTrayInsertOutside"};
    // clang-format off
    const Case cases[] = {
        {slim, false, {{309.5, 19.5}, {309.5, 219.5}, {74.573198, 219.5}, {70.282658, 215.495495},
                       {27.734797, 215.495495}, {9.5, 210.918919}, {9.5, 28.081081},
                       {27.734797, 23.504505}, {70.282658, 23.504505}, {74.573198, 19.5}}},
        {slim, true, {{19.5, 490.5}, {219.5, 490.5}, {219.5, 725.426802}, {215.495495, 729.717342},
                      {215.495495, 772.265203}, {210.918919, 790.5}, {28.081081, 790.5},
                      {23.504505, 772.265203}, {23.504505, 729.717342}, {19.5, 725.426802}}},
        {inside, false, {{9.5, 61.94}, {71.9, 61.94}, {71.9, 19.5}, {272.77, 19.5}, {272.77, 30.84},
                         {292.49, 30.84}, {292.49, 47.85}, {309.5, 47.85}, {309.5, 191.15},
                         {292.49, 191.15}, {292.49, 208.16}, {272.77, 208.16}, {272.77, 219.5},
                         {71.9, 219.5}, {71.9, 177.06}, {9.5, 177.06}}},
        {inside, true, {{61.94, 790.5}, {61.94, 728.1}, {19.5, 728.1}, {19.5, 527.23},
                        {30.84, 527.23}, {30.84, 507.51}, {47.85, 507.51}, {47.85, 490.5},
                        {191.15, 490.5}, {191.15, 507.51}, {208.16, 507.51}, {208.16, 527.23},
                        {219.5, 527.23}, {219.5, 728.1}, {177.06, 728.1}, {177.06, 790.5}}},
        {outside, false, {{309.5, 61.94}, {247.1, 61.94}, {247.1, 19.5}, {46.23, 19.5},
                          {46.23, 30.84}, {26.51, 30.84}, {26.51, 47.85}, {9.5, 47.85},
                          {9.5, 191.15}, {26.51, 191.15}, {26.51, 208.16}, {46.23, 208.16},
                          {46.23, 219.5}, {247.1, 219.5}, {247.1, 177.06}, {309.5, 177.06}}},
        {outside, true, {{61.94, 490.5}, {61.94, 552.9}, {19.5, 552.9}, {19.5, 753.77},
                         {30.84, 753.77}, {30.84, 773.49}, {47.85, 773.49}, {47.85, 790.5},
                         {191.15, 790.5}, {191.15, 773.49}, {208.16, 773.49}, {208.16, 753.77},
                         {219.5, 753.77}, {219.5, 552.9}, {177.06, 552.9}, {177.06, 490.5}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        layout()[DimensionInfo::rotateLabels] = c.rotated ? "YES" : "NO";
        for (const QString& name : c.names) {
            SCOPED_TRACE(name.toStdString() + (c.rotated ? " turned" : ""));
            setLabels({entry(10, 20, 300, 200, {{"labelTypeDescription", name}})});
            const BezierPath outline = *path();
            EXPECT_EQ(outline.elements().last().type, BezierPath::ElementType::ClosePath);
            const QList<QPointF> points = pathPoints(outline);
            QList<QPointF> expected = c.vertices;
            if (c.names == outside)
                std::reverse(expected.begin() + 1, expected.end());
            ASSERT_EQ(points.size(), expected.size());
            for (qsizetype i = 0; i < points.size(); ++i) {
                EXPECT_NEAR(points[i].x(), expected[i].x(), 1e-4) << "vertex " << i;
                EXPECT_NEAR(points[i].y(), expected[i].y(), 1e-4) << "vertex " << i;
            }
            EXPECT_GT(signedArea(outline), 0); // runs like a rectangle
        }
    }
}
