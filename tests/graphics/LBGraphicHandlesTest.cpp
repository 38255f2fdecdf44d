#include "DrawingTestSupport.h"

#include "graphics/InspectorPalette.h"
#include "graphics/LBProcessState.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"

#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// A graphic at (100, 100, 200, 100): knob 1 at (100, 100), 8 at (300, 200).
std::shared_ptr<OutlinedGraphic> knobbedGraphic(double zoom = 1.0)
{
    auto graphic = std::make_shared<OutlinedGraphic>();
    graphic->setBounds(QRectF(100, 100, 200, 100));
    graphic->setZoomFactor(zoom);
    return graphic;
}

// An effect with one location (kind 5).
void addPointEffect(LBGraphic& graphic, const QPointF& location)
{
    graphic.addEffect(5, 0, 0, 0, 0, 0, 0, location, {}, {}, {}, QColor(), false);
}

// A perspective effect (kind 32) with its four corners.
void addPerspectiveEffect(LBGraphic& graphic, const QPointF& l0, const QPointF& l1,
                          const QPointF& l2, const QPointF& l3)
{
    graphic.addEffect(32, 0, 0, 0, 0, 0, 0, l0, l1, l2, l3, QColor(), false);
}

} // namespace

// --- Knob under a point ---

struct KnobCase
{
    double zoom;
    QPointF point;
    qint64 knob;
};

class KnobTolerance : public ::testing::TestWithParam<KnobCase>
{};

TEST_P(KnobTolerance, SquareGrowsWithOnePixelAndKeepsItsLowEdgesOnly)
{
    const KnobCase& c = GetParam();
    EXPECT_EQ(knobbedGraphic(c.zoom)->knobUnderPoint(c.point), c.knob);
}

INSTANTIATE_TEST_SUITE_P(
    LBGraphicHandles, KnobTolerance,
    ::testing::Values(
        // Zoom 2: the square reaches 2 + 0.5 points from the knob.
        KnobCase{2, {97.6, 100}, 1}, KnobCase{2, {97.5, 100}, 1}, KnobCase{2, {97.4, 100}, 0},
        KnobCase{2, {102.4, 100}, 1}, KnobCase{2, {102.5, 100}, 0}, KnobCase{2, {100, 102.5}, 0},
        KnobCase{2, {100, 97.5}, 1},
        // Zoom 1: 5 points out on the low sides still hits; on the high sides 4.9 does,
        // 5 does not.
        KnobCase{1, {95, 100}, 1}, KnobCase{1, {100, 95}, 1}, KnobCase{1, {94.9, 100}, 0},
        KnobCase{1, {104.9, 100}, 1}, KnobCase{1, {105, 100}, 0}, KnobCase{1, {100, 104.9}, 1},
        KnobCase{1, {100, 105}, 0},
        // Every resize knob in its place.
        KnobCase{1, {200, 100}, 2}, KnobCase{1, {300, 100}, 3}, KnobCase{1, {100, 150}, 4},
        KnobCase{1, {300, 150}, 5}, KnobCase{1, {100, 200}, 6}, KnobCase{1, {200, 200}, 7},
        KnobCase{1, {300, 200}, 8}, KnobCase{1, {304.9, 204.9}, 8}, KnobCase{1, {305, 200}, 0},
        KnobCase{1, {200, 150}, 0}));

TEST(LBGraphicHandles, TurnedGraphicsTurnTheirKnobs)
{
    auto graphic = knobbedGraphic();
    graphic->setRotation(90);
    // A quarter turn about (200, 150): the top-left corner goes to (250, 50).
    EXPECT_EQ(graphic->knobUnderPoint({250, 50}), 1);
    EXPECT_EQ(graphic->knobUnderPoint({100, 100}), 0);
    EXPECT_EQ(graphic->knobUnderPoint({150, 250}), 8);

    // A group's first member shows the group's frame, turned by the group rotation alone
    // about the group's centre.
    auto parent = knobbedGraphic();
    parent->setRotation(30);
    parent->setGroupedChildrenCount(1);
    parent->setGroupBounds(QRectF(0, 0, 400, 300));
    EXPECT_EQ(parent->knobUnderPoint({400, 300}), 8);
    parent->setGroupRotation(180);
    EXPECT_EQ(parent->knobUnderPoint({0, 0}), 8);
    EXPECT_EQ(parent->knobUnderPoint({400, 300}), 1);
}

TEST(LBGraphicHandles, ModifierAndEffectKnobsComeFirstAndNeverForGroupMembers)
{
    auto graphic = knobbedGraphic();
    graphic->mask = 0x3FF;
    graphic->modifier1 = {100, 100}; // on top of knob 1
    graphic->modifier2 = {150, 120};
    EXPECT_EQ(graphic->knobUnderPoint({100, 100}), 9);
    EXPECT_EQ(graphic->knobUnderPoint({150, 120}), 10);
    graphic->setIsGrouped(true);
    EXPECT_EQ(graphic->knobUnderPoint({100, 100}), 1);
    EXPECT_EQ(graphic->knobUnderPoint({150, 120}), 0);

    // Four perspective corners: location0 at the top-left corner (y measured upwards).
    auto perspective = knobbedGraphic();
    addPerspectiveEffect(*perspective, {0, 1}, {0.5, 0.5}, {0, 0}, {1, 0});
    perspective->setEffectLocationKnobType(2, 0);
    EXPECT_EQ(perspective->knobMask(), 0x78FF);
    EXPECT_EQ(perspective->effectLocationKnobPointForIndex(0), QPointF(100, 100));
    EXPECT_EQ(perspective->effectLocationKnobPointForIndex(1), QPointF(200, 150));
    EXPECT_EQ(perspective->knobUnderPoint({100, 100}), 12);
    EXPECT_EQ(perspective->knobUnderPoint({207.9, 150}), 13); // half size 8 + 1
    EXPECT_EQ(perspective->knobUnderPoint({209, 150}), 0);
    // The corner knobs are still found where no perspective knob lies.
    EXPECT_EQ(perspective->knobUnderPoint({300, 100}), 3);
    perspective->setIsGrouped(true);
    EXPECT_EQ(perspective->knobUnderPoint({100, 100}), 1);

    // One effect point: half size 9.5 + 1.
    auto point = knobbedGraphic();
    addPointEffect(*point, {0.5, 0.5});
    point->setEffectLocationKnobType(1, 0);
    EXPECT_EQ(point->knobMask(), 0x8FF);
    EXPECT_EQ(point->knobUnderPoint({210.4, 150}), 12);
    EXPECT_EQ(point->knobUnderPoint({210.5, 150}), 0);
    EXPECT_EQ(point->knobUnderPoint({189.5, 150}), 12);
}

// --- Drawing the knobs ---

namespace {

// Where each handle picture was drawn, found by a colour only that picture fills with:
// its centre, which the handle drawing puts on the knob point.
struct Marker
{
    const char* picture;
    const char* fill;
    QPointF offset; // from the fill's centre to the knob point
};

const Marker kKnob{"Knob", "#0b3d91", {0, 0}};
const Marker kKnobGroup{"KnobGroup", "#7a4a00", {0, 0}};
const Marker kKnobLocked{"KnobLocked", "#8a8a8a", {0, -2}};
const Marker kKnob1{"Knob1", "#6b5200", {0, 0}};
const Marker kEffectKnob{"EffectLocationKnob", "#d0202a", {0, 0}};
const Marker kPerspectiveKnob{"Perspective", "#e07000", {0, 0}};

QList<QPointF> handlesDrawn(const QList<PaintCall>& calls, const Marker& marker)
{
    QList<QPointF> points;
    for (const PaintCall& call : calls) {
        if (call.kind == "fill" && call.color.name() == QLatin1String(marker.fill)) {
            const QPointF p = call.area.center() + marker.offset;
            points.append({std::round(p.x() * 10) / 10, std::round(p.y() * 10) / 10});
        }
    }
    return points;
}

QList<PaintCall> recordHandles(LBGraphic& graphic, const QRectF& area = QRectF(0, 0, 400, 400))
{
    return recordDrawing([&] { graphic.drawHandlesInView(nullptr, area); }, QSize(400, 400));
}

const QList<QPointF> kAllResizeKnobs{{100, 100}, {200, 100}, {300, 100}, {100, 150},
                                     {300, 150}, {100, 200}, {200, 200}, {300, 200}};
const QList<QPointF> kCornerKnobs{{100, 100}, {300, 100}, {100, 200}, {300, 200}};

} // namespace

TEST(LBGraphicHandles, HandlePicturesExistAtTheirSizes)
{
    for (const auto& [name, size] : {std::pair{"Knob", QSizeF(8, 8)},
                                     {"KnobGroup", QSizeF(8, 8)},
                                     {"KnobLocked", QSizeF(12, 10)},
                                     {"Knob1", QSizeF(8, 8)},
                                     {"EffectLocationKnob", QSizeF(29, 29)},
                                     {"PerspectiveKnobUpperLeft", QSizeF(22, 22)},
                                     {"PerspectiveKnobUpperRight", QSizeF(22, 22)},
                                     {"PerspectiveKnobLowerLeft", QSizeF(22, 22)},
                                     {"PerspectiveKnobLowerRight", QSizeF(22, 22)}}) {
        const platform::ImagePtr image = platform::Image::imageNamed(QLatin1String(name));
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(image->size(), size) << name;
        EXPECT_EQ(image, platform::Image::imageNamed(QLatin1String(name))) << "kept";
    }
    EXPECT_FALSE(platform::Image::imageNamed(QStringLiteral("NoSuchKnob")));
}

TEST(LBGraphicHandles, KnobPicturesKeepTheirSizeAndAreCrispOnADenseDisplay)
{
    // Zoom 2 on a display of two pixels per point: the page is scaled by 4, the knob
    // stays 8 points = 16 pixels wide, centred on its point.
    auto graphic = knobbedGraphic(2);
    QImage device(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    device.setDevicePixelRatio(2.0);
    device.fill(Qt::transparent);
    {
        QPainter painter(&device);
        platform::GraphicsContext context(&painter);
        platform::GraphicsContext::Scope scope(context);
        painter.scale(2, 2);
        graphic->drawHandlesInView(nullptr, QRectF(0, 0, 800, 500));
    }
    // Knob 1 at page (100, 100) = pixel (400, 400): dark edge rows 392 and 407, white
    // ring, blue centre, with no blending at the picture's own pixel edges.
    EXPECT_EQ(device.pixel(392, 400), QColor("#0b3d91").rgb());
    EXPECT_EQ(device.pixel(407, 400), QColor("#0b3d91").rgb());
    EXPECT_EQ(qAlpha(device.pixel(391, 400)), 0);
    EXPECT_EQ(qAlpha(device.pixel(408, 400)), 0);
    EXPECT_EQ(device.pixel(395, 400), qRgb(255, 255, 255));
    EXPECT_EQ(device.pixel(400, 400), QColor("#2f7df6").rgb());
}

TEST(LBGraphicHandles, LockGroupAndEffectKnobTypeDecideWhichKnobsAreDrawn)
{
    auto graphic = knobbedGraphic();
    graphic->mask = 0x3FF;
    graphic->modifier1 = {150, 120};
    EXPECT_EQ(handlesDrawn(recordHandles(*graphic), kKnob), kAllResizeKnobs);
    EXPECT_EQ(handlesDrawn(recordHandles(*graphic), kKnob1), (QList<QPointF>{{150, 120}, {0, 0}}));

    graphic->setIsGrouped(true);
    QList<PaintCall> calls = recordHandles(*graphic);
    EXPECT_EQ(handlesDrawn(calls, kKnobGroup), kAllResizeKnobs);
    EXPECT_TRUE(handlesDrawn(calls, kKnob1).isEmpty());

    // Locked: corners only, in the locked picture, which wins over grouped.
    graphic->setLocked(true);
    calls = recordHandles(*graphic);
    EXPECT_EQ(handlesDrawn(calls, kKnobLocked), kCornerKnobs);
    EXPECT_TRUE(handlesDrawn(calls, kKnobGroup).isEmpty());
    graphic->setIsGrouped(false);
    EXPECT_TRUE(handlesDrawn(recordHandles(*graphic), kKnob1).isEmpty());

    // Perspective corners take the corner knobs' places.
    auto perspective = knobbedGraphic();
    addPerspectiveEffect(*perspective, {0, 1}, {1, 1}, {0, 0}, {1, 0});
    perspective->setEffectLocationKnobType(2, 0);
    calls = recordHandles(*perspective);
    EXPECT_EQ(handlesDrawn(calls, kKnob),
              (QList<QPointF>{{200, 100}, {100, 150}, {300, 150}, {200, 200}}));
    EXPECT_EQ(handlesDrawn(calls, kPerspectiveKnob), kCornerKnobs);

    auto point = knobbedGraphic();
    addPointEffect(*point, {0.25, 0.5});
    point->setEffectLocationKnobType(1, 0);
    calls = recordHandles(*point);
    EXPECT_EQ(handlesDrawn(calls, kKnob), kAllResizeKnobs);
    EXPECT_EQ(handlesDrawn(calls, kEffectKnob), (QList<QPointF>{{150, 150}}));
}

TEST(LBGraphicHandles, NoHandlesWhileDraggingOrHiddenAndTrimmedToTheArea)
{
    auto graphic = knobbedGraphic();
    graphic->startBoundsManipulation();
    EXPECT_TRUE(recordHandles(*graphic).isEmpty());
    graphic->stopBoundsManipulation();
    graphic->setHidden(true);
    EXPECT_TRUE(recordHandles(*graphic).isEmpty());
    graphic->setHidden(false);

    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("Trim To Page"))); // never registered
    EXPECT_EQ(callNames(recordHandles(*graphic)).first(), "fill #0b3d91");
    defaults.setBool(true, QStringLiteral("Trim To Page"));
    const QList<PaintCall> trimmed = recordHandles(*graphic, QRectF(0, 0, 200, 400));
    defaults.removeObjectForKey(QStringLiteral("Trim To Page"));
    ASSERT_FALSE(trimmed.isEmpty());
    EXPECT_EQ(trimmed.first().kind, "clip");

    // The clip really cuts the knobs: in pixels, the right-hand knobs are gone.
    defaults.setBool(true, QStringLiteral("Trim To Page"));
    const QImage image = renderImage(
        [&] { graphic->drawHandlesInView(nullptr, QRectF(0, 0, 200, 400)); }, QSize(400, 400));
    defaults.removeObjectForKey(QStringLiteral("Trim To Page"));
    EXPECT_NE(qAlpha(image.pixel(100, 100)), 0);
    EXPECT_EQ(qAlpha(image.pixel(300, 100)), 0);
    EXPECT_EQ(qAlpha(image.pixel(201, 100)), 0);
}

TEST(LBGraphicHandles, DragTargetIsOutlinedOnceWithASolidHighlight)
{
    auto graphic = knobbedGraphic(2);
    graphic->setLineDash({3, 1, 0, 0}, 2);
    graphic->setIsDragTarget(true);
    const QList<PaintCall> calls = recordHandles(*graphic);
    const QString highlight = QGuiApplication::palette().color(QPalette::Highlight).name();
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].name(), "stroke " + highlight);
    EXPECT_EQ(graphic->outlineWidthsAsked, (QList<double>{1.5})); // 3 / zoom
    EXPECT_EQ(graphic->seenDashCount, 0);                         // asked without dash
    EXPECT_EQ(graphic->lineDashCount(), 2);                       // and the dash is back
    EXPECT_FALSE(graphic->isDragTarget());
    EXPECT_EQ(handlesDrawn(recordHandles(*graphic), kKnob).size(), 8);

    // A turned target is outlined turned.
    graphic->setRotation(90);
    graphic->setIsDragTarget(true);
    const QList<PaintCall> turned = recordHandles(*graphic);
    ASSERT_EQ(turned.size(), 1);
    EXPECT_NEAR(turned[0].area.width(), 100, 0.01);
    EXPECT_NEAR(turned[0].area.height(), 200, 0.01);
}

TEST(LBGraphicHandles, ShapeWithTextShowsAThinOutlineUnderItsKnobs)
{
    auto graphic = knobbedGraphic();
    graphic->shapeWithText = true;
    const QList<PaintCall> calls = recordHandles(*graphic);
    ASSERT_FALSE(calls.isEmpty());
    EXPECT_EQ(calls.last().name(), "stroke #000000");
    EXPECT_EQ(calls.last().area, QRectF(100, 100, 200, 100));
    EXPECT_EQ(graphic->outlineWidthsAsked, (QList<double>{0.0}));
}

// --- Hit testing ---

struct HitCase
{
    const char* name;
    double rotation;
    bool oval;
    bool noOutline;
    bool selected;
    QPointF point;
    bool hit;
};

class HitTest : public ::testing::TestWithParam<HitCase>
{};

TEST_P(HitTest, ClickLandsAsTheOutlineRotationAndKnobsSay)
{
    const HitCase& c = GetParam();
    auto graphic = knobbedGraphic();
    graphic->oval = c.oval;
    graphic->noOutline = c.noOutline;
    graphic->setRotation(c.rotation);
    EXPECT_EQ(graphic->hitTest(c.point, c.selected, nullptr), c.hit);
}

INSTANTIATE_TEST_SUITE_P(
    LBGraphicHandles, HitTest,
    ::testing::Values(
        // Unturned: the filled outline decides, not its bounding box.
        HitCase{"ovalCentre", 0, true, false, false, {200, 150}, true},
        HitCase{"ovalCorner", 0, true, false, false, {105, 105}, false},
        // Selected, a knob catches the click even off the outline.
        HitCase{"ovalCornerKnob", 0, true, false, true, {102, 102}, true},
        HitCase{"knobOutsideBounds", 0, false, false, true, {96, 96}, true},
        HitCase{"knobOutsideUnselected", 0, false, false, false, {96, 96}, false},
        // Without an outline: the bounds, low edges in, high edges out.
        HitCase{"boundsOrigin", 0, false, true, false, {100, 100}, true},
        HitCase{"boundsRightEdge", 0, false, true, false, {300, 150}, false},
        HitCase{"boundsBottomEdge", 0, false, true, false, {200, 200}, false},
        // Turned 45° about (200, 150): the turned rectangle decides, even for an oval.
        // (235.36, 241.92) is (90, 40) from the centre before turning: inside the
        // rectangle, outside the oval and below the unturned bounds.
        HitCase{"turnedInsideTurnedOnly", 45, false, false, false, {235.36, 241.92}, true},
        HitCase{"turnedOvalCorner", 45, true, false, false, {235.36, 241.92}, true},
        // (105, 195) lies in the unturned bounds but outside the turned rectangle.
        HitCase{"turnedCornerOutside", 45, false, false, false, {105, 195}, false},
        HitCase{"turnedFarOut", 45, true, false, false, {320, 150}, false}),
    [](const ::testing::TestParamInfo<HitCase>& info) { return info.param.name; });

// --- Editing ---

namespace {

class RecordingPalette : public InspectorPalette
{
public:
    void forceSelectCropTools(bool force, bool showConstrainTools) override
    {
        calls.append({force, showConstrainTools});
    }
    void centerWindowUnderSelectedGraphics() override {}
    QList<QPair<bool, bool>> calls;
};

} // namespace

TEST(LBGraphicHandles, ImageCropsAreEditableAndShowTheCropTools)
{
    auto graphic = knobbedGraphic();
    EXPECT_FALSE(graphic->isEditable());
    graphic->startEditingWithEvent(nullptr, nullptr, false); // no palette, no crop: nothing

    graphic->setImage(twoBandPicture(Qt::red, Qt::blue), LBGraphic::FillImageType);
    EXPECT_TRUE(graphic->isEditable());
    graphic->setFillImageScaling(1); // tiled
    EXPECT_FALSE(graphic->isEditable());

    graphic->startEditingWithEvent(nullptr, nullptr, false); // no palette: nothing sent
    RecordingPalette palette;
    LBProcessState::setInspectorPalette(&palette);
    graphic->startEditingWithEvent(nullptr, nullptr, true);
    knobbedGraphic()->startEditingWithEvent(nullptr, nullptr, true); // not a crop
    LBProcessState::setInspectorPalette(nullptr);
    EXPECT_EQ(palette.calls, (QList<QPair<bool, bool>>{{true, false}}));
}
