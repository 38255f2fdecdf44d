// Handle tracking: resize steps, rotation steps, drags of handles by the mouse as one undo
// step each, a multi-selection resized as one, curve points, and curves drawn click by
// click.

#include "CanvasTestSupport.h"

#include "shapes/LBCurvedLine.h"

#include <cmath>

namespace {

class CanvasTracking : public CanvasTest
{
protected:
    // Runs one resize step of the graphic from `start` bounds.
    struct Resize
    {
        QRectF bounds;
        qint64 knob;
        QRectF pre;
    };
    Resize resize(LBGraphic& g, qint64 knob, const QPointF& to, bool constrain, bool centre,
                  bool reset = false, QRectF* pre = nullptr)
    {
        QRectF own = g.bounds();
        QRectF& p = pre ? *pre : own;
        const qint64 k = canvas->resizeGraphic(&g, knob, to, &p, constrain, centre, reset,
                                               QSizeF(65535.0, 65535.0));
        return {g.bounds(), k, p};
    }

    std::shared_ptr<LBCurvedLine> curve(const QList<QPointF>& points)
    {
        auto line = std::make_shared<LBCurvedLine>();
        for (const QPointF& p : points)
            line->addControlPointAndModifiersAtPoint(p);
        undo()->disableUndoRegistration();
        line->setDocument(document.get());
        document->insertGraphic(line, 0, 1);
        undo()->enableUndoRegistration();
        name(line, QStringLiteral("curve"));
        return line;
    }
};

} // namespace

TEST_F(CanvasTracking, ResizeSteps)
{
    struct Case
    {
        const char* name;
        qint64 knob;
        QPointF to;
        bool constrain;
        bool centre;
        QRectF expected;
        qint64 expectedKnob;
    };
    const Case cases[] = {
        {"knob 3 keeps the lower-left corner", 3, {150, 0}, false, false, {10, 0, 140, 60}, 3},
        {"about the centre", 3, {150, 0}, false, true, {-30, 0, 180, 70}, 3},
        {"proportions: the side too large shrinks",
         8,
         {310, 110},
         true,
         false,
         {10, 10, 200, 100},
         8},
        {"proportions, middle knob: the middle of the left side stays",
         5,
         {210, 30},
         true,
         false,
         {10, -15, 200, 100},
         5},
        {"past the right edge: flipped, knob 3 from now on",
         1,
         {150, 10},
         false,
         false,
         {110, 10, 40, 50},
         3},
        {"other knobs change nothing", 11, {150, 10}, false, false, {10, 10, 100, 50}, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto g = filledRectangle(QRectF(10, 10, 100, 50));
        const Resize r = resize(*g, c.knob, c.to, c.constrain, c.centre);
        EXPECT_EQ(r.bounds, c.expected);
        EXPECT_EQ(r.knob, c.expectedKnob);
        EXPECT_EQ(g->flippedHorizontally(), c.expectedKnob != c.knob && c.knob == 1);
    }

    // The flipped drag goes on with knob 3 from the mirrored pre-resize rectangle: the
    // former right edge stays put.
    auto g = filledRectangle(QRectF(10, 10, 100, 50));
    QRectF pre = g->bounds();
    resize(*g, 1, {150, 10}, false, false, false, &pre);
    EXPECT_EQ(pre, QRectF(110, 10, 100, 50));
    EXPECT_EQ(resize(*g, 3, {200, 10}, false, false, false, &pre).bounds, QRectF(110, 10, 90, 50));

    // Letting go of Alt re-anchors on the opposite point of the pre-resize rectangle.
    auto h = filledRectangle(QRectF(10, 10, 100, 50));
    pre = h->bounds();
    resize(*h, 3, {150, 0}, false, true, false, &pre);
    EXPECT_EQ(resize(*h, 3, {150, 0}, false, false, true, &pre).bounds, QRectF(10, 0, 140, 60));
    auto i = filledRectangle(QRectF(10, 10, 100, 50));
    pre = i->bounds();
    resize(*i, 3, {150, 0}, false, true, false, &pre);
    EXPECT_EQ(resize(*i, 3, {150, 0}, false, false, false, &pre).bounds, QRectF(-30, 10, 140, 60));
}

TEST_F(CanvasTracking, RotationSnapsWithinHalfAStepAndTruncates)
{
    struct Case
    {
        double start;
        bool snap;
        double expected;
    };
    for (const Case& c : {Case{30.0, true, 45.0}, Case{22.5, true, 22.0}, Case{22.5, false, 22.0},
                          Case{350.0, true, 0.0}, Case{100.7, false, 100.0}}) {
        SCOPED_TRACE(c.start);
        auto g = filledRectangle(QRectF(0, 0, 100, 100));
        g->setRotation(c.start);
        // The pointer does not move from where it gripped: the angle is the graphic's own.
        const double grip = canvas->rotateGraphic(g.get(), 3, QPointF(50, -10), 65535.0, c.snap);
        canvas->rotateGraphic(g.get(), 3, QPointF(50, -10), grip, c.snap);
        EXPECT_EQ(g->rotation(), c.expected);
    }
}

TEST_F(CanvasTracking, DraggingHandlesIsOneUndoStepNamedForWhatItDid)
{
    auto g = add("G", QRectF(100, 100, 100, 100));
    canvas->selectGraphic(g);
    closeStep();

    // Resize by knob 8, whole points from the page origin.
    dragAlong({QPointF(200, 200), QPointF(250.2, 239.6), QPointF(260.4, 250.3)});
    EXPECT_EQ(g->bounds(), QRectF(100, 100, 160, 150));
    EXPECT_EQ(undoName(), undoStrings("Resize"));
    undo()->undo();
    EXPECT_EQ(g->bounds(), QRectF(100, 100, 100, 100));

    // Ctrl at the press rotates: from the upper-right corner to the lower-right one.
    dragAlong({QPointF(200, 100), QPointF(200, 100), QPointF(200, 200)}, Qt::ControlModifier);
    EXPECT_EQ(g->rotation(), 90.0);
    EXPECT_EQ(undoName(), undoStrings("Rotate"));
    undo()->undo();
    EXPECT_EQ(g->rotation(), 0.0);

    // With snapping, the pointer lies on the grid measured from the page origin.
    canvas->setVisiblePageRect(QRectF(36, 36, 612, 792));
    g->setBounds(QRectF(36, 36, 27, 27));
    canvas->setSnapsToGrid(true);
    dragAlong({QPointF(63, 63), QPointF(100.3, 80.2)});
    EXPECT_EQ(g->bounds(), QRectF(36, 36, 63, 45));
    canvas->setSnapsToGrid(false);

    // A locked graphic's handles do nothing.
    g->setLocked(true);
    const QRectF before = g->bounds();
    dragAlong({QPointF(99, 81), QPointF(150, 150)});
    EXPECT_EQ(g->bounds(), before);
}

TEST_F(CanvasTracking, TwoGraphicsResizeAsOneAndKeepTheirStacking)
{
    auto a = add("A", QRectF(100, 100, 100, 100));
    add("X", QRectF(600, 600, 10, 10));
    auto b = add("B", QRectF(300, 100, 100, 100));
    canvas->selectGraphic(a);
    canvas->selectGraphic(b);
    undo()->setActionName(undoStrings("Selection Change"));
    closeStep();

    dragAlong({QPointF(400, 200), QPointF(700, 200)});
    EXPECT_EQ(a->bounds(), QRectF(100, 100, 200, 100));
    EXPECT_EQ(b->bounds(), QRectF(500, 100, 200, 100));
    EXPECT_EQ(layer(), QStringList({"A", "X", "B"}));
    EXPECT_FALSE(a->isGrouped());
    EXPECT_FALSE(b->isGrouped());
    EXPECT_EQ(undoName(), undoStrings("Resize"));

    undo()->undo();
    EXPECT_EQ(a->bounds(), QRectF(100, 100, 100, 100));
    EXPECT_EQ(b->bounds(), QRectF(300, 100, 100, 100));
    EXPECT_EQ(layer(), QStringList({"A", "X", "B"}));
    EXPECT_EQ(undoName(), undoStrings("Selection Change")); // the step before is untouched
}

TEST_F(CanvasTracking, GroupsTurnAndMirrorAboutTheirRectangle)
{
    auto a = add("A", QRectF(0, 0, 100, 50));
    auto b = add("B", QRectF(100, 50, 100, 50));
    canvas->selectGraphic(a);
    canvas->selectGraphic(b);
    canvas->group(nullptr);
    ASSERT_EQ(a->groupBounds(), QRectF(0, 0, 200, 100));

    canvas->setRotation(90.0, a.get());
    EXPECT_EQ(a->groupRotation(), 90.0);
    EXPECT_EQ(b->groupRotation(), 90.0);
    EXPECT_EQ(a->rotation(), 0.0);
    // Centres turned about the group's centre (100, 50): (50, 25) → (125, 0).
    EXPECT_NEAR(a->bounds().center().x(), 125.0, 1e-9);
    EXPECT_NEAR(a->bounds().center().y(), 0.0, 1e-9);

    canvas->setRotation(0.0, a.get());
    canvas->flipHorizontally(true, a.get());
    EXPECT_EQ(a->bounds(), QRectF(100, 0, 100, 50));
    EXPECT_EQ(b->bounds(), QRectF(0, 50, 100, 50));
    EXPECT_TRUE(a->flippedHorizontally());
}

TEST_F(CanvasTracking, CurvePointsMoveOncePastTheThreshold)
{
    host->zoom = 2.0;
    auto line = curve({QPointF(100, 100), QPointF(200, 150), QPointF(300, 100)});
    line->setZoomFactor(2.0);
    canvas->selectGraphic(line);
    closeStep();

    press(QPointF(200, 150));
    drag(QPointF(200, 151.4)); // within 3 / zoom
    EXPECT_EQ(line->controlPointAtIndex(1, true), QPointF(200, 150));
    drag(QPointF(200, 152));
    release(QPointF(200, 152));
    EXPECT_EQ(line->controlPointAtIndex(1, true), QPointF(200, 152));
    EXPECT_EQ(undoName(), undoStrings("Move"));

    // A press without moving names nothing new.
    click(QPointF(200, 152));
    EXPECT_EQ(undoName(), undoStrings("Move"));
}

TEST_F(CanvasTracking, ACurveIsDrawnClickByClickAndClosedOnItsFirstPoint)
{
    auto line = curve({QPointF(100, 100)});
    host->bezier = true;
    canvas->setEditingBezierGraphic(line);

    click(QPointF(200, 200));
    EXPECT_EQ(line->numControlPoints(), 2);
    EXPECT_EQ(line->selectedControlPoints(), QList<qsizetype>({1}));
    EXPECT_EQ(undoName(), undoStrings("Add Point"));
    // Dragging after the press pulls the new point's handle out.
    dragAlong({QPointF(300, 100), QPointF(301, 101), QPointF(340, 140)});
    EXPECT_EQ(line->numControlPoints(), 3);
    EXPECT_EQ(line->modifierRectAtIndex(2, true).size(),
              QSizeF(340, 140)); // handle 2 at the pointer

    click(QPointF(100, 100));
    EXPECT_TRUE(line->closedPath());
    EXPECT_FALSE(host->bezier);
    EXPECT_EQ(canvas->editingBezierGraphic(), nullptr);
    EXPECT_EQ(selection(), QStringList({"curve"}));
}

TEST_F(CanvasTracking, FinishingACurveOfOnePointTakesItAwayAndNothingElse)
{
    auto other = add("other", QRectF(10, 10, 10, 10));
    for (bool stepAfterInsertion : {false, true}) {
        SCOPED_TRACE(stepAfterInsertion);
        undo()->removeAllActions();
        auto line = std::make_shared<LBCurvedLine>();
        line->addControlPointAndModifiersAtPoint(QPointF(300, 300));
        canvas->insertGraphics({line}, QPointF(-1, -1), false);
        closeStep();
        ASSERT_EQ(canvas->editingBezierGraphic(), line.get());
        ASSERT_TRUE(host->bezier);
        if (stepAfterInsertion) {
            other->setBounds(QRectF(20, 20, 10, 10));
            undo()->setActionName(QStringLiteral("Other"));
            closeStep();
        }

        doubleClick(QPointF(400, 400));
        EXPECT_EQ(document->indexOfGraphic(line, 1), -1);
        EXPECT_FALSE(host->bezier);
        EXPECT_FALSE(undo()->canRedo());
        if (stepAfterInsertion) {
            EXPECT_EQ(undoName(), QStringLiteral("Other"));
            EXPECT_EQ(other->bounds(), QRectF(20, 20, 10, 10));
        } else {
            EXPECT_FALSE(undo()->canUndo());
        }
    }
}
