// The canvas's rulers: unit sizes and labels by zoom and unit, the ticks drawn for a dirty
// range, and the canvas echoing a moving rectangle and clearing markers on them.

#include "CanvasTestSupport.h"

#include "PaintRecorder.h"

#include "canvas/LBRulerView.h"

namespace {

class TestRuler : public LBRulerView
{
public:
    using LBRulerView::drawHashMarksAndLabelsInRect;
    using LBRulerView::LBRulerView;
};

class Rulers : public CanvasTest
{
protected:
    Rulers()
    {
        platform::ScrollView::setRulerViewFactory(
            [](platform::ScrollView* scrollView, Qt::Orientation orientation) {
                return new TestRuler(scrollView, orientation);
            });
        scrollView->setHasHorizontalRuler(true);
        scrollView->setHasVerticalRuler(true);
        scrollView->setRulersVisible(true);
        canvas->setCanvasSize(QSizeF(2000, 2000));
    }
    ~Rulers() override { platform::ScrollView::setRulerViewFactory({}); }

    LBRulerView* ruler(Qt::Orientation orientation)
    {
        return static_cast<LBRulerView*>(orientation == Qt::Horizontal
                                             ? scrollView->horizontalRulerView()
                                             : scrollView->verticalRulerView());
    }

    // The labels and ticks of the rectangle (the whole ruler when none).
    PaintRecorderEngine& draw(LBRulerView* r, QRectF rect = QRectF())
    {
        _device = std::make_unique<PaintRecorder>();
        QPainter painter(_device.get());
        static_cast<TestRuler*>(r)->drawHashMarksAndLabelsInRect(painter,
                                                                 rect.isNull() ? r->rect() : rect);
        painter.end();
        return _device->engine;
    }

private:
    std::unique_ptr<PaintRecorder> _device;
};

} // namespace

TEST_F(Rulers, UnitSizesAndLabelsFollowZoomAndUnits)
{
    struct Case
    {
        const char* units;
        double zoom;
        double unitSize;
        QStringList labelsFromOrigin;
    };
    const QString half(QChar(0x00BD));
    const Case cases[] = {
        {"Inches", 1.0, 72.0, {"0", "1", "2", "3"}},
        {"Inches", 0.25, 36.0, {"0", "2", "4", "6"}},
        {"Inches", 4.0, 144.0, {"", half, "1", "1" + half, "2"}},
        {"Points", 1.0, 100.0, {"0", "100", "200"}},
        {"Points", 0.1, 40.0, {"0", "400", "800"}},
        {"Centimeters", 1.0, 2.0 * 28.3464567, {"0", "2", "4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.units) + " at " + std::to_string(c.zoom));
        LBRulerView* h = ruler(Qt::Horizontal);
        h->setMeasurementUnits(QLatin1String(c.units));
        h->setZoomFactor(c.zoom);
        EXPECT_NEAR(h->unitSize(), c.unitSize, 1e-9);
        QStringList labels;
        for (qint64 k = 0; k < c.labelsFromOrigin.size(); ++k)
            labels.append(h->labelText(k));
        EXPECT_EQ(labels, c.labelsFromOrigin);
    }

    // Drawn: the labels beside their ticks, the origin one rule thickness in (the
    // horizontal ruler spans the corner above the vertical one).
    LBRulerView* h = ruler(Qt::Horizontal);
    h->setMeasurementUnits(QStringLiteral("Inches"));
    h->setZoomFactor(1.0);
    const PaintRecorderEngine& marks = draw(h);
    const qsizetype origin = marks.texts.indexOf(QStringLiteral("0"));
    ASSERT_GE(origin, 0);
    EXPECT_EQ(marks.texts.mid(origin, 3), QStringList({"0", "1", "2"}));
    EXPECT_NEAR(marks.textPositions.at(origin).x(), h->ruleThickness() + 0.5 + 3.0, 1e-9);
    EXPECT_NEAR(marks.textPositions.at(origin + 1).x(), h->ruleThickness() + 72 + 0.5 + 3.0, 1e-9);
}

TEST_F(Rulers, LabelsBeforeTheOriginCarryTheMinusSign)
{
    struct Case
    {
        const char* units;
        double zoom;
        QStringList labelsFromMinusFour; // labels -4 to -1
    };
    const QString half(QChar(0x00BD));
    const QString quarter(QChar(0x00BC));
    const QString threeQuarters(QChar(0x00BE));
    const Case cases[] = {
        {"Inches", 1.0, {"-4", "-3", "-2", "-1"}},
        {"Inches", 4.0, {"-2", "-1" + half, "-1", "-" + half}},
        {"Inches", 8.0, {"-1", "-" + threeQuarters, "-" + half, "-" + quarter}},
        {"Points", 4.0, {"-200", "-150", "-100", "-50"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.units) + " at " + std::to_string(c.zoom));
        LBRulerView* h = ruler(Qt::Horizontal);
        h->setMeasurementUnits(QLatin1String(c.units));
        h->setZoomFactor(c.zoom);
        QStringList labels;
        for (qint64 k = -4; k < 0; ++k)
            labels.append(h->labelText(k));
        EXPECT_EQ(labels, c.labelsFromMinusFour);
    }

    // Drawn: with the origin well inside the ruler, the half unit left of it reads "-½"
    // (the origin's own label is empty).
    LBRulerView* h = ruler(Qt::Horizontal);
    h->setMeasurementUnits(QStringLiteral("Inches"));
    h->setZoomFactor(4.0);
    h->setOriginOffset(400.0);
    const PaintRecorderEngine& marks = draw(h);
    const qsizetype negativeHalf = marks.texts.indexOf("-" + half);
    ASSERT_GE(negativeHalf, 0) << marks.texts.join(u' ').toStdString();
    EXPECT_EQ(marks.texts.mid(negativeHalf - 1, 4), QStringList({"-1", "-" + half, half, "1"}));
    EXPECT_LT(marks.textPositions.at(negativeHalf).x(), 400.0 + h->ruleThickness());
}

TEST_F(Rulers, TicksHalveDownToSixPixelsAndOnlyInTheDirtyRange)
{
    LBRulerView* h = ruler(Qt::Horizontal);
    h->setMeasurementUnits(QStringLiteral("Inches"));
    h->setZoomFactor(1.0);
    // Every 72 pixels, then 36, 18 and 9: no ticks closer than that.
    const PaintRecorderEngine& whole = draw(h, QRectF(0, 0, 160, h->height()));
    QList<double> xs;
    for (const QLineF& line : whole.lines) {
        if (line.x1() == line.x2())
            xs.append(line.x1());
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end()); // finer levels start on a tick
    ASSERT_GE(xs.size(), 2);
    for (qsizetype i = 1; i < xs.size(); ++i)
        EXPECT_GE(xs.at(i) - xs.at(i - 1), 9.0);
    EXPECT_TRUE(xs.contains(16.5));
    EXPECT_TRUE(xs.contains(16.5 + 9.0));

    // A narrow dirty range: only its ticks are stroked, labels around it still drawn.
    const PaintRecorderEngine& narrow = draw(h, QRectF(100, 0, 20, h->height()));
    for (const QLineF& line : narrow.lines) {
        if (line.x1() == line.x2()) {
            EXPECT_GE(line.x1(), 100.0);
            EXPECT_LE(line.x1(), 120.0);
        }
    }
    EXPECT_TRUE(narrow.texts.contains(QStringLiteral("1"))); // at 88.5 + 3, outside
}

TEST_F(Rulers, TheVerticalRulerCountsDownwards)
{
    LBRulerView* v = ruler(Qt::Vertical);
    v->setMeasurementUnits(QStringLiteral("Inches"));
    v->setZoomFactor(1.0);
    v->setOriginOffset(10.0);
    const PaintRecorderEngine& marks = draw(v);
    const qsizetype zero = marks.texts.indexOf(QStringLiteral("0"));
    ASSERT_GE(zero, 0);
    EXPECT_EQ(marks.texts.mid(zero, 3), QStringList({"0", "1", "2"}));
    EXPECT_LT(marks.textPositions.at(zero).y(), marks.textPositions.at(zero + 1).y());
    EXPECT_NEAR(marks.textPositions.at(zero + 1).y() - marks.textPositions.at(zero).y(), 72.0, 1.0);
}

TEST_F(Rulers, TheCanvasEchoesAMovingRectangleAndClearsMarkers)
{
    platform::RulerView* h = scrollView->horizontalRulerView();
    platform::RulerView* v = scrollView->verticalRulerView();
    ASSERT_TRUE(h->isVisible());
    const double corner = v->width(); // the horizontal ruler spans it
    canvas->beginEchoingMoveToRulers(QRectF(100, 100, 50, 20));
    EXPECT_EQ(h->rulerlineLocations(), QList<double>({100 + corner, 125 + corner, 150 + corner}));
    EXPECT_EQ(v->rulerlineLocations(), QList<double>({100, 110, 120}));
    canvas->continueEchoingMoveToRulers(QRectF(110, 100, 50, 20));
    EXPECT_EQ(h->rulerlineLocations(), QList<double>({110 + corner, 135 + corner, 160 + corner}));
    canvas->stopEchoingMoveToRulers();
    EXPECT_TRUE(h->rulerlineLocations().isEmpty());
    EXPECT_TRUE(v->rulerlineLocations().isEmpty());

    h->setMarkers({platform::RulerMarker{20.0, QImage(4, 4, QImage::Format_ARGB32), QPointF()}});
    auto g = add("G", QRectF(10, 10, 10, 10));
    canvas->selectGraphic(g); // every selection change updates the rulers
    EXPECT_TRUE(h->markers().isEmpty());

    // Hidden rulers get nothing.
    scrollView->setRulersVisible(false);
    canvas->beginEchoingMoveToRulers(QRectF(100, 100, 50, 20));
    EXPECT_FALSE(h->isVisible());
}
