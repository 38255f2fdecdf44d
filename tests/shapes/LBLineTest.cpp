// The straight line: its ends by direction and start flag, the eleven arrow heads with
// their turn and slide, how heads are painted, the extents heads add, the line length,
// flips and resizes with undo, knobs and the line's stored keys.

#include "../graphics/DrawingTestSupport.h"
#include "MessageLog.h"
#include "ShapeTestSupport.h"

#include "platform/core/TextForms.h"
#include "platform/ui/Beep.h"
#include "shapes/LBLine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using platform::BezierPath;

namespace {

QString pointText(const QPointF& p)
{
    return hundredths(p.x()) + QLatin1Char(' ') + hundredths(p.y());
}

QString endsText(const LBLine& line)
{
    QPointF start, end;
    line.startPoint(&start, &end);
    return pointText(start) + QStringLiteral(" -> ") + pointText(end);
}

LBLinePtr makeLine(const QRectF& bounds, qint64 angle, bool startsAtLowerLeft = true)
{
    auto line = makeShape<LBLine>(bounds, 1.0);
    line->setAngle(angle);
    line->setStartsAtLowerLeft(startsAtLowerLeft);
    return line;
}

// The head of a type at (100, 50) on a line from (0, 50): stroke 1, size 1, so a side of 7.
std::optional<BezierPath> headAt100x50(qint64 type)
{
    const auto line = makeLine({0, 45, 100, 10}, 0);
    line->setArrow1Type(type);
    std::optional<BezierPath> head, other;
    line->arrow1Path(&head, &other);
    EXPECT_FALSE(other);
    return head;
}

} // namespace

TEST(LBLine, EndsFollowTheDirectionAndTheStartFlag)
{
    const QRectF b(10, 20, 100, 40);
    const struct
    {
        qint64 angle;
        const char* lowerLeft; // start -> end with startsAtLowerLeft
    } cases[] = {
        {0, "10 40 -> 110 40"},   {45, "10 60 -> 110 20"}, {90, "60 20 -> 60 60"},
        {135, "10 20 -> 110 60"}, {30, "10 40 -> 110 40"}, // an angle that is none of the four behaves as 0
    };
    const quint64 beeps = platform::beepCount();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        EXPECT_EQ(endsText(*makeLine(b, c.angle, true)), c.lowerLeft);
        // Without the flag the ends are exchanged.
        const QStringList ends = QString::fromLatin1(c.lowerLeft).split(QStringLiteral(" -> "));
        const auto exchanged = makeLine(b, c.angle, false);
        EXPECT_EQ(endsText(*exchanged), ends[1] + QStringLiteral(" -> ") + ends[0]);
        EXPECT_EQ(elementsText(exchanged->shapeBezierPath()),
                  QStringLiteral("M %1 L %2").arg(ends[1], ends[0]));
        EXPECT_EQ(exchanged->lineLength(), c.angle == 0 || c.angle == 30 ? 100.0
                                           : c.angle == 90               ? 40.0
                                                                         : std::hypot(100.0, 40.0));
    }
    EXPECT_EQ(platform::beepCount(), beeps);

    // A new line is horizontal and starts at its right end.
    auto line = std::make_shared<LBLine>();
    line->setBounds({0, 0, 50, 10});
    EXPECT_EQ(endsText(*line), "50 5 -> 0 5");
    EXPECT_FALSE(line->canDrawFill());
    EXPECT_FALSE(line->hasNaturalSize());
}

TEST(LBLine, TheElevenHeads)
{
    const QString oval = elementsText(BezierPath::withOvalInRect({96.5, 46.5, 7, 7}));
    const QString square = elementsText(BezierPath::withRect({96.5, 46.5, 7, 7}));
    const QString triangle = QStringLiteral("M 96.5 46.5 L 103.5 50 L 96.5 53.5 Z");
    const QString diamond = QStringLiteral("M 100 46.5 L 103.5 50 L 100 53.5 L 96.5 50 Z");
    const QString heads[12] = {
        QStringLiteral("(none)"),
        triangle,
        triangle,
        QStringLiteral("M 96.5 46.5 L 103.5 50 L 96.5 53.5 L 98.6 50 Z"),
        QStringLiteral("M 96.5 46.5 L 103.5 50 L 96.5 53.5 M 96.5 50 L 103.5 50"),
        oval,
        oval,
        square,
        square,
        diamond,
        diamond,
        QStringLiteral("M 100 46.5 L 100 53.5"),
    };
    for (qint64 type = 0; type <= 11; ++type) {
        SCOPED_TRACE(type);
        const std::optional<BezierPath> head = headAt100x50(type);
        EXPECT_EQ(elementsText(head), heads[type]);
        if (head) {
            EXPECT_EQ(head->lineWidth(), 1.0);
        }
    }
    EXPECT_FALSE(headAt100x50(12)); // no such style

    // The size's unit is the stroke width + 6; head 2 sits on the start, pointing away.
    const auto line = makeLine({0, 45, 100, 10}, 0);
    line->setStrokeLineWidth(2);
    line->setArrow1Type(1);
    line->setArrow1Size(2);
    line->setArrow2Type(11);
    std::optional<BezierPath> head1, head2;
    line->arrow1Path(&head1, &head2);
    EXPECT_EQ(elementsText(head1), "M 92 42 L 108 50 L 92 58 Z");
    EXPECT_EQ(elementsText(head2), "M 0 54 L 0 46"); // turned half round
    EXPECT_EQ(head1->lineWidth(), 2.0);
}

TEST(LBLine, HeadsTurnToPointAwayFromTheOtherEnd)
{
    const auto line = makeLine({0, 0, 100, 100}, 0);
    const double d = 3.5 / std::numbers::sqrt2;
    const struct
    {
        QPointF at;
        QPointF from;
        QPointF tip; // the far corner of a triangle of side 7
    } cases[] = {
        {{50, 100}, {50, 0}, {50, 103.5}},        // below its other end: pi / 2
        {{50, 0}, {50, 100}, {50, -3.5}},         // above: 3 pi / 2
        {{0, 50}, {100, 50}, {-3.5, 50}},         // left of it: pi
        {{100, 50}, {0, 50}, {103.5, 50}},        // right of it: no turn
        {{10, 10}, {10, 10}, {10, 6.5}},          // on it: as above, 3 pi / 2
        {{100, 100}, {0, 0}, {100 + d, 100 + d}}, // down to the right
        {{0, 100}, {100, 0}, {-d, 100 + d}},      // down to the left
        {{100, 0}, {0, 100}, {100 + d, -d}},      // up to the right
        {{0, 0}, {100, 100}, {-d, -d}},           // up to the left
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((pointText(c.at) + " from " + pointText(c.from)).toStdString());
        QPointF at = c.at;
        const std::optional<BezierPath> head = line->arrowPathForPoint(&at, c.from, 1, 7, false);
        ASSERT_TRUE(head);
        EXPECT_EQ(at, c.at); // no slide, no move
        EXPECT_EQ(pointText(head->elementAt(1).points[0]), pointText(c.tip));
    }
}

TEST(LBLine, TheSlideMovesTheHeadBackAlongTheLine)
{
    // Stroke 1: a pointed head moves back by half its side and the stroke width, a round or
    // square one by half its side and half the stroke width.
    const struct
    {
        QRectF bounds;
        QPointF at;
        QPointF from;
        qint64 type;
        QPointF slid;
    } cases[] = {
        {{0, 0, 100, 100}, {0, 50}, {100, 50}, 1, {4.5, 50}},      // level, other end right
        {{0, 0, 100, 100}, {100, 50}, {0, 50}, 1, {95.5, 50}},     // level, other end left
        {{0, 0, 100, 100}, {50, 0}, {50, 100}, 5, {50, 4}},        // upright, other end below
        {{0, 0, 100, 100}, {50, 100}, {50, 0}, 9, {50, 96}},       // upright, other end above
        {{0, 0, 200, 100}, {0, 0}, {200, 100}, 1, {4.5, 2.25}},    // wide, head at the left
        {{0, 0, 200, 100}, {200, 100}, {0, 0}, 3, {195.5, 97.75}}, // wide, head at the right
        {{0, 0, 100, 200}, {0, 0}, {100, 200}, 4, {2.25, 4.5}},    // tall, head at the top
        {{0, 0, 100, 200}, {100, 200}, {0, 0}, 2, {97.75, 195.5}}, // tall, head at the bottom
        {{0, 0, 200, 100}, {0, 0}, {200, 100}, 11, {0, 0}},        // a bar never slides
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((pointText(c.at) + " from " + pointText(c.from)).toStdString());
        const auto line = makeLine(c.bounds, 135);
        QPointF at = c.at;
        const std::optional<BezierPath> slid =
            line->arrowPathForPoint(&at, c.from, c.type, 7, true);
        EXPECT_EQ(pointText(at), pointText(c.slid));
        // The head moved with the point.
        QPointF unmoved = c.at;
        const std::optional<BezierPath> head =
            line->arrowPathForPoint(&unmoved, c.from, c.type, 7, false);
        const QPointF move = at - c.at;
        EXPECT_EQ(elementsText(slid),
                  elementsText(head->transformed(QTransform::fromTranslate(move.x(), move.y()))));
    }
}

TEST(LBLine, HeadsAreFilledAndStrokedByTheirType)
{
    const QString red = QStringLiteral("#ff0000");
    for (qint64 type = 1; type <= 11; ++type) {
        SCOPED_TRACE(type);
        const auto line = makeLine({0, 45, 100, 10}, 0);
        line->setStrokeColor(Qt::red);
        line->setArrow1Type(type);
        const QStringList calls =
            callNames(recordDrawing([&] { line->drawArrowsInView(nullptr, false); }));
        const bool open = type == 4 || type == 11;
        const bool white = type == 2 || type == 6 || type == 8 || type == 10;
        const QStringList expected =
            open
                ? QStringList{"stroke " + red}
                : QStringList{"fill " + (white ? QStringLiteral("#ffffff") : red), "stroke " + red};
        EXPECT_EQ(calls, expected);
    }

    // Both heads: fills first, then strokes; none without heads.
    const auto line = makeLine({0, 45, 100, 10}, 0);
    line->setStrokeColor(Qt::blue);
    EXPECT_TRUE(recordDrawing([&] { line->drawArrowsInView(nullptr, true); }).isEmpty());
    line->setArrow1Type(2);
    line->setArrow2Type(7);
    const QList<PaintCall> calls = recordDrawing([&] { line->drawArrowsInView(nullptr, false); });
    ASSERT_EQ(calls.size(), 4);
    EXPECT_EQ(callNames(calls), QStringList({"fill #ffffff", "fill #0000ff", "stroke #0000ff"}));
    EXPECT_GT(calls[0].area.center().x(), 90); // head 1 at the end (right)
    EXPECT_LT(calls[1].area.center().x(), 10); // head 2 at the start (left)

    // With the shadow: the fills cast it together, each stroke on its own.
    line->setShadowInfo(2, 3, 2, 90, 0.5, Qt::green);
    const QStringList shadowed =
        callNames(recordDrawing([&] { line->drawArrowsInView(nullptr, true); }));
    EXPECT_EQ(shadowed.count(QStringLiteral("image #00ff00")), 3);
    // The drawing itself without the shadow flag casts none.
    EXPECT_FALSE(callNames(recordDrawing([&] {
                     line->drawArrowsInView(nullptr, false);
                 })).contains(QStringLiteral("image #00ff00")));
}

TEST(LBLine, HeadsGrowTheExtents)
{
    const auto plain = makeLine({20, 20, 100, 10}, 0);
    plain->setStrokeLineWidth(3);
    const auto headed = makeLine({20, 20, 100, 10}, 0);
    headed->setStrokeLineWidth(3);
    headed->setArrow1Size(5); // of type 0: counts for nothing
    headed->setArrow2Type(1);
    headed->setArrow2Size(2);
    EXPECT_EQ(headed->drawingBounds(), plain->drawingBounds().adjusted(-6, -6, 6, 6));
    EXPECT_EQ(headed->shadowDrawingBoundsWithHandles(false),
              plain->shadowDrawingBoundsWithHandles(false).adjusted(-6, -6, 6, 6));
    // With the handles the grown drawing bounds are grown once more.
    EXPECT_EQ(headed->shadowDrawingBoundsWithHandles(true),
              plain->shadowDrawingBoundsWithHandles(true).adjusted(-12, -12, 12, 12));
}

TEST(LBLine, RotatedBoundsHoldTheStrokeAndHeads)
{
    // A horizontal line has no height: half the stroke width above and below.
    const auto line = makeLine({10, 20, 100, 1}, 0);
    line->setStrokeLineWidth(4);
    EXPECT_EQ(line->rotatedBounds(), QRectF(10, 18.5, 100, 4));
    // Heads add their extent: bars of side 10 at both ends.
    line->setArrow1Type(11);
    line->setArrow2Type(11);
    EXPECT_EQ(line->rotatedBounds(), QRectF(10, 15.5, 100, 10));
    // Turned a quarter about the centre it stands upright, half the stroke to each side.
    line->setArrow1Type(0);
    line->setArrow2Type(0);
    line->setRotation(90);
    const QRectF r = line->rotatedBounds();
    EXPECT_NEAR(r.x(), 58, 1e-9);
    EXPECT_NEAR(r.width(), 4, 1e-9);
    EXPECT_NEAR(r.y(), -29.5, 1e-9);
    EXPECT_NEAR(r.height(), 100, 1e-9);
}

TEST(LBLine, LengthIsSetInTheLinesDirection)
{
    const struct
    {
        qint64 angle;
        QRectF before;
        QRectF after;
    } cases[] = {
        {0, {10, 10, 100, 20}, {10, 10, 50, 20}},
        {90, {10, 10, 100, 20}, {10, 10, 100, 50}},
        {45, {0, 0, 30, 40}, {0, -40, 60, 80}}, // the bottom edge stays
        {135, {0, 0, 30, 40}, {0, 0, 60, 80}},  // the origin stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        RecordingDocument document;
        const auto line = makeLine(c.before, c.angle);
        line->setDocument(&document);
        document.step([&] { line->setLineLength(c.angle == 0 || c.angle == 90 ? 50 : 100); });
        EXPECT_NEAR(line->bounds().x(), c.after.x(), 1e-9);
        EXPECT_NEAR(line->bounds().y(), c.after.y(), 1e-9);
        EXPECT_NEAR(line->bounds().width(), c.after.width(), 1e-9);
        EXPECT_NEAR(line->bounds().height(), c.after.height(), 1e-9);
        EXPECT_NEAR(line->lineLength(), c.angle == 0 || c.angle == 90 ? 50 : 100, 1e-9);
        document.undo();
        EXPECT_EQ(line->bounds(), c.before);
    }
}

TEST(LBLine, FlipsExchangeEndsAndAreUndone)
{
    const struct
    {
        qint64 angle;
        bool horizontal;
        qint64 angleAfter;
        bool endsExchanged;
    } cases[] = {
        {90, true, 90, true},   // a vertical line's heads change places
        {90, false, 90, false}, // flipped vertically it stays as it is
        {0, true, 0, true},      {0, false, 0, false},
        {45, true, 135, true}, // 45 <-> 135, the start exchanged
        {45, false, 135, false}, {135, true, 45, true},
        {135, false, 45, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.angle).arg(c.horizontal).toStdString());
        RecordingDocument document;
        const auto line = makeLine({0, 0, 100, 40}, c.angle);
        line->setDocument(&document);
        QPointF start, end;
        line->startPoint(&start, &end);
        const QString before = endsText(*line);
        NotificationCounter changes(LBGraphicDidChange, line.get());
        document.step([&] {
            if (c.horizontal)
                line->flipHorizontally();
            else
                line->flipVertically();
        });
        EXPECT_EQ(line->angle(), c.angleAfter);
        EXPECT_FALSE(line->flippedHorizontally() || line->flippedVertically());
        QPointF newStart, newEnd;
        line->startPoint(&newStart, &newEnd);
        const bool changed = c.endsExchanged || c.angle != c.angleAfter;
        EXPECT_EQ(changes.count > 0, changed);
        EXPECT_EQ(document.canUndo(), changed);
        if (c.endsExchanged) {
            // Head 2 sits on the start: where the end was, mirrored.
            EXPECT_EQ(newStart.x(), 100 - start.x());
            EXPECT_EQ(newEnd.x(), 100 - end.x());
        }
        if (changed) {
            const QString after = endsText(*line);
            document.undo();
            EXPECT_EQ(endsText(*line), before);
            document.redo();
            EXPECT_EQ(endsText(*line), after);
        }
    }
}

TEST(LBLine, ResizingScalesTheHeadsAndUndoingBringsThemBack)
{
    RecordingDocument document;
    const auto line = makeLine({0, 0, 100, 10}, 0);
    line->setArrow1Size(1.5);
    line->setDocument(&document);
    document.step([&] {
        line->setBounds({0, 0, 200, 10});
        line->scaleOtherSettingsByFactor(2.0);
    });
    EXPECT_EQ(line->arrow1Size(), 3.0);
    EXPECT_EQ(line->arrow2Size(), 2.0);
    document.undo();
    EXPECT_EQ(line->arrow1Size(), 1.5);
    EXPECT_EQ(line->arrow2Size(), 1.0);
    EXPECT_EQ(line->bounds().width(), 100);
    document.redo();
    EXPECT_EQ(line->arrow1Size(), 3.0);
    EXPECT_EQ(line->bounds().width(), 200);
    // A factor that is no size changes nothing.
    document.step([&] { line->scaleOtherSettingsByFactor(0.0); });
    document.step([&] { line->scaleOtherSettingsByFactor(std::nan("")); });
    EXPECT_EQ(line->arrow1Size(), 3.0);
}

TEST(LBLine, ArrowSettersAreUndoable)
{
    using Setter = std::function<void(LBLine&, double)>;
    using Getter = std::function<double(const LBLine&)>;
    const struct
    {
        const char* name;
        Setter set;
        Getter get;
        double value;
    } cases[] = {
        {"type 1", [](LBLine& l, double v) { l.setArrow1Type(qint64(v)); },
         [](const LBLine& l) { return double(l.arrow1Type()); }, 4},
        {"type 2", [](LBLine& l, double v) { l.setArrow2Type(qint64(v)); },
         [](const LBLine& l) { return double(l.arrow2Type()); }, 9},
        {"size 1", [](LBLine& l, double v) { l.setArrow1Size(v); },
         [](const LBLine& l) { return l.arrow1Size(); }, 2.5},
        {"size 2", [](LBLine& l, double v) { l.setArrow2Size(v); },
         [](const LBLine& l) { return l.arrow2Size(); }, 0.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingDocument document;
        const auto line = makeLine({0, 0, 100, 10}, 0);
        line->setDocument(&document);
        const double old = c.get(*line);
        NotificationCounter changes(LBGraphicDidChange, line.get());
        document.step([&] { c.set(*line, old); }); // equal: nothing
        EXPECT_FALSE(document.canUndo());
        EXPECT_EQ(changes.count, 0);
        document.step([&] { c.set(*line, c.value); });
        EXPECT_EQ(c.get(*line), c.value);
        EXPECT_GT(changes.count, 0);
        document.undo();
        EXPECT_EQ(c.get(*line), old);
        document.redo();
        EXPECT_EQ(c.get(*line), c.value);
    }
}

TEST(LBLine, KnobsSitAtTheEnds)
{
    const quint64 beeps = platform::beepCount();
    const std::pair<qint64, qint64> masks[] = {
        {0, 0x18}, {45, 0x24}, {90, 0x42}, {135, 0x81}, {60, 0x18}};
    for (const auto& [angle, mask] : masks) {
        const auto line = makeLine({0, 0, 100, 40}, angle);
        EXPECT_EQ(line->knobMask(), mask) << angle;
        line->setIsGrouped(true);
        EXPECT_EQ(line->knobMask(), 0xff) << angle;
    }
    EXPECT_EQ(platform::beepCount(), beeps);
    // The end knobs are where the line ends: a diagonal's lower-left knob is hit.
    const auto diagonal = makeLine({0, 0, 100, 40}, 45);
    EXPECT_EQ(diagonal->knobUnderPoint({0, 40}), 6);
    EXPECT_EQ(diagonal->knobUnderPoint({0, 0}), 0);
}

TEST(LBLine, StoredKeys)
{
    registerShapeClasses();
    MessageLog log;
    const auto line = makeLine({0, 0, 100, 40}, 135, true);
    line->setArrow1Type(3);
    line->setArrow2Type(10);
    line->setArrow1Size(1.25);
    line->setArrow2Size(2);
    const QVariantMap stored = line->propertyListRepresentation();
    EXPECT_EQ(stored.value("Class"), "LBLine");
    EXPECT_EQ(stored.value("LineAngle"), "135");
    EXPECT_EQ(stored.value("LineStartsAtLowerLeft"), "YES");
    EXPECT_EQ(stored.value("LineArrow1Type"), "3");
    EXPECT_EQ(stored.value("LineArrow2Type"), "10");
    EXPECT_EQ(stored.value("LineArrow1Size"), "1.250000");
    EXPECT_EQ(stored.value("LineArrow2Size"), "2.000000");
    const auto loaded =
        std::dynamic_pointer_cast<LBLine>(LBGraphic::graphicWithPropertyListRepresentation(stored));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->propertyListRepresentation(), stored);

    // Missing keys leave the defaults; only "YES" starts at the lower left; an angle that is
    // none of the four loads without a beep, behaves as 0 and is written back.
    const quint64 beeps = platform::beepCount();
    for (const char* flag : {"NO", "yes", "1", "TRUE", ""}) {
        const auto other =
            std::dynamic_pointer_cast<LBLine>(LBGraphic::graphicWithPropertyListRepresentation(
                {{"Class", "LBLine"}, {"LineStartsAtLowerLeft", flag}, {"LineAngle", "30"}}));
        ASSERT_TRUE(other);
        EXPECT_FALSE(other->startsAtLowerLeft()) << flag;
        EXPECT_EQ(other->arrow1Size(), 1.0);
        EXPECT_EQ(other->arrow2Type(), 0);
        EXPECT_EQ(other->knobMask(), 0x18);
        EXPECT_EQ(other->propertyListRepresentation().value("LineAngle"), "30");
    }
    EXPECT_EQ(platform::beepCount(), beeps);
    EXPECT_TRUE(log.messages.isEmpty()) << log.messages.join('\n').toStdString();
}
