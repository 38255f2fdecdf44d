// Alignment guides and nudging: what snaps within which distance, how guides merge, when
// the page takes part, and a nudge that keeps its handles hidden for a moment.

#include "CanvasTestSupport.h"

#include "shapes/LBCurvedLine.h"

#include <QTest>

namespace {

class CanvasGuides : public CanvasTest
{
protected:
    CanvasGuides() { other = add("other", QRectF(100, 100, 80, 40)); }

    // A 50 × 20 selection whose origin is `origin`, the pointer at its origin.
    QPointF check(const QPointF& origin, double sensitivity)
    {
        return canvas->checkDynamicGuidesAtPoint(origin, QPointF(), QSizeF(50, 20), sensitivity,
                                                 {});
    }

    LBGraphicPtr other;
};

} // namespace

TEST_F(CanvasGuides, EdgesSnapWithinTheSensitivityAndShowAGuide)
{
    // Top 3.5 points below the other's top: snaps at 4.0 with a guide over both.
    EXPECT_EQ(check(QPointF(300, 103.5), 4.0), QPointF(300, 100));
    ASSERT_EQ(canvas->horizontalDynamicGuides().size(), 1);
    EXPECT_EQ(canvas->horizontalDynamicGuides().first(), QRectF(100, 100, 250, 1));
    EXPECT_TRUE(canvas->verticalDynamicGuides().isEmpty());
    // Not with the nudge's 0.99.
    EXPECT_EQ(check(QPointF(300, 103.5), 0.99), QPointF(300, 103.5));
    EXPECT_TRUE(canvas->horizontalDynamicGuides().isEmpty());

    // Centres and far edges match like with like.
    EXPECT_EQ(check(QPointF(300, 111.0), 4.0), QPointF(300, 110)); // centre 120
    EXPECT_EQ(check(QPointF(113.0, 300), 4.0), QPointF(115, 300)); // centre x 140
    EXPECT_EQ(check(QPointF(132.0, 300), 4.0), QPointF(130, 300)); // right 180

    // Off: the point as given, no guides.
    platform::UserDefaults::standardUserDefaults().setBool(false,
                                                           QStringLiteral("Draw Dynamic Guides"));
    EXPECT_EQ(check(QPointF(300, 103.5), 4.0), QPointF(300, 103.5));
    EXPECT_TRUE(canvas->horizontalDynamicGuides().isEmpty());
    platform::UserDefaults::standardUserDefaults().removeObjectForKey(
        QStringLiteral("Draw Dynamic Guides"));
}

TEST_F(CanvasGuides, GuidesOnOneLineMerge)
{
    add("second", QRectF(400, 100, 30, 30));
    // Both tops at 100: one guide over both and the selection.
    EXPECT_EQ(check(QPointF(250, 102), 4.0), QPointF(250, 100));
    ASSERT_EQ(canvas->horizontalDynamicGuides().size(), 1);
    EXPECT_EQ(canvas->horizontalDynamicGuides().first(), QRectF(100, 100, 330, 1));
}

TEST_F(CanvasGuides, ALaterMatchCloseToTheFirstSnapsToo)
{
    // After the other's top (2 points away), a top no more than 0.15 farther also snaps,
    // with a guide of its own; 0.2 farther does not.
    auto near = add("near", QRectF(600, 0, 30, 30));
    for (const double top : {102.1, 102.2}) {
        SCOPED_TRACE(top);
        near->setBounds(QRectF(600, top, 30, 30));
        const QPointF snapped = check(QPointF(500, 102), 4.0);
        EXPECT_EQ(snapped.y(), top == 102.1 ? 102.1 : 100.0);
        EXPECT_EQ(canvas->horizontalDynamicGuides().size(), top == 102.1 ? 2 : 1);
    }
}

TEST_F(CanvasGuides, ThePageTakesPartOnlyWhenADirectionIsStillOpen)
{
    canvas->setVisiblePageRect(QRectF(100, 100, 612, 792));
    // Matched both ways by the other graphic: the page, which would be as close, is not
    // tried.
    other->setBounds(QRectF(99.6, 99.6, 80, 40));
    EXPECT_EQ(check(QPointF(100, 100), 4.0), QPointF(99.6, 99.6));
    // Only the top matches the other graphic: the page pulls the left edge (and, as close
    // as the match before, its top).
    other->setBounds(QRectF(400, 99.6, 80, 40));
    EXPECT_EQ(check(QPointF(103, 100), 4.0), QPointF(100, 100));
}

TEST_F(CanvasGuides, CurvePointsSnapToThePointsOfSelectedUnturnedCurves)
{
    auto line = std::make_shared<LBCurvedLine>();
    for (const QPointF& p : {QPointF(100, 100), QPointF(200, 300), QPointF(300, 200)})
        line->addControlPointAndModifiersAtPoint(p);
    undo()->disableUndoRegistration();
    document->insertGraphic(line, 0, 1);
    undo()->enableUndoRegistration();
    canvas->selectGraphic(line);
    // Point 1 dragged: level with point 0, in line with point 2.
    EXPECT_EQ(canvas->checkBezierGuidesAtPoint(QPointF(298, 102), 4.0, line.get(), 1),
              QPointF(300, 100));
    EXPECT_EQ(canvas->horizontalDynamicGuides(),
              QList<QRectF>({QRectF(100, 100, 198, 1)})); // before x snapped
    EXPECT_EQ(canvas->verticalDynamicGuides(), QList<QRectF>({QRectF(300, 100, 1, 100)}));
    // The point being dragged does not attract itself; a turned curve takes no part.
    EXPECT_EQ(canvas->checkBezierGuidesAtPoint(QPointF(150, 302), 4.0, line.get(), 1),
              QPointF(150, 302));
    line->setRotation(10.0);
    EXPECT_EQ(canvas->checkBezierGuidesAtPoint(QPointF(203, 102), 4.0, line.get(), 1),
              QPointF(203, 102));
}

TEST_F(CanvasGuides, NudgesMoveTheSelectionAndSnapOnlyByLessThanAPoint)
{
    // 0.5 below the other's top after the nudge: pulled up onto it.
    auto moving = add("moving", QRectF(300, 100.5, 50, 20));
    canvas->selectGraphic(moving);
    closeStep();
    canvas->moveSelectedGraphicsByPoint(QPointF(1, 0));
    EXPECT_EQ(moving->bounds(), QRectF(301, 100, 50, 20));
    EXPECT_EQ(undoName(), undoStrings("Nudge"));
    EXPECT_TRUE(canvas->knobsHidden());
    undo()->undo();
    EXPECT_EQ(moving->bounds(), QRectF(300, 100.5, 50, 20));

    // A chain of close matches would pull it 1.9 points up (a top at 101, then the other's
    // at 100): a correction of a point or more, either way, is dropped.
    auto third = add("third", QRectF(500, 101, 30, 30));
    undo()->disableUndoRegistration();
    document->moveGraphic(third, 0, 1);
    undo()->enableUndoRegistration();
    moving->setBounds(QRectF(300, 101.9, 50, 20));
    canvas->moveSelectedGraphicsByPoint(QPointF(1, 0));
    EXPECT_EQ(moving->bounds(), QRectF(301, 101.9, 50, 20));

    // Selected curve points move instead of their curve.
    auto line = std::make_shared<LBCurvedLine>();
    for (const QPointF& p : {QPointF(400, 400), QPointF(500, 500)})
        line->addControlPointAndModifiersAtPoint(p);
    undo()->disableUndoRegistration();
    document->insertGraphic(line, 0, 1);
    undo()->enableUndoRegistration();
    canvas->clearSelection();
    canvas->selectGraphic(line);
    line->selectControlPointAtIndex(1, true, false);
    canvas->moveSelectedGraphicsByPoint(QPointF(0, 10));
    EXPECT_EQ(line->controlPointAtIndex(0, true), QPointF(400, 400));
    EXPECT_EQ(line->controlPointAtIndex(1, true), QPointF(500, 510));

    // Nothing unlocked selected: nothing moves and no step is named.
    canvas->clearSelection();
    canvas->selectGraphic(moving);
    moving->setLocked(true);
    undo()->setActionName(QStringLiteral("Before"));
    closeStep();
    canvas->moveSelectedGraphicsByPoint(QPointF(5, 5));
    EXPECT_EQ(moving->bounds(), QRectF(301, 101.9, 50, 20));
    EXPECT_EQ(undoName(), QStringLiteral("Before"));
}

TEST_F(CanvasGuides, HandlesComeBackHalfASecondAfterTheLastNudge)
{
    auto moving = add("moving", QRectF(300, 300, 50, 20));
    canvas->selectGraphic(moving);
    canvas->moveSelectedGraphicsByPoint(QPointF(1, 0));
    QTest::qWait(300);
    canvas->moveSelectedGraphicsByPoint(QPointF(1, 0));
    QTest::qWait(300);
    EXPECT_TRUE(canvas->knobsHidden());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !canvas->knobsHidden(); }, 1000));

    // The guides a nudge shows go 0.15 s later.
    moving->setBounds(QRectF(300, 100.5, 50, 20));
    canvas->moveSelectedGraphicsByPoint(QPointF(1, 0));
    EXPECT_FALSE(canvas->horizontalDynamicGuides().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return canvas->horizontalDynamicGuides().isEmpty(); }, 1000));
}
