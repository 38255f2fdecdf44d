// Geometry: rotation of points and rectangles, drawing extents, flips, knob renumbering
// and the effect-location knobs.

#include "GraphicTestSupport.h"

#include "platform/core/TextForms.h"

#include <QPolygonF>
#include <QtMath>

#include <gtest/gtest.h>

namespace {

void expectNear(const QPointF& actual, const QPointF& expected, double tolerance = 1e-9)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance);
    EXPECT_NEAR(actual.y(), expected.y(), tolerance);
}

void expectNear(const QRectF& actual, const QRectF& expected, double tolerance = 1e-9)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance);
    EXPECT_NEAR(actual.y(), expected.y(), tolerance);
    EXPECT_NEAR(actual.width(), expected.width(), tolerance);
    EXPECT_NEAR(actual.height(), expected.height(), tolerance);
}

// `point` turned by `degrees` about `center` in the y-down page: positive angles turn
// from +x towards +y.
QPointF turned(const QPointF& point, const QPointF& center, double degrees)
{
    const double a = qDegreesToRadians(degrees);
    const QPointF d = point - center;
    return center
           + QPointF(d.x() * std::cos(a) - d.y() * std::sin(a),
                     d.x() * std::sin(a) + d.y() * std::cos(a));
}

// The bounding box of `rect` turned by `degrees` about its centre.
QRectF turnedBoundsOf(const QRectF& rect, double degrees)
{
    const QPointF c = rect.center();
    QPolygonF corners;
    for (const QPointF& p :
         {rect.topLeft(), rect.topRight(), rect.bottomLeft(), rect.bottomRight()})
        corners << turned(p, c, degrees);
    return corners.boundingRect();
}

std::shared_ptr<LBGraphic> graphicWithBounds(const QRectF& bounds)
{
    auto g = std::make_shared<LBGraphic>();
    g->setBounds(bounds);
    return g;
}

} // namespace

TEST(LBGraphicGeometry, RotationInsideARotatedGroup)
{
    auto g = graphicWithBounds(QRectF(100, 100, 40, 20)); // centre (120, 110)
    g->setIsGrouped(true);
    g->setGroupBounds(QRectF(0, 0, 300, 200)); // centre (150, 100)
    g->setRotation(30);
    g->setGroupRotation(15);

    const QPointF p(140, 110);
    expectNear(g->rotatedPoint(p, false), turned(p, QPointF(120, 110), 45));
    expectNear(g->rotatedPoint(p, true), turned(p, QPointF(150, 100), 15));
    // A quarter turn maps +x onto +y in the page.
    g->setRotation(75);
    expectNear(g->rotatedPoint(p, false), QPointF(120, 130));
    g->setRotation(30);

    // Unrotating undoes rotating, for either frame.
    for (bool groupOnly : {false, true})
        expectNear(g->unrotatedPoint(g->rotatedPoint(p, groupOnly), groupOnly), p);

    // With explicit bounds.
    const QRectF other(0, 0, 20, 20);
    expectNear(g->rotatedPoint(p, other, false), turned(p, QPointF(10, 10), 45));
    expectNear(g->unrotatedPoint(p, other, true), turned(p, QPointF(10, 10), -15));

    // No rotation at all returns the point unchanged.
    auto flat = graphicWithBounds(QRectF(0, 0, 10, 10));
    EXPECT_EQ(flat->rotatedPoint(QPointF(3.3, 4.4), false), QPointF(3.3, 4.4));
}

TEST(LBGraphicGeometry, RotatedPathsAndBounds)
{
    auto g = graphicWithBounds(QRectF(0, 0, 100, 50));
    const QRectF r(10, 10, 20, 10);
    EXPECT_EQ(g->rotatedPathFromRect(r, nullptr), platform::BezierPath::withRect(r));
    EXPECT_EQ(g->rotatedDrawingBounds(), QRectF(0, 0, 100, 50));
    EXPECT_EQ(g->rotatedBounds(), QRectF(0, 0, 100, 50));

    g->setRotation(60);
    g->setGroupRotation(30); // 90 in all
    // About the rectangle's own centre, or about a given point.
    expectNear(g->rotatedPathFromRect(r, nullptr).bounds(), QRectF(15, 5, 10, 20), 1e-6);
    const QPointF origin(0, 0);
    expectNear(g->rotatedPathFromRect(r, &origin).bounds(), QRectF(-20, 10, 10, 20), 1e-6);

    expectNear(g->rotatedDrawingBounds(), QRectF(25, -25, 50, 100), 1e-6);
    expectNear(g->unrotatedBoundsFromRotatedBounds(QRectF(25, -25, 50, 100)), QRectF(0, 0, 100, 50),
               1e-6);

    g->setGroupBounds(QRectF(0, 0, 40, 20));
    expectNear(g->groupRotatedDrawingBounds(), turnedBoundsOf(QRectF(0, 0, 40, 20), 30), 1e-6);
    expectNear(
        g->groupUnrotatedDrawingBoundsFromRotatedBounds(g->groupRotatedDrawingBounds()).center(),
        QPointF(20, 10), 1e-6);
}

TEST(LBGraphicGeometry, DrawingBoundsLeaveRoomForHandlesOrAWideStroke)
{
    auto g = graphicWithBounds(QRectF(100, 100, 50, 40));
    struct Case
    {
        double width;
        bool stroke;
        double margin;
    } cases[] = {{1, true, 5}, {6, true, 5}, {6.5, true, 5.25}, {10, true, 7}, {10, false, 5}};
    for (const Case& c : cases) {
        g->setStrokeLineWidth(c.width);
        g->setDrawsStroke(c.stroke);
        EXPECT_EQ(g->drawingBounds(),
                  QRectF(100, 100, 50, 40).adjusted(-c.margin, -c.margin, c.margin, c.margin))
            << c.width << " " << c.stroke;
    }
    g->setIsGrouped(true);
    g->setGroupBounds(QRectF(0, 0, 10, 10));
    EXPECT_EQ(g->groupDrawingBounds(), QRectF(-5, -5, 20, 20));
}

TEST(LBGraphicGeometry, ShadowAndReflectionExtents)
{
    auto g = graphicWithBounds(QRectF(100, 100, 100, 40));
    g->setStrokeLineWidth(2);
    const QRectF plain(99, 99, 102, 42); // grown by half the stroke
    EXPECT_EQ(g->shadowDrawingBoundsWithHandles(false), plain);
    EXPECT_EQ(g->shadowDrawingBoundsWithHandles(true), g->drawingBounds());

    // Type 1 with height 3 and radius 3: d = 4.
    g->setShadowInfo(1, 3, 3, 90, 0.25, QColor());
    EXPECT_EQ(g->shadowDrawingBoundsWithHandles(false), QRectF(94.5, 94.5, 110, 50));
    // d = height + radius / 2 in whole numbers: 3 + 5 / 2 = 5.
    g->setShadowInfo(1, 3, 5, -1, -1.0, QColor());
    EXPECT_EQ(g->shadowDrawingBoundsWithHandles(false), QRectF(93.5, 93.5, 112, 52));
    // Other shadow types add nothing.
    g->setShadowInfo(2, -1, -1, -1, -1.0, QColor());
    EXPECT_EQ(g->shadowDrawingBoundsWithHandles(false), plain);
    g->setShadowInfo(0, -1, -1, -1, -1.0, QColor());

    // A reflection to the left extends the rectangle leftwards, truncating to whole points.
    g->setReflectionEnabled(true);
    g->setReflectionHeight(0.5);
    g->setReflectionHOffset(-0.25);
    EXPECT_EQ(g->shadowDrawingBoundsWithHandles(false), QRectF(74, 99, 127, 62));
    g->setReflectionHOffset(0.255); // 25.5 points: 25 to the right
    g->setReflectionVOffset(0.3);   // (0.5 + 0.3) x 40 = 32 down
    EXPECT_EQ(g->shadowDrawingBoundsWithHandles(false), QRectF(99, 99, 127, 74));
    // While its picture is being built, the reflection leaves itself out.
    g->setLoadingReflection(true);
    EXPECT_EQ(g->shadowDrawingBoundsWithHandles(false), plain);
}

TEST(LBGraphicGeometry, FlipKnobTable)
{
    const qint64 horizontal[9] = {0, 3, 2, 1, 5, 4, 8, 7, 6};
    const qint64 vertical[9] = {0, 6, 7, 8, 4, 5, 1, 2, 3};
    for (qint64 knob = 0; knob <= 8; ++knob) {
        EXPECT_EQ(LBGraphic::flipKnob(knob, true), horizontal[knob]) << knob;
        EXPECT_EQ(LBGraphic::flipKnob(knob, false), vertical[knob]) << knob;
        // Mirroring twice gives the knob back.
        EXPECT_EQ(LBGraphic::flipKnob(LBGraphic::flipKnob(knob, true), true), knob);
        EXPECT_EQ(LBGraphic::flipKnob(LBGraphic::flipKnob(knob, false), false), knob);
    }
    // Knobs that are not resize knobs stay as they are.
    for (qint64 knob : {9, 10, 12, 15, 100, -1}) {
        EXPECT_EQ(LBGraphic::flipKnob(knob, true), knob);
        EXPECT_EQ(LBGraphic::flipKnob(knob, false), knob);
    }
}

TEST(LBGraphicGeometry, ACopyOfAMirroredCropShowsTheSameCrop)
{
    struct Case
    {
        bool horizontal;
        bool vertical;
    };
    for (const Case c : {Case{true, false}, Case{false, true}, Case{true, true}}) {
        auto g = std::make_shared<ProbeGraphic>();
        g->setBounds(QRectF(0, 0, 100, 100));
        g->setImage(fakeImage(), LBGraphic::FillImageType);
        g->setCropImageBounds(QRectF(10, 20, 30, 40), QRectF(0, 0, 100, 100));
        g->setFlippedHorizontally(c.horizontal);
        g->setFlippedVertically(c.vertical);

        auto copy = std::static_pointer_cast<ProbeGraphic>(g->copy());
        QRectF image, shape, copiedImage, copiedShape;
        g->getCropImageBounds(&image, &shape);
        copy->getCropImageBounds(&copiedImage, &copiedShape);
        EXPECT_EQ(copiedImage, image) << c.horizontal << c.vertical;
        EXPECT_EQ(copiedShape, shape);
        EXPECT_EQ(copy->_fillImageFlippedHorizontally, g->_fillImageFlippedHorizontally);
        EXPECT_EQ(copy->_fillImageFlippedVertically, g->_fillImageFlippedVertically);
        EXPECT_EQ(copy->flippedHorizontally(), c.horizontal);
        EXPECT_EQ(copy->flippedVertically(), c.vertical);
    }
}

TEST(LBGraphicGeometry, FlipsMirrorTheFillPictureAndItsCrop)
{
    RecordingDocument doc;
    auto g = std::make_shared<ProbeGraphic>();
    g->setDocument(&doc);
    doc.quietly([&] {
        g->setBounds(QRectF(0, 0, 100, 100));
        g->setIsPlaceholder(true);
        g->setCropImageBounds(QRectF(10, 20, 30, 40), QRectF(0, 0, 100, 100));
    });

    doc.step([&] { g->flipHorizontally(); });
    EXPECT_TRUE(g->flippedHorizontally());
    EXPECT_TRUE(g->_fillImageFlippedHorizontally);
    QRectF image;
    g->getCropImageBounds(&image, nullptr);
    EXPECT_EQ(image, QRectF(60, 20, 30, 40));

    doc.step([&] { g->flipVertically(); });
    EXPECT_TRUE(g->_fillImageFlippedVertically);
    g->getCropImageBounds(&image, nullptr);
    EXPECT_EQ(image, QRectF(60, 40, 30, 40));

    doc.undo();
    doc.undo();
    EXPECT_FALSE(g->flippedHorizontally());
    EXPECT_FALSE(g->flippedVertically());
    EXPECT_FALSE(g->_fillImageFlippedHorizontally);
    EXPECT_FALSE(g->_fillImageFlippedVertically);
    g->getCropImageBounds(&image, nullptr);
    EXPECT_EQ(image, QRectF(10, 20, 30, 40));

    // Without a fill picture only the flag changes.
    auto plain = std::make_shared<ProbeGraphic>();
    plain->setCropImageBounds(QRectF(10, 20, 30, 40), QRectF(0, 0, 100, 100));
    plain->flipHorizontally();
    EXPECT_FALSE(plain->_fillImageFlippedHorizontally);
    plain->getCropImageBounds(&image, nullptr);
    EXPECT_EQ(image, QRectF(10, 20, 30, 40));
}

TEST(LBGraphicGeometry, ConstrainedEffectKnobDragKeepsToOneAxis)
{
    RecordingDocument doc;
    auto g = std::make_shared<ProbeGraphic>();
    g->setDocument(&doc);
    doc.quietly([&] {
        g->setBounds(QRectF(0, 0, 100, 100));
        g->addEffect(32, 0, 0, 0, 0, 0, 0, QPointF(0, 1), QPointF(0.5, 0.5), QPointF(0, 0),
                     QPointF(1, 0), QColor(), false);
        g->setEffectLocationKnobType(2, 0);
    });

    g->saveOriginalEffectLocations();
    // Locations measure y up from the bottom edge; knobs sit in the y-down page.
    EXPECT_EQ(g->_origEffectLocation0, QPointF(0, 0));
    EXPECT_EQ(g->_origEffectLocation1, QPointF(50, 50));

    doc.step([&] { EXPECT_EQ(g->moveEffectKnob(13, QPointF(80, 55), true), 13); });
    EXPECT_EQ(g->effectDictionaryAtIndex(0).value("location1").toString(),
              QStringLiteral("{0.8, 0.5}"));
    // A mostly vertical move keeps x; a tie moves horizontally.
    doc.step([&] { g->moveEffectKnob(13, QPointF(55, 80), true); });
    EXPECT_EQ(g->effectDictionaryAtIndex(0).value("location1").toString(),
              QStringLiteral("{0.5, 0.2}"));
    doc.step([&] { g->moveEffectKnob(13, QPointF(60, 60), true); });
    EXPECT_EQ(g->effectDictionaryAtIndex(0).value("location1").toString(),
              QStringLiteral("{0.6, 0.5}"));
    // Points outside the bounds are pinned to the edge.
    doc.step([&] { g->moveEffectKnob(12, QPointF(-20, 150), false); });
    EXPECT_EQ(g->effectDictionaryAtIndex(0).value("location0").toString(),
              QStringLiteral("{0, 0}"));
    // A knob that is not an effect knob stores nothing.
    doc.undoManager()->removeAllActions();
    doc.step([&] { EXPECT_EQ(g->moveEffectKnob(11, QPointF(10, 10), false), 11); });
    EXPECT_FALSE(doc.canUndo());

    // Undo restores the earlier location.
    doc.step([&] { g->moveEffectKnob(13, QPointF(100, 0), false); });
    doc.undo();
    EXPECT_EQ(g->effectDictionaryAtIndex(0).value("location1").toString(),
              QStringLiteral("{0.6, 0.5}"));

    // In a crop, y runs down from the top edge.
    g->_imageFilePath = QStringLiteral("/tmp/photo.jpg");
    g->saveOriginalEffectLocations();
    EXPECT_EQ(g->_origEffectLocation1, QPointF(60, 50));
    doc.step([&] { g->moveEffectKnob(13, QPointF(60, 20), false); });
    EXPECT_EQ(g->effectDictionaryAtIndex(0).value("location1").toString(),
              QStringLiteral("{0.6, 0.2}"));
}

TEST(LBGraphicGeometry, PinPoint)
{
    const QRectF r(10, 20, 30, 40);
    EXPECT_EQ(LBGraphic::pinPoint(QPointF(0, 100), r), QPointF(10, 60));
    EXPECT_EQ(LBGraphic::pinPoint(QPointF(50, 0), r), QPointF(40, 20));
    EXPECT_EQ(LBGraphic::pinPoint(QPointF(15, 25), r), QPointF(15, 25));
}

TEST(LBGraphicGeometry, NaturalSizeIsTheSquareOfTheShorterSide)
{
    RecordingDocument doc;
    auto g = std::make_shared<LBGraphic>();
    g->setDocument(&doc);
    doc.quietly([&] { g->setBounds(QRectF(10, 10, 200, 50)); });
    doc.step([&] { g->makeNaturalSize(); });
    EXPECT_EQ(g->bounds(), QRectF(10, 10, 50, 50));
    doc.undo();
    EXPECT_EQ(g->bounds(), QRectF(10, 10, 200, 50));

    doc.quietly([&] { g->setBounds(QRectF(10, 10, 30, 80)); });
    doc.step([&] { g->makeNaturalSize(); });
    EXPECT_EQ(g->bounds(), QRectF(10, 10, 30, 30));
}

TEST(LBGraphicGeometry, ZoomRescalesTheShadowAndIsNotUndoable)
{
    RecordingDocument doc;
    auto g = std::make_shared<LBGraphic>();
    g->setDocument(&doc);
    doc.quietly([&] { g->setShadowInfo(1, 4, 6, 180, -1.0, QColor()); });
    NotificationCounter changes(LBGraphicDidChange, g.get());
    doc.step([&] { g->setZoomFactor(0.5); });
    EXPECT_FALSE(doc.canUndo());
    EXPECT_EQ(changes.count, 0);
    EXPECT_NEAR(g->shadow()->offset.width(), 2.0, 1e-4);
    EXPECT_EQ(g->shadow()->blurRadius, 3.0);

    // From a zero zoom the shadow is built again rather than scaled.
    g->setZoomFactor(0);
    g->setZoomFactor(2);
    EXPECT_NEAR(g->shadow()->offset.width(), 8.0, 1e-4);
    EXPECT_EQ(g->shadow()->blurRadius, 12.0);
}

TEST(LBGraphicGeometry, CroppedImageSize)
{
    auto g = std::make_shared<LBGraphic>();
    g->setBounds(QRectF(0, 0, 50, 40));
    // No crop yet: nothing to size.
    EXPECT_EQ(g->croppedImageSizeForZoomFactor(2), QSizeF());
    g->setCropImageBounds(QRectF(0, 0, 300, 200), QRectF(0, 0, 100, 80));
    EXPECT_EQ(g->croppedImageSizeForZoomFactor(2), QSizeF(300, 200));
}
