// Attribute changes: every setter's undo, redo and announcement, the bounds rules and the
// handle-drag bracket.

#include "GraphicTestSupport.h"

#include "graphics/LBProcessState.h"
#include "platform/core/TextForms.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

QString rectText(const QRectF& r)
{
    return platform::stringFromRect(r);
}

QString fillImageText(const LBGraphic& g)
{
    double rotation = 0, shapeRotation = 0;
    bool h = false, v = false, shapeH = false, shapeV = false;
    g.getFillImageRotation(&rotation, &h, &v);
    g.getOrigShapeRotation(&shapeRotation, &shapeH, &shapeV);
    return QStringLiteral("fill image %1 %2 %3%4%5 shape %6%7%8")
        .arg(g.fillImageScaling())
        .arg(g.fillImageTransparency())
        .arg(rotation)
        .arg(h)
        .arg(v)
        .arg(shapeRotation)
        .arg(shapeH)
        .arg(shapeV);
}

QString cropText(const LBGraphic& g)
{
    QRectF image, shape;
    g.getCropImageBounds(&image, &shape);
    return rectText(image) + rectText(shape);
}

// Everything the setters of the table can change, as one comparable text.
QString state(const LBGraphic& g)
{
    qint64 height = 0, radius = 0, azimuth = 0;
    double alpha = 0;
    QColor shadowColor;
    const qint64 shadowType = g.shadowInfo(&height, &radius, &azimuth, &alpha, &shadowColor);
    const auto dash = g.getLineDashPattern();
    QStringList parts = {
        rectText(g.bounds()),
        rectText(g.groupBounds()),
        platform::stringFromPoint(g.visiblePageOrigin()),
        QString::number(g.fillType()),
        g.fillColor().name(QColor::HexArgb),
        g.fillColor1().name(QColor::HexArgb),
        g.strokeColor().isValid() ? g.strokeColor().name(QColor::HexArgb) : QStringLiteral("nil"),
        g.drawsStroke() ? QStringLiteral("stroke") : QStringLiteral("no stroke"),
        QString::number(g.strokeLineWidth()),
        QStringLiteral("%1 %2 %3 %4/%5")
            .arg(dash[0])
            .arg(dash[1])
            .arg(dash[2])
            .arg(dash[3])
            .arg(g.lineDashCount()),
        QString::number(g.graphicAlpha()),
        QStringLiteral("%1 %2 %3 %4 %5 %6")
            .arg(shadowType)
            .arg(height)
            .arg(radius)
            .arg(azimuth)
            .arg(alpha)
            .arg(shadowColor.name()),
        g.flippedHorizontally() ? QStringLiteral("H") : QStringLiteral("-"),
        g.flippedVertically() ? QStringLiteral("V") : QStringLiteral("-"),
        QString::number(g.rotation()),
        QStringLiteral("gradient %1 %2 %3")
            .arg(g.gradientAngle())
            .arg(g.gradientCenter())
            .arg(g.gradientCenterSize()),
        QStringLiteral("lock %1 group %2/%3 constrain %4")
            .arg(g.locked())
            .arg(g.isGrouped())
            .arg(g.groupedChildrenCount())
            .arg(g.constrainProportions()),
        // (The size ratio is left out: it is a plain record of the bounds' shape that
        // becoming or leaving a placeholder takes.)
        QStringLiteral("placeholder %1 %2 '%3' %4 %5 %6 %7 %8 %9 %10 %11")
            .arg(g.isPlaceholder())
            .arg(g.drawsPlaceholderText())
            .arg(g.placeholderLabel())
            .arg(g.placeholderLabelPosition())
            .arg(g.placeholderLabelIsVertical())
            .arg(g.placeholderTypeString())
            .arg(g.hidePlaceholderOutline())
            .arg(g.placeholderColor().name())
            .arg(g.placeholderPatternIndex())
            .arg(g.placeholderImageIndex())
            .arg(g.placeholderLabelColor().name()),
        QStringLiteral("reflection %1 %2 %3 %4 %5")
            .arg(g.reflectionEnabled())
            .arg(g.reflectionTransparency())
            .arg(g.reflectionHeight())
            .arg(g.reflectionHOffset())
            .arg(g.reflectionVOffset()),
        QStringLiteral("adjust %1 %2 %3 %4 %5 %6")
            .arg(g.brightness())
            .arg(g.contrast())
            .arg(g.hue())
            .arg(g.saturation())
            .arg(g.sharpness())
            .arg(g.exposure()),
        fillImageText(g),
        QStringLiteral("mask %1").arg(g.colorMaskType()),
        cropText(g),
        g.imageFilePathOfType(LBGraphic::ObjectMaskType),
        QStringLiteral("maskImage %1").arg(g.maskImage().width()),
        QStringLiteral("effects %1").arg(g.numEffects()),
        QString::number(g.groupRotation()),
        QString::number(g.zoomFactor()),
        QStringLiteral("%1@%2").arg(g.effectLocationKnobType()).arg(g.effectIndexForEffectKnob()),
        g.hidden() ? QStringLiteral("hidden") : QStringLiteral("shown"),
    };
    return parts.join(QStringLiteral(" | "));
}

struct SetterCase
{
    const char* name;
    std::function<void(LBGraphic&)> change;
    bool undoable;  // records its inverse
    bool announces; // posts LBGraphicDidChange
    // Setting the value it already has: 1 records nothing, 0 records a step, -1 does not
    // apply (the change is relative).
    int sameValue;
};

void PrintTo(const SetterCase& c, std::ostream* os)
{
    *os << c.name;
}

class SetterTable : public ::testing::TestWithParam<SetterCase>
{
protected:
    void SetUp() override
    {
        graphic = std::make_shared<LBGraphic>();
        graphic->setBounds(QRectF(10, 20, 30, 40));
        graphic->setGroupBounds(QRectF(0, 0, 100, 100));
        graphic->setDocument(&doc);
    }

    RecordingDocument doc;
    std::shared_ptr<LBGraphic> graphic;
};

TEST_P(SetterTable, UndoRedoAndAnnouncementAsTheTableSays)
{
    const SetterCase& c = GetParam();
    NotificationCounter changes(LBGraphicDidChange, graphic.get());
    const QString before = state(*graphic);

    doc.step([&] { c.change(*graphic); });
    const QString after = state(*graphic);
    ASSERT_NE(before, after) << "the change must change something";
    EXPECT_EQ(changes.count > 0, c.announces);
    EXPECT_EQ(doc.canUndo(), c.undoable);
    if (!c.undoable)
        return;

    doc.undo();
    EXPECT_EQ(state(*graphic), before);
    doc.redo();
    EXPECT_EQ(state(*graphic), after);

    // The same value again: a setter that ignores it records no step, so undo then goes
    // back to the state before the first change.
    if (c.sameValue < 0)
        return;
    changes.count = 0;
    doc.step([&] { c.change(*graphic); });
    EXPECT_EQ(state(*graphic), after);
    if (c.sameValue == 1) {
        EXPECT_EQ(changes.count, 0);
    }
    doc.undo();
    EXPECT_EQ(state(*graphic), c.sameValue == 1 ? before : after);
}

const LBGraphic::DashPattern dashed = {3, 1, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    LBGraphic, SetterTable,
    ::testing::Values(
        SetterCase{"setBounds", [](LBGraphic& g) { g.setBounds(QRectF(1, 2, 3, 4)); }, true,
                   true, 1},
        SetterCase{"setBoundsNoOtherChanges",
                   [](LBGraphic& g) { g.setBoundsNoOtherChanges(QRectF(1, 2, 3, 4)); }, false,
                   false, 0},
        SetterCase{"setVisiblePageOrigin",
                   [](LBGraphic& g) { g.setVisiblePageOrigin(QPointF(5, 6)); }, false, false,
                   0},
        SetterCase{"setFillType", [](LBGraphic& g) { g.setFillType(2); }, true, true, 1},
        SetterCase{"setFillColor", [](LBGraphic& g) { g.setFillColor(Qt::red); }, true, true,
                   1},
        SetterCase{"setFillColor1", [](LBGraphic& g) { g.setFillColor1(Qt::red); }, true, true,
                   1},
        SetterCase{"setDrawsStroke", [](LBGraphic& g) { g.setDrawsStroke(false); }, true, true,
                   1},
        SetterCase{"setStrokeColor", [](LBGraphic& g) { g.setStrokeColor(Qt::red); }, true,
                   true, 1},
        SetterCase{"setStrokeLineWidth", [](LBGraphic& g) { g.setStrokeLineWidth(3); }, true,
                   true, 1},
        SetterCase{"setLineDash", [](LBGraphic& g) { g.setLineDash(dashed, 2); }, true, true,
                   1},
        SetterCase{"setGraphicAlpha", [](LBGraphic& g) { g.setGraphicAlpha(0.5); }, true, true,
                   0},
        SetterCase{"setShadowInfo",
                   [](LBGraphic& g) { g.setShadowInfo(1, 4, 5, 180, 0.5, Qt::blue); }, true,
                   true, 0},
        SetterCase{"setFlippedHorizontally",
                   [](LBGraphic& g) { g.setFlippedHorizontally(true); }, true, true, 1},
        SetterCase{"setFlippedVertically", [](LBGraphic& g) { g.setFlippedVertically(true); },
                   true, true, 1},
        SetterCase{"setRotation", [](LBGraphic& g) { g.setRotation(30); }, true, true, 1},
        SetterCase{"setGroupRotation", [](LBGraphic& g) { g.setGroupRotation(15); }, true, true,
                   1},
        SetterCase{"setZoomFactor", [](LBGraphic& g) { g.setZoomFactor(2); }, false, false,
                   0},
        SetterCase{"setEffectLocationKnobType",
                   [](LBGraphic& g) { g.setEffectLocationKnobType(2, 1); }, true, false, 0},
        SetterCase{"setHidden", [](LBGraphic& g) { g.setHidden(true); }, false, false, 0},
        SetterCase{"moveBy", [](LBGraphic& g) { g.moveBy(QPointF(5, -5)); }, true, true, -1},
        SetterCase{"setXPosition", [](LBGraphic& g) { g.setXPosition(50); }, true, true, 1},
        SetterCase{"setYPosition", [](LBGraphic& g) { g.setYPosition(50); }, true, true, 1},
        SetterCase{"setWidth", [](LBGraphic& g) { g.setWidth(50); }, true, true, 1},
        SetterCase{"setHeight", [](LBGraphic& g) { g.setHeight(50); }, true, true, 1},
        SetterCase{"makeNaturalSize", [](LBGraphic& g) { g.makeNaturalSize(); }, true, true,
                   1},
        // Setters of the other attribute groups follow the same pattern.
        SetterCase{"setGradientAngle", [](LBGraphic& g) { g.setGradientAngle(45); }, true, true,
                   1},
        SetterCase{"setGradientCenter", [](LBGraphic& g) { g.setGradientCenter(0.5); }, true,
                   true, 1},
        SetterCase{"setGradientCenterSize", [](LBGraphic& g) { g.setGradientCenterSize(0.3); },
                   true, true, 1},
        SetterCase{"setLocked", [](LBGraphic& g) { g.setLocked(true); }, true, false, 1},
        SetterCase{"setIsGrouped", [](LBGraphic& g) { g.setIsGrouped(true); }, true, false, 1},
        SetterCase{"setGroupedChildrenCount",
                   [](LBGraphic& g) { g.setGroupedChildrenCount(3); }, true, false, 0},
        SetterCase{"setGroupBounds", [](LBGraphic& g) { g.setGroupBounds(QRectF(1, 1, 5, 5)); },
                   true, true, 1},
        SetterCase{"setConstrainProportions",
                   [](LBGraphic& g) { g.setConstrainProportions(true); }, true, true, 1},
        SetterCase{"setIsPlaceholder", [](LBGraphic& g) { g.setIsPlaceholder(true); }, true,
                   true, 1},
        SetterCase{"setDrawPlaceholderText",
                   [](LBGraphic& g) { g.setDrawPlaceholderText(true); }, true, false, 0},
        SetterCase{"setPlaceholderLabel",
                   [](LBGraphic& g) { g.setPlaceholderLabel(QStringLiteral("Here")); }, true,
                   true, 1},
        SetterCase{"setPlaceholderLabelPosition",
                   [](LBGraphic& g) { g.setPlaceholderLabelPosition(4); }, true, false, 0},
        SetterCase{"setPlaceholderLabelIsVertical",
                   [](LBGraphic& g) { g.setPlaceholderLabelIsVertical(true); }, true, false, 0},
        SetterCase{"setPlaceholderTypeString",
                   [](LBGraphic& g) { g.setPlaceholderTypeString(QStringLiteral("Photo")); },
                   true, false, 0},
        SetterCase{"setHidePlaceholderOutline",
                   [](LBGraphic& g) { g.setHidePlaceholderOutline(true); }, true, false, 0},
        SetterCase{"setPlaceholderColor", [](LBGraphic& g) { g.setPlaceholderColor(Qt::red); },
                   true, false, 0},
        SetterCase{"setPlaceholderPatternIndex",
                   [](LBGraphic& g) { g.setPlaceholderPatternIndex(2); }, true, false, 0},
        SetterCase{"setPlaceholderImageIndex",
                   [](LBGraphic& g) { g.setPlaceholderImageIndex(2); }, true, false, 0},
        SetterCase{"setPlaceholderLabelColor",
                   [](LBGraphic& g) { g.setPlaceholderLabelColor(Qt::red); }, true, false, 0},
        SetterCase{"setReflectionEnabled", [](LBGraphic& g) { g.setReflectionEnabled(true); },
                   true, true, 1},
        SetterCase{"setReflectionTransparency",
                   [](LBGraphic& g) { g.setReflectionTransparency(0.2); }, true, true, 1},
        SetterCase{"setReflectionHeight", [](LBGraphic& g) { g.setReflectionHeight(0.2); }, true,
                   true, 1},
        SetterCase{"setReflectionHOffset", [](LBGraphic& g) { g.setReflectionHOffset(-0.2); },
                   true, true, 1},
        SetterCase{"setReflectionVOffset", [](LBGraphic& g) { g.setReflectionVOffset(0.2); },
                   true, true, 1},
        SetterCase{"setBrightness", [](LBGraphic& g) { g.setBrightness(20); }, true, true, 1},
        SetterCase{"setContrast", [](LBGraphic& g) { g.setContrast(20); }, true, true, 1},
        SetterCase{"setHue", [](LBGraphic& g) { g.setHue(20); }, true, true, 1},
        SetterCase{"setSaturation", [](LBGraphic& g) { g.setSaturation(20); }, true, true, 1},
        SetterCase{"setSharpness", [](LBGraphic& g) { g.setSharpness(-20); }, true, true, 1},
        SetterCase{"setExposure", [](LBGraphic& g) { g.setExposure(20); }, true, true, 1},
        SetterCase{"setFillImageScaling", [](LBGraphic& g) { g.setFillImageScaling(1); }, true,
                   true, 1},
        SetterCase{"setFillImageTransparency",
                   [](LBGraphic& g) { g.setFillImageTransparency(0.5); }, true, true, 1},
        SetterCase{"setFillImageRotation",
                   [](LBGraphic& g) { g.setFillImageRotation(90, true, false); }, true, true, 0},
        SetterCase{"setOrigShapeRotation",
                   [](LBGraphic& g) { g.setOrigShapeRotation(90, false, true); }, true, false,
                   0},
        SetterCase{"setColorMaskType",
                   [](LBGraphic& g) { g.setColorMaskType(2, -1, 3, -1, -1, -1); }, true, true, 1},
        SetterCase{"setCropImageBounds",
                   [](LBGraphic& g) {
                       g.setCropImageBounds(QRectF(0, 0, 80, 60), QRectF(5, 5, 40, 30));
                   },
                   true, false, 0},
        SetterCase{"setImageFilePath",
                   [](LBGraphic& g) {
                       g.setImageFilePath(QStringLiteral("/tmp/a.png"), LBGraphic::ObjectMaskType);
                   },
                   true, false, 0},
        SetterCase{"setMaskImage",
                   [](LBGraphic& g) { g.setMaskImage(QImage(3, 2, QImage::Format_ARGB32)); },
                   true, false, 0},
        SetterCase{"addEffect",
                   [](LBGraphic& g) {
                       g.addEffect(8, 65535, 10, 0, 0, 0, 0, QPointF(4294967295.0, 0), QPointF(),
                                   QPointF(), QPointF(), QColor(), false);
                   },
                   true, true, -1}),
    [](const ::testing::TestParamInfo<SetterCase>& info) { return std::string(info.param.name); });

class LBGraphicUndo : public ::testing::Test
{
protected:
    void SetUp() override
    {
        graphic = std::make_shared<LBGraphic>();
        graphic->setDocument(&doc);
    }

    RecordingDocument doc;
    std::shared_ptr<LBGraphic> graphic;
};

} // namespace

TEST_F(LBGraphicUndo, SameBoundsRecordNothingAndPostNothing)
{
    doc.quietly([&] { graphic->setBounds(QRectF(10, 20, 30, 40)); });
    NotificationCounter changes(LBGraphicDidChange, graphic.get());
    doc.invalidations = 0;
    doc.step([&] { graphic->setBounds(QRectF(10, 20, 30, 40)); });
    EXPECT_FALSE(doc.canUndo());
    EXPECT_EQ(changes.count, 0);
    EXPECT_EQ(doc.invalidations, 0);
}

TEST_F(LBGraphicUndo, NarrowBoundsAreRaisedToOnePointAndUndoRestoresTheExactRect)
{
    const QRectF old(10.25, 20.5, 30.125, 0.75); // read back 1.0 high
    graphic->setBoundsNoOtherChanges(old);
    EXPECT_EQ(graphic->bounds(), QRectF(10.25, 20.5, 30.125, 1.0));
    const QRectF exact = graphic->bounds();

    NotificationCounter changes(LBGraphicDidChange, graphic.get());
    doc.step([&] { graphic->setBounds(QRectF(5, 6, 0.4, 7)); });
    EXPECT_EQ(graphic->bounds(), QRectF(5, 6, 1.0, 7));
    EXPECT_EQ(changes.count, 2); // the old area and the new one
    EXPECT_EQ(doc.invalidations, 2);
    doc.undo();
    EXPECT_EQ(graphic->bounds(), exact);
}

TEST_F(LBGraphicUndo, AHandleDragIsOneUndoStepAndEndsWithANotification)
{
    const QRectF start(10, 10, 50, 50);
    doc.quietly([&] {
        graphic->setBounds(start);
        graphic->setIsGrouped(true);
        graphic->setGroupBounds(QRectF(0, 0, 100, 100));
    });
    NotificationCounter changes(LBGraphicDidChange, graphic.get());
    NotificationCounter stops(LBStopBoundsManipulationNotification, graphic.get());
    doc.invalidations = 0;

    graphic->startBoundsManipulation();
    EXPECT_TRUE(graphic->manipulatingBounds());
    EXPECT_EQ(graphic->origBounds(), start);
    EXPECT_EQ(graphic->origGroupBounds(), QRectF(0, 0, 100, 100));
    // Each mouse event of the drag is an event of its own.
    for (int i = 1; i <= 10; ++i) {
        doc.step([&] {
            graphic->setBounds(QRectF(10, 10, 50 + i, 50 + 2 * i));
            graphic->setGroupBounds(QRectF(0, 0, 100 + i, 100));
        });
    }
    EXPECT_FALSE(doc.canUndo());
    EXPECT_EQ(changes.count, 0);
    EXPECT_EQ(doc.invalidations, 0);
    EXPECT_EQ(graphic->bounds(), QRectF(10, 10, 60, 70));

    doc.step([&] { graphic->stopBoundsManipulation(); });
    EXPECT_FALSE(graphic->manipulatingBounds());
    EXPECT_EQ(stops.count, 1);
    EXPECT_EQ(graphic->bounds(), QRectF(10, 10, 60, 70));
    EXPECT_EQ(graphic->groupBounds(), QRectF(0, 0, 110, 100));

    doc.undo();
    EXPECT_EQ(graphic->bounds(), start);
    EXPECT_EQ(graphic->groupBounds(), QRectF(0, 0, 100, 100));
    EXPECT_FALSE(doc.canUndo());
    doc.redo();
    EXPECT_EQ(graphic->bounds(), QRectF(10, 10, 60, 70));
    EXPECT_EQ(graphic->groupBounds(), QRectF(0, 0, 110, 100));
}

TEST_F(LBGraphicUndo, StoppingWithoutADragPostsButRecordsNothing)
{
    NotificationCounter stops(LBStopBoundsManipulationNotification, graphic.get());
    doc.step([&] { graphic->stopBoundsManipulation(); });
    EXPECT_EQ(stops.count, 1);
    EXPECT_FALSE(doc.canUndo());

    // A drag that ends where it started records nothing either.
    graphic->startBoundsManipulation();
    graphic->setBounds(QRectF(3, 3, 3, 3));
    graphic->setBounds(graphic->origBounds());
    doc.step([&] { graphic->stopBoundsManipulation(); });
    EXPECT_EQ(stops.count, 2);
    EXPECT_FALSE(doc.canUndo());
}

TEST_F(LBGraphicUndo, NegativeStrokeWidthTurnsTheStrokeOff)
{
    doc.quietly([&] { graphic->setStrokeLineWidth(4); });
    doc.invalidations = 0;
    doc.step([&] { graphic->setStrokeLineWidth(-2); });
    EXPECT_FALSE(graphic->drawsStroke());
    EXPECT_EQ(graphic->strokeLineWidth(), 0.0);
    // Narrower: the old outline is erased before the change is announced.
    EXPECT_GE(doc.invalidations, 2);
    doc.undo();
    EXPECT_EQ(graphic->strokeLineWidth(), 4.0);
    EXPECT_TRUE(graphic->drawsStroke());

    doc.step([&] { graphic->setStrokeLineWidth(std::nan("")); });
    EXPECT_EQ(graphic->strokeLineWidth(), 0.0);
    EXPECT_FALSE(graphic->drawsStroke());
}

TEST_F(LBGraphicUndo, StrokeColourDecidesTheStrokeEvenWhenUnchanged)
{
    doc.step([&] { graphic->setStrokeColor(QColor()); });
    EXPECT_FALSE(graphic->drawsStroke());
    EXPECT_FALSE(graphic->strokeColor().isValid());
    doc.undo();
    EXPECT_TRUE(graphic->drawsStroke());
    EXPECT_EQ(graphic->strokeColor(), QColor(Qt::black));

    // The same colour records no colour step, but still turns the stroke on.
    doc.undoManager()->removeAllActions();
    doc.quietly([&] { graphic->setDrawsStroke(false); });
    doc.step([&] { graphic->setStrokeColor(QColor(Qt::black)); });
    EXPECT_TRUE(graphic->drawsStroke());
    doc.undo();
    EXPECT_FALSE(graphic->drawsStroke());
    EXPECT_EQ(graphic->strokeColor(), QColor(Qt::black));
    EXPECT_FALSE(doc.canUndo());
}

TEST_F(LBGraphicUndo, DrawsStrokeRedrawsBeforeClearingAndAfterSetting)
{
    NotificationCounter changes(LBGraphicDidChange, graphic.get());
    int strokeWhenAnnounced = -1;
    auto token = platform::NotificationCenter::defaultCenter().addObserver(
        LBGraphicDidChange, graphic.get(),
        [&](const platform::Notification&) { strokeWhenAnnounced = graphic->drawsStroke(); });
    doc.step([&] { graphic->setDrawsStroke(false); });
    EXPECT_EQ(strokeWhenAnnounced, 1);
    doc.step([&] { graphic->setDrawsStroke(true); });
    EXPECT_EQ(strokeWhenAnnounced, 1);
    EXPECT_EQ(changes.count, 2);
}

TEST_F(LBGraphicUndo, DashUndoRestoresLengthsAndCount)
{
    doc.quietly([&] { graphic->setLineDash({3, 1, 0, 0}, 2); });
    doc.step([&] { graphic->setLineDash({1, 1, 0, 0}, 2); });
    doc.undo();
    EXPECT_EQ(graphic->getLineDashPattern(), (LBGraphic::DashPattern{3, 1, 0, 0}));
    EXPECT_EQ(graphic->lineDashCount(), 2);

    // Lengths past the count still count as a change.
    doc.step([&] { graphic->setLineDash({3, 1, 9, 0}, 2); });
    EXPECT_TRUE(doc.canUndo());

    doc.quietly([&] { graphic->setStrokeLineWidth(2); });
    EXPECT_EQ(graphic->getLineDashPatternForDrawing(), (LBGraphic::DashPattern{6, 2, 18, 0}));
}

TEST_F(LBGraphicUndo, FillTypeIsKeptToThreeBits)
{
    doc.step([&] { graphic->setFillType(3); });
    EXPECT_EQ(graphic->fillType(), 3);
    doc.step([&] { graphic->setFillType(9); });
    EXPECT_EQ(graphic->fillType(), 1);
    doc.undo();
    EXPECT_EQ(graphic->fillType(), 3);
}

TEST_F(LBGraphicUndo, EqualColoursCountAsUnchanged)
{
    doc.step([&] { graphic->setFillColor(QColor::fromRgbF(0, 0, 0)); });
    EXPECT_FALSE(doc.canUndo());
    doc.step([&] { graphic->setFillColor1(QColor(255, 255, 255)); });
    EXPECT_FALSE(doc.canUndo());
}

TEST_F(LBGraphicUndo, DidChangeIsSilentWhileTheReflectionIsBuilt)
{
    NotificationCounter changes(LBGraphicDidChange, graphic.get());
    graphic->setLoadingReflection(true);
    graphic->didChange();
    EXPECT_EQ(changes.count, 0);
    EXPECT_EQ(doc.invalidations, 0);
    graphic->setLoadingReflection(false);
    graphic->didChange();
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(doc.invalidations, 1);
    EXPECT_EQ(doc.lastInvalidated, graphic.get());
}

TEST_F(LBGraphicUndo, DidChangeDropsTheReflectionUnlessGraphicsAreDraggedOut)
{
    const auto picture = fakeImage();
    graphic->setReflectionImage(picture);
    LBProcessState::setDraggingOut(true);
    graphic->didChange();
    EXPECT_EQ(graphic->reflectionImage(), picture);
    LBProcessState::setDraggingOut(false);
    graphic->didChange();
    EXPECT_EQ(graphic->reflectionImage(), nullptr);
}

TEST_F(LBGraphicUndo, RefreshRedrawsWithoutAnnouncing)
{
    NotificationCounter changes(LBGraphicDidChange, graphic.get());
    graphic->refreshGraphic(true);
    graphic->refreshGraphic(false);
    EXPECT_EQ(doc.invalidations, 2);
    EXPECT_EQ(changes.count, 0);
}

TEST_F(LBGraphicUndo, ShadowValuesKeepUnchangedOnesAndBuildTheDrawingShadow)
{
    doc.step([&] { graphic->setShadowInfo(1, -1, -1, 400, -1.0, QColor()); });
    qint64 height = 0, radius = 0, azimuth = 0;
    double alpha = 0;
    QColor color;
    EXPECT_EQ(graphic->shadowInfo(&height, &radius, &azimuth, &alpha, &color), 1);
    EXPECT_EQ(height, 3);
    EXPECT_EQ(radius, 3);
    EXPECT_EQ(azimuth, 40); // 360 is taken off once
    EXPECT_EQ(alpha, 0.25);
    EXPECT_EQ(color, QColor(Qt::black));

    doc.step([&] { graphic->setShadowInfo(-1, 4, 2, 90, 0.5, QColor()); });
    ASSERT_TRUE(graphic->shadow().has_value());
    // Azimuth 90 points the offset down the y-up shadow space: below the graphic.
    EXPECT_NEAR(graphic->shadow()->offset.width(), 0.0, 1e-4);
    EXPECT_NEAR(graphic->shadow()->offset.height(), -4.0, 1e-4);
    EXPECT_EQ(graphic->shadow()->blurRadius, 2.0);
    EXPECT_NEAR(graphic->shadow()->color.alphaF(), 0.5, 1e-3);

    // The shadow keeps its size on the page when the zoom changes.
    graphic->setZoomFactor(2);
    EXPECT_NEAR(graphic->shadow()->offset.height(), -8.0, 1e-4);
    EXPECT_EQ(graphic->shadow()->blurRadius, 4.0);

    doc.undo();
    EXPECT_EQ(graphic->shadowInfo(&height, &radius, &azimuth, &alpha, nullptr), 1);
    EXPECT_EQ(QList<qint64>({height, radius, azimuth}), QList<qint64>({3, 3, 40}));
    doc.undo();
    EXPECT_EQ(graphic->shadowType(), 0);
}

TEST_F(LBGraphicUndo, ShadowThatShrinksErasesItsOldAreaFirst)
{
    doc.quietly([&] { graphic->setShadowInfo(1, 10, 10, 90, 0.25, QColor()); });
    struct Case
    {
        qint64 type, height, radius, azimuth;
        int expectedInvalidations; // didChange always redraws once
    } cases[] = {
        {1, 12, 12, -1, 1},  // larger: covered by the announcement
        {1, 5, -1, -1, 2},   // lower
        {1, -1, 4, -1, 2},   // less blur
        {1, -1, -1, 180, 2}, // turned
        {0, -1, -1, -1, 2},  // gone
    };
    for (const Case& c : cases) {
        doc.invalidations = 0;
        doc.quietly(
            [&] { graphic->setShadowInfo(c.type, c.height, c.radius, c.azimuth, -1.0, QColor()); });
        EXPECT_EQ(doc.invalidations, c.expectedInvalidations)
            << c.type << " " << c.height << " " << c.radius << " " << c.azimuth;
    }
}

TEST_F(LBGraphicUndo, RotationDropsPicturesEvenWhenUnchanged)
{
    auto probe = std::make_shared<ProbeGraphic>();
    probe->setDocument(&doc);
    doc.quietly([&] { probe->setRotation(30); });
    probe->_cachedCIImage = QImage(2, 2, QImage::Format_ARGB32_Premultiplied);
    NotificationCounter changes(LBGraphicDidChange, probe.get());
    doc.step([&] { probe->setRotation(30); });
    EXPECT_TRUE(probe->_cachedCIImage.isNull());
    EXPECT_FALSE(doc.canUndo());
    EXPECT_EQ(changes.count, 0);

    // Angles are stored as given.
    doc.step([&] { probe->setRotation(400); });
    EXPECT_EQ(probe->rotation(), 400.0);
}

TEST_F(LBGraphicUndo, PicturesSurviveWhileGraphicsAreDraggedOut)
{
    auto probe = std::make_shared<ProbeGraphic>();
    probe->_cachedCIImage = QImage(2, 2, QImage::Format_ARGB32_Premultiplied);
    LBProcessState::setDraggingOut(true);
    probe->setBrightness(20);
    probe->setRotation(10);
    EXPECT_FALSE(probe->_cachedCIImage.isNull());
    LBProcessState::setDraggingOut(false);
    probe->setBrightness(30);
    EXPECT_TRUE(probe->_cachedCIImage.isNull());
}

TEST_F(LBGraphicUndo, GroupingSetters)
{
    // The count records a step even when it does not change.
    doc.step([&] { graphic->setGroupedChildrenCount(0); });
    EXPECT_TRUE(doc.canUndo());

    // Leaving a group folds the group's rotation into the graphic's own.
    doc.quietly([&] {
        graphic->setRotation(10);
        graphic->setIsGrouped(true);
        graphic->setGroupRotation(30);
    });
    doc.step([&] { graphic->setIsGrouped(false); });
    EXPECT_EQ(graphic->rotation(), 40.0);
    EXPECT_EQ(graphic->groupRotation(), 0.0);
    doc.undo();
    EXPECT_TRUE(graphic->isGrouped());
    EXPECT_EQ(graphic->rotation(), 10.0);
    EXPECT_EQ(graphic->groupRotation(), 30.0);

    // During a handle drag the group bounds are stored without undo or announcement.
    NotificationCounter changes(LBGraphicDidChange, graphic.get());
    doc.undoManager()->removeAllActions();
    graphic->startBoundsManipulation();
    doc.step([&] { graphic->setGroupBounds(QRectF(1, 1, 9, 9)); });
    EXPECT_EQ(graphic->groupBounds(), QRectF(1, 1, 9, 9));
    EXPECT_FALSE(doc.canUndo());
    EXPECT_EQ(changes.count, 0);
}

TEST_F(LBGraphicUndo, BecomingAPlaceholderRecordsTheSizeRatio)
{
    doc.quietly([&] { graphic->setBounds(QRectF(0, 0, 200, 100)); });
    doc.step([&] { graphic->setIsPlaceholder(true); });
    EXPECT_EQ(graphic->placeholderSizeRatio(), 2.0);
    doc.quietly([&] { graphic->setBounds(QRectF(0, 0, 100, 100)); });
    doc.undo();
    EXPECT_FALSE(graphic->isPlaceholder());
    EXPECT_EQ(graphic->placeholderSizeRatio(), 1.0);
}

TEST_F(LBGraphicUndo, BoundsWithoutOtherChangesCarryTheGroupOrigin)
{
    doc.quietly([&] {
        graphic->setBounds(QRectF(10, 10, 20, 20));
        graphic->setIsGrouped(true);
        graphic->setGroupBounds(QRectF(0, 0, 100, 100));
    });
    graphic->setBoundsNoOtherChanges(QRectF(15, 5, 0.5, 30));
    EXPECT_EQ(graphic->bounds(), QRectF(15, 5, 1, 30));
    EXPECT_EQ(graphic->groupBounds(), QRectF(5, -5, 100, 100));
    EXPECT_FALSE(doc.canUndo());
}

TEST_F(LBGraphicUndo, GroupedMoveMovesBothRectangles)
{
    doc.quietly([&] {
        graphic->setBounds(QRectF(10, 10, 20, 20));
        graphic->setIsGrouped(true);
        graphic->setGroupBounds(QRectF(0, 0, 100, 100));
    });
    doc.step([&] { graphic->moveBy(QPointF(5, 7)); });
    EXPECT_EQ(graphic->bounds(), QRectF(15, 17, 20, 20));
    EXPECT_EQ(graphic->groupBounds(), QRectF(5, 7, 100, 100));
    doc.undo();
    EXPECT_EQ(graphic->bounds(), QRectF(10, 10, 20, 20));
    EXPECT_EQ(graphic->groupBounds(), QRectF(0, 0, 100, 100));
}

TEST_F(LBGraphicUndo, RoundsRectanglesToWholePoints)
{
    EXPECT_EQ(LBGraphic::roundRectToIntegerBoundaries(QRectF(1.5, 2.49, 3.5, -0.5)),
              QRectF(2, 2, 4, 0));
    EXPECT_EQ(LBGraphic::roundRectToIntegerBoundaries(QRectF(-1.5, -2.6, 0.49, 10)),
              QRectF(-1, -3, 0, 10));
}
