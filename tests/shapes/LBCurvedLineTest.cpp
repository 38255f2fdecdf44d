// The curved line: its outline, the bounds kept to the curve, every edit of points and
// handles with its undo and redo, the heads along the end tangents, hit squares, the
// delayed flip, the drawing of points and handles, its drag image and its stored keys.

#include "../graphics/DrawingTestSupport.h"
#include "MessageLog.h"
#include "ShapeTestSupport.h"

#include "platform/core/TextForms.h"
#include "shapes/LBCurvedLine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>

using platform::BezierPath;

namespace {

QString pointText(const QPointF& p)
{
    return hundredths(p.x()) + QLatin1Char(' ') + hundredths(p.y());
}

// Every point with its two handles, on the page: "x y (h1x h1y, h2x h2y); ...".
QString curveText(const LBCurvedLine& curve)
{
    QStringList parts;
    for (qsizetype i = 0; i < curve.numControlPoints(); ++i) {
        const QRectF h = curve.modifierRectAtIndex(i, true);
        parts << QStringLiteral("%1 (%2, %3)")
                     .arg(pointText(curve.controlPointAtIndex(i, true)), pointText(h.topLeft()),
                          pointText({h.width(), h.height()}));
    }
    return parts.join(QStringLiteral("; "));
}

// A curve in a document through page points, each with its handles collapsed.
LBCurvedLinePtr curveThrough(RecordingDocument* document, const QList<QPointF>& points)
{
    auto curve = std::make_shared<LBCurvedLine>();
    curve->setStrokeLineWidth(1);
    for (const QPointF& p : points)
        curve->addControlPointAndModifiersAtPoint(p);
    if (document)
        curve->setDocument(document);
    return curve;
}

// The far corner of a triangle head of side 7, seen from its point: where it points.
QPointF headDirection(const LBCurvedLine& curve, bool first)
{
    std::optional<BezierPath> head1, head2;
    curve.arrow1Path(&head1, &head2);
    const std::optional<BezierPath>& head = first ? head1 : head2;
    if (!head)
        return {};
    const QPointF at = curve.controlPointAtIndex(first ? 0 : curve.numControlPoints() - 1, true);
    const QPointF tip = head->elementAt(1).points[0] - at;
    return tip / std::hypot(tip.x(), tip.y());
}

// The points, handles and bounds on the page, in hundredths.
QString pageText(const LBCurvedLine& curve)
{
    const QRectF b = curve.bounds();
    return curveText(curve)
           + QStringLiteral(" in %1 %2").arg(pointText(b.topLeft()), pointText(b.bottomRight()));
}

// Runs one change as an undo step and checks that undo brings back the state before it
// and redo the state after it.
void checkUndoRedo(RecordingDocument& document, LBCurvedLine& curve,
                   const std::function<void()>& change)
{
    const QString before = pageText(curve);
    document.step(change);
    const QString after = pageText(curve);
    EXPECT_NE(after, before);
    document.undo();
    EXPECT_EQ(pageText(curve), before);
    document.redo();
    EXPECT_EQ(pageText(curve), after);
}

} // namespace

TEST(LBCurvedLine, OutlinesThroughThePoints)
{
    const QList<QPointF> points{{0, 0.5}, {0.5, 0}, {1, 0.5}};
    // Handle pairs: origin = handle 1 (incoming), size part = handle 2 (outgoing).
    const QList<QRectF> handles{{0, 0.5, 0, 0.2}, {0.3, 0, 0.7, 0}, {1, 0.2, 1, 0.8}};
    const struct
    {
        qsizetype count;
        bool closed;
        const char* outline;
    } cases[] = {
        {0, false, "(none)"},
        {1, true, "M 0 50"}, // one point: only its move, closed or not
        {3, false, "M 0 50 C 0 20 30 0 50 0 C 70 0 100 20 100 50"},
        {3, true, "M 0 50 C 0 20 30 0 50 0 C 70 0 100 20 100 50 C 100 80 0 50 0 50 Z"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.outline);
        auto curve = std::make_shared<LBCurvedLine>();
        curve->setClosedPath(c.closed);
        curve->setBounds({0, 0, 100, 100});
        curve->setControlPoints(points.first(c.count));
        curve->setModifierRects(handles.first(c.count));
        EXPECT_EQ(elementsText(curve->shapeBezierPath()), c.outline);
        EXPECT_EQ(elementsText(curve->bezierPath()), c.outline);
    }

    // The outline's line width is the stroke's when it is drawn, else 0; the dash is the
    // graphic's.
    auto curve = std::make_shared<LBCurvedLine>();
    curve->setControlPoints(points);
    curve->setModifierRects(handles);
    curve->setDrawsStroke(true);
    curve->setStrokeLineWidth(3);
    curve->setLineDash({2, 1, 0, 0}, 2);
    EXPECT_EQ(curve->shapeBezierPath()->lineWidth(), 3);
    EXPECT_EQ(curve->shapeBezierPath()->lineDash(), QList<qreal>({6, 3}));
    curve->setDrawsStroke(false);
    EXPECT_EQ(curve->shapeBezierPath()->lineWidth(), 0);
    EXPECT_TRUE(curve->isEditable());
    EXPECT_TRUE(curve->canDrawFill());
    EXPECT_EQ(curve->knobMask(), 0x4ff);
}

TEST(LBCurvedLine, BoundsFollowTheCurveAndAreAtLeastEightPoints)
{
    RecordingDocument document;
    const auto curve = curveThrough(nullptr, {});
    curve->setDocument(&document);
    document.step([&] { curve->addControlPointAndModifiersAtPoint({10, 100}); });
    EXPECT_EQ(curve->bounds(), QRectF(10, 100, 8, 8));
    document.step([&] { curve->addControlPointAndModifiersAtPoint({200, 101}); });
    // Nearly flat: 8 points high, the origin kept.
    EXPECT_EQ(curve->bounds(), QRectF(10, 100, 190, 8));
    EXPECT_EQ(curveText(*curve), "10 100 (10 100, 10 100); 200 101 (200 101, 200 101)");
    // Fitting the bounds is no step of its own: one undo takes the point and its bounds.
    document.undo();
    EXPECT_EQ(curve->numControlPoints(), 1);
    EXPECT_EQ(curve->bounds(), QRectF(10, 100, 8, 8));
    document.redo();

    // Moving the graphic moves the curve; the handles count only when asked for.
    document.step([&] { curve->setBounds({20, 100, 190, 8}); });
    EXPECT_EQ(pointText(curve->controlPointAtIndex(0, true)), "20 100");
    document.step([&] { curve->moveModifier(1, 0, {40, 150}, true); });
    EXPECT_EQ(curve->bezierPathBoundsWithModifierRects(true).bottom(), 150);
    EXPECT_LT(curve->bounds().bottom(), 150);
    EXPECT_EQ(curve->rotatedDrawingBounds(), curve->bezierPathBoundsWithModifierRects(true));
    curve->setIncludeModifierRectsInBounds(false);
    EXPECT_EQ(curve->rotatedDrawingBounds(), curve->bezierPathBoundsWithModifierRects(false));
}

TEST(LBCurvedLine, EditsOfPointsAndHandlesAreUndone)
{
    RecordingDocument document;
    const auto curve = curveThrough(&document, {{0, 0}, {100, 100}, {200, 0}});
    checkUndoRedo(document, *curve, [&] {
        curve->insertControlPoint({0.25, 0.5}, {0.25, 0.5, 0.3, 0.5}, 1);
    });
    EXPECT_EQ(curve->numControlPoints(), 4);
    checkUndoRedo(document, *curve, [&] { curve->removeControlPointOrModifierAtIndex(1); });
    EXPECT_EQ(curve->numControlPoints(), 3);
    checkUndoRedo(document, *curve, [&] { curve->moveControlPointAtIndex(2, 300, -50); });
    checkUndoRedo(document, *curve, [&] { curve->moveControlPointAtIndex(0, {-40.0, 20.0}); });
    checkUndoRedo(document, *curve, [&] { curve->setModifierRect({0.5, 0.9, 0.6, 1.2}, 1); });
    // Closing redraws, and so does undoing it.
    {
        NotificationCounter changes(LBGraphicDidChange, curve.get());
        document.step([&] { curve->setClosedPath(true); });
        EXPECT_GT(changes.count, 0);
        const int closing = changes.count;
        document.undo();
        EXPECT_FALSE(curve->closedPath());
        EXPECT_GT(changes.count, closing);
        document.redo();
        EXPECT_TRUE(curve->closedPath());
        document.undo();
    }
    // Past the points: nothing.
    const QString state = curveText(*curve);
    document.step([&] {
        curve->removeControlPointOrModifierAtIndex(3);
        curve->removeControlPointOrModifierAtIndex(-1);
        curve->moveControlPointAtIndex(5, {1, 1});
    });
    EXPECT_EQ(curveText(*curve), state);
    EXPECT_EQ(curve->numControlPoints(), 3);
}

TEST(LBCurvedLine, RemovingWithAHandleSelectedCollapsesOnlyThatHandle)
{
    RecordingDocument document;
    const auto curve = curveThrough(&document, {{0, 0}, {100, 100}, {200, 0}});
    document.step([&] { curve->resetModifiersForControlPoint(1); });
    EXPECT_EQ(curveText(*curve).split("; ")[1], "100 100 (28 100, 172 100)");
    curve->selectControlPointAtIndex(1, true, false);
    document.step([&] { curve->selectModifier(1); });
    checkUndoRedo(document, *curve, [&] { curve->removeControlPointOrModifierAtIndex(1); });
    EXPECT_EQ(curve->numControlPoints(), 3);
    EXPECT_EQ(curveText(*curve).split("; ")[1], "100 100 (28 100, 100 100)");
    // With no handle selected the point goes.
    document.step([&] { curve->selectModifier(-1); });
    checkUndoRedo(document, *curve, [&] { curve->removeControlPointOrModifierAtIndex(1); });
    EXPECT_EQ(curveText(*curve), "0 0 (0 0, 0 0); 200 0 (200 0, 200 0)");
}

TEST(LBCurvedLine, SmoothingMirrorsTheHandleThatIsOut)
{
    const struct
    {
        QRectF handles; // page: handle 1, handle 2
        const char* smoothed;
    } cases[] = {
        {{100, 100, 100, 100}, "100 100 (28 100, 172 100)"}, // both collapsed: an inch each way
        {{100, 100, 130, 140}, "100 100 (70 60, 130 140)"},  // handle 2 out
        {{90, 80, 100, 100}, "100 100 (90 80, 110 120)"},    // handle 1 out
        {{90, 80, 130, 140}, "100 100 (90 80, 130 140)"},    // both out: unchanged
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.smoothed);
        RecordingDocument document;
        const auto curve = curveThrough(&document, {{0, 0}, {100, 100}, {200, 0}});
        const QRectF b = curve->bounds();
        document.quietly([&] {
            curve->setModifierRect(QRectF((c.handles.x() - b.x()) / b.width(),
                                          (c.handles.y() - b.y()) / b.height(),
                                          (c.handles.width() - b.x()) / b.width(),
                                          (c.handles.height() - b.y()) / b.height()),
                                   1);
        });
        if (c.handles.topLeft() == QPointF(100, 100) || c.handles.size() == QSizeF(100, 100)) {
            checkUndoRedo(document, *curve, [&] { curve->resetModifiersForControlPoint(1); });
        } else {
            document.step([&] { curve->resetModifiersForControlPoint(1); });
            EXPECT_FALSE(document.canUndo());
        }
        EXPECT_EQ(curveText(*curve).split("; ")[1], c.smoothed);
    }
}

TEST(LBCurvedLine, MovingAHandleKeepsBothOnOneLine)
{
    RecordingDocument document;
    const struct
    {
        qint64 handle;
        QPointF to;
        bool keepSameDistance;
        const char* after;
    } cases[] = {
        // From handle 1 at (70, 60) and handle 2 at (115, 120): 50 and 25 long.
        {1, {100, 60}, true, "100 100 (100 140, 100 60)"},   // mirrored at 40
        {1, {100, 60}, false, "100 100 (100 150, 100 60)"},  // handle 1 keeps its 50
        {0, {140, 100}, false, "100 100 (140 100, 75 100)"}, // handle 2 keeps its 25
        {0, {40, 20}, true, "100 100 (40 20, 160 180)"},
        // Onto the point: mirrored, the other comes along; kept, it stays.
        {1, {100, 100}, true, "100 100 (100 100, 100 100)"},
        {1, {100, 100}, false, "100 100 (70 60, 100 100)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after);
        const auto curve = curveThrough(&document, {{0, 0}, {100, 100}, {200, 0}});
        const QRectF b = curve->bounds();
        const auto unit = [&b](QPointF p) {
            return QPointF((p.x() - b.x()) / b.width(), (p.y() - b.y()) / b.height());
        };
        const QPointF h1 = unit({70, 60}), h2 = unit({115, 120});
        document.quietly([&] { curve->setModifierRect({h1.x(), h1.y(), h2.x(), h2.y()}, 1); });
        checkUndoRedo(document, *curve,
                      [&] { curve->moveModifier(c.handle, 1, c.to, c.keepSameDistance); });
        EXPECT_EQ(curveText(*curve).split("; ")[1], c.after);
        for (const QString& number : curveText(*curve).split(QRegularExpression("[ ,;()]+"))) {
            EXPECT_FALSE(number.contains(QLatin1String("nan"), Qt::CaseInsensitive));
        }
    }
}

TEST(LBCurvedLine, HeadsPointAlongTheEndTangents)
{
    const auto curve = curveThrough(nullptr, {{0, 0}, {100, 0}, {200, 100}});
    curve->setArrow1Type(1);
    curve->setArrow2Type(1);
    const auto direction = [&](bool first) { return pointText(headDirection(*curve, first)); };
    const auto setHandles = [&](qsizetype i, QPointF h1, QPointF h2) {
        const QRectF b = curve->bounds();
        curve->setModifierRect({(h1.x() - b.x()) / b.width(), (h1.y() - b.y()) / b.height(),
                                (h2.x() - b.x()) / b.width(), (h2.y() - b.y()) / b.height()},
                               i);
    };
    // All handles collapsed: towards the neighbouring point.
    EXPECT_EQ(direction(true), "-1 0");
    EXPECT_EQ(direction(false), "0.71 0.71");
    // The end's own handle leads: away from it.
    setHandles(0, {0, 0}, {0, 50});
    EXPECT_EQ(direction(true), "0 -1");
    setHandles(2, {200, 50}, {200, 100});
    EXPECT_EQ(direction(false), "0 1");
    // Its own handle collapsed (whatever the other one): the neighbour's handle facing it.
    setHandles(0, {0, -30}, {0, 0});
    setHandles(1, {50, 50}, {100, 0});
    EXPECT_EQ(direction(true), "-0.71 -0.71");
    setHandles(2, {200, 100}, {250, 100});
    setHandles(1, {100, 0}, {200, 0});
    EXPECT_EQ(direction(false), "0 1");

    // A closed curve and a single point have no heads.
    std::optional<BezierPath> head1, head2;
    curve->setClosedPath(true);
    curve->arrow1Path(&head1, &head2);
    EXPECT_FALSE(head1 || head2);
    const auto single = curveThrough(nullptr, {{5, 5}});
    single->setArrow1Type(1);
    single->arrow1Path(&head1, &head2);
    EXPECT_FALSE(head1 || head2);
}

TEST(LBCurvedLine, HitSquaresKeepTheirSizeOnScreen)
{
    const auto curve = curveThrough(nullptr, {{100, 100}, {200, 100}});
    curve->setZoomFactor(2);
    // Half-side (4 + 1) / 2: low edges in, high edges out.
    EXPECT_EQ(curve->controlPointUnderPoint({97.5, 97.5}), 0);
    EXPECT_EQ(curve->controlPointUnderPoint({102.4, 102.4}), 0);
    EXPECT_EQ(curve->controlPointUnderPoint({102.5, 100}), -1);
    EXPECT_EQ(curve->controlPointUnderPoint({97.4, 100}), -1);
    EXPECT_EQ(curve->controlPointUnderPoint({198, 101}), 1);

    // Handles are hit only on selected points, and never when collapsed.
    curve->moveModifier(1, 1, {200, 150}, true);
    bool first = false;
    EXPECT_EQ(curve->modifierPointUnderPoint({200, 151}, &first), -1);
    curve->selectControlPointAtIndex(1, true, false);
    EXPECT_EQ(curve->modifierPointUnderPoint({200, 151}, &first), 1);
    EXPECT_FALSE(first);
    EXPECT_EQ(curve->modifierPointUnderPoint({200, 49}, &first), 1);
    EXPECT_TRUE(first);
    EXPECT_EQ(curve->modifierPointUnderPoint({200, 100}, &first), -1);

    // Turned with the graphic; never while grouped.
    curve->setRotation(180);
    const QPointF c = curve->bounds().center();
    EXPECT_EQ(curve->controlPointUnderPoint(2 * c - QPointF(100, 100)), 0);
    curve->setIsGrouped(true);
    EXPECT_EQ(curve->controlPointUnderPoint(2 * c - QPointF(100, 100)), -1);
    EXPECT_EQ(curve->modifierPointUnderPoint(2 * c - QPointF(200, 151), &first), -1);
}

TEST(LBCurvedLine, FlipsMirrorThePointsAtOnceOrAfterTheSelectionClears)
{
    RecordingDocument document;
    document.undoManager()->setGroupsByEvent(true);
    const auto curve = curveThrough(&document, {{0, 0}, {100, 50}, {40, 100}});
    const QString before = curveText(*curve);
    curve->flipHorizontally();
    EXPECT_EQ(curveText(*curve),
              "100 0 (100 0, 100 0); 0 50 (0 50, 0 50); 60 100 (60 100, 60 100)");
    EXPECT_FALSE(curve->flippedHorizontally());
    QCoreApplication::processEvents(); // closes the automatic undo group
    document.undo();
    EXPECT_EQ(curveText(*curve), before);

    // With selected points: the selection clears now, the points move 0.05 s later.
    curve->selectControlPointAtIndex(1, true, false);
    curve->flipVertically();
    EXPECT_TRUE(curve->selectedControlPoints().isEmpty());
    EXPECT_EQ(curveText(*curve), before);
    QElapsedTimer clock;
    clock.start();
    while (curveText(*curve) == before && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_GE(clock.elapsed(), LBCurvedLine::DelayedFlipMilliseconds - 5);
    EXPECT_EQ(curveText(*curve),
              "0 100 (0 100, 0 100); 100 50 (100 50, 100 50); 40 0 (40 0, 40 0)");
    QCoreApplication::processEvents();
    document.undo();
    EXPECT_EQ(curveText(*curve), before);

    // A curve gone before its flip runs is left alone.
    std::weak_ptr<LBGraphic> gone;
    {
        const auto doomed = curveThrough(nullptr, {{0, 0}, {10, 10}});
        doomed->selectControlPointAtIndex(0, true, false);
        doomed->flipHorizontally();
        gone = doomed;
    }
    EXPECT_TRUE(gone.expired());
    QThread::msleep(LBCurvedLine::DelayedFlipMilliseconds + 20);
    QCoreApplication::processEvents();
}

TEST(LBCurvedLine, PointsAndHandlesAreDrawnOnTheCanvasOnly)
{
    FakeCanvas canvas;
    const auto curve = curveThrough(nullptr, {{10, 10}, {100, 100}, {200, 10}});
    curve->moveModifier(1, 1, {130, 100}, true);
    const auto drawn = [&] {
        return recordDrawing([&] { curve->drawHandlesInView(&canvas, QRectF(0, 0, 300, 300)); })
            .size();
    };
    // Unselected points: knobs only; a selected one shows the lines to its two handles.
    const qsizetype unselected = drawn();
    EXPECT_GT(unselected, 0);
    curve->selectControlPointAtIndex(1, true, false);
    EXPECT_GT(drawn(), unselected);
    QList<PaintCall> calls =
        recordDrawing([&] { curve->drawHandlesInView(&canvas, QRectF(0, 0, 300, 300)); });
    qsizetype lines = 0;
    for (const PaintCall& call : calls)
        lines += call.kind == QLatin1String("stroke") && call.color.red() == 255
                 && call.color.green() == 0;
    EXPECT_EQ(lines, 2);
    // Grouped or locked: no points; grouped shows the group's knobs instead.
    curve->setLocked(true);
    calls = recordDrawing([&] { curve->drawControlAndModifierPointsInView(&canvas); });
    EXPECT_TRUE(calls.isEmpty());
}

TEST(LBCurvedLine, AOnePointCurveDragsAsAKnob)
{
    const auto curve = curveThrough(nullptr, {{50, 50}});
    const LBGraphic::ImagePtr image = curve->copyToImageWithScale(1.0, 1.0, false, false);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), platform::Image::imageNamed("Knob1")->size());
    EXPECT_NE(image, platform::Image::imageNamed("Knob1")); // a copy the caller may resize
    EXPECT_TRUE(curve->includeModifierRectsInBounds());
}

TEST(LBCurvedLine, StoredKeys)
{
    registerShapeClasses();
    MessageLog log;
    const auto curve = curveThrough(nullptr, {{0, 0}, {100, 50}, {40, 100}});
    curve->moveModifier(1, 1, {130, 50}, true);
    curve->setClosedPath(true);
    const QVariantMap stored = curve->propertyListRepresentation();
    EXPECT_EQ(stored.value("ClosedPath"), "YES");
    const QVariantList points = stored.value("ControlPoints").toList();
    ASSERT_EQ(points.size(), 3);
    EXPECT_EQ(platform::pointFromString(points[1].toString()),
              curve->controlPointAtIndex(1, false));
    const QVariantList rects = stored.value("ModifierRects").toList();
    ASSERT_EQ(rects.size(), 3);
    EXPECT_EQ(platform::rectFromString(rects[1].toString()), curve->modifierRectAtIndex(1, false));
    const auto loaded = std::dynamic_pointer_cast<LBCurvedLine>(
        LBGraphic::graphicWithPropertyListRepresentation(stored));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(curveText(*loaded), curveText(*curve));
    EXPECT_EQ(loaded->propertyListRepresentation(), stored);
    EXPECT_TRUE(log.messages.isEmpty());

    // Copies take the points and the closed flag, not the selection.
    curve->selectControlPointAtIndex(0, true, false);
    const auto copy = std::dynamic_pointer_cast<LBCurvedLine>(curve->copy());
    EXPECT_EQ(curveText(*copy), curveText(*curve));
    EXPECT_TRUE(copy->closedPath());
    EXPECT_TRUE(copy->selectedControlPoints().isEmpty());

    // The lists go in step: a point without handles gets them collapsed, handles without a
    // point and entries that are no text are passed over, each logged.
    const auto damaged =
        std::dynamic_pointer_cast<LBCurvedLine>(LBGraphic::graphicWithPropertyListRepresentation(
            {{"Class", "LBCurvedLine"},
             {"Bounds", "{{0, 0}, {100, 100}}"},
             {"ControlPoints", QVariantList{"{0, 0}", QVariantMap(), "{1, 1}"}},
             {"ModifierRects", QVariantList{"{{0, 0}, {0.5, 0}}", "{{0, 0}, {0, 0}}"}},
             {"ClosedPath", "yes"}}));
    ASSERT_TRUE(damaged);
    EXPECT_EQ(curveText(*damaged), "0 0 (0 0, 50 0); 100 100 (100 100, 100 100)");
    EXPECT_FALSE(damaged->closedPath());
    EXPECT_EQ(log.messages.size(), 2);
}
