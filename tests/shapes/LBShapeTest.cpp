// The shape base: text along the outline, adding and removing it, copies, the hit test of
// unfilled shapes, the shape factory; and the fixed outlines' own rules (natural size,
// turned bounds) and the free path shape.

#include "MessageLog.h"
#include "ShapeTestSupport.h"
#include "TestFont.h"

#include "geometry/LBPathGeometry.h"
#include "platform/core/Archive.h"
#include "platform/core/TextForms.h"
#include "shapes/LBBezierPath.h"
#include "shapes/LBCircle.h"
#include "shapes/LBModifiedShape.h"
#include "shapes/LBRectangle.h"
#include "shapes/LBRoundedRect.h"
#include "shapes/LBSemiCircle.h"
#include "shapes/ShapeFactory.h"

#include <QTransform>

#include <gtest/gtest.h>

using platform::AttributedString;
using platform::BezierPath;

namespace {

AttributedString text(const QString& string, double size = 12)
{
    return AttributedString(string, {{platform::FontAttributeName, testFont(size)}});
}

// Whether inner lies within outer, allowing for the corners of upright glyphs that stand
// on a curve, which reach a little past the glyphs' own height.
bool within(const QRectF& inner, const QRectF& outer)
{
    return outer.adjusted(-0.25, -0.25, 0.25, 0.25).contains(inner);
}

} // namespace

TEST(LBShape, TextIsLaidAlongTheOutlineInsideUnchangedBounds)
{
    const QRectF b(10, 20, 100, 100);
    const auto circle = makeShape<LBCircle>(b);
    EXPECT_FALSE(circle->isShapeWithText());
    EXPECT_FALSE(circle->isEditable());
    circle->addTextToShape(text(QStringLiteral("Around the circle")));
    ASSERT_TRUE(circle->isShapeWithText());
    EXPECT_TRUE(circle->isEditable());
    EXPECT_FALSE(circle->isTextBox());
    EXPECT_TRUE(circle->isShape());

    const std::optional<BezierPath> glyphs = circle->bezierPath();
    ASSERT_TRUE(glyphs);
    EXPECT_GT(glyphs->elementCount(), 50);
    EXPECT_TRUE(within(glyphs->bounds(), b))
        << platform::stringFromRect(glyphs->bounds()).toStdString();
    EXPECT_EQ(circle->bounds(), b); // exactly: nothing moved
    // The glyphs stand on the circle built that far inside: they reach close to the bounds.
    EXPECT_LT(glyphs->bounds().right(), b.right());
    EXPECT_GT(glyphs->bounds().right(), b.right() - 3);

    // The text path is the same in the shape's own coordinates.
    const std::optional<BezierPath> own = circle->textPath();
    ASSERT_TRUE(own);
    EXPECT_EQ(elementsText(*own),
              elementsText(glyphs->transformed(QTransform::fromTranslate(-10, -20))));
}

TEST(LBShape, TextStartsAtTheOffsetAndRunsAlongTheReversedOutline)
{
    // The circle's outline starts at its rightmost point and runs downwards on the screen.
    const auto centreOf = [](double offset, bool reverse) {
        const auto circle = makeShape<LBCircle>({0, 0, 200, 200});
        circle->setShapeWithTextXLoc(offset);
        circle->setShapeWithTextReverse(reverse);
        circle->addTextToShape(text(QStringLiteral("IIII")));
        return circle->bezierPath()->bounds().center();
    };
    const QPointF start = centreOf(0.0, false);
    EXPECT_GT(start.x(), 180);
    EXPECT_GT(start.y(), 100); // below the start point
    const QPointF halfway = centreOf(0.5, false);
    EXPECT_LT(halfway.x(), 20);
    EXPECT_LT(halfway.y(), 100); // going up on the left side
    const QPointF reversed = centreOf(0.0, true);
    EXPECT_GT(reversed.x(), 180);
    EXPECT_LT(reversed.y(), 100); // above the start point

    // Text too tall for the shape: the outline is built in the smallest bounds, and the
    // bounds themselves stay exactly as they were.
    const auto small = makeShape<LBCircle>({5, 5, 20, 20});
    small->addTextToShape(text(QStringLiteral("Big"), 24));
    for (int i = 0; i < 3; ++i)
        small->bezierPath();
    EXPECT_EQ(small->bounds(), QRectF(5, 5, 20, 20));
}

TEST(LBShape, AnEmptyTextStillCountsAndDrawsNothing)
{
    const auto shape = makeShape<LBRectangle>({0, 0, 100, 50});
    shape->setContents(QString(""));
    EXPECT_TRUE(shape->isShapeWithText());
    const std::optional<BezierPath> path = shape->bezierPath();
    ASSERT_TRUE(path);
    EXPECT_TRUE(path->isEmpty());
    // No outline to lay text on: nothing, not a crash.
    const auto plain = makeShape<LBShape>({0, 0, 100, 50});
    plain->addTextToShape();
    EXPECT_TRUE(plain->bezierPath()->isEmpty());
    EXPECT_FALSE(plain->shapeBezierPath());
}

TEST(LBShape, AddingAndRemovingTextUndoEachOther)
{
    RecordingDocument document;
    const auto shape = shapeInDocument<LBRectangle>(document, {0, 0, 100, 50});
    document.step([&] { shape->addTextToShape(); });
    ASSERT_TRUE(shape->contents());
    EXPECT_EQ(shape->contents()->string(), "Text");
    const AttributedString added = shape->contents()->attributedString();
    EXPECT_EQ(added.attribute(platform::ForegroundColorAttributeName, 0), QColor(Qt::black));
    EXPECT_EQ(added.attribute(platform::FontAttributeName, 0).value<QFont>().pointSizeF(), 12.0);

    document.undo();
    EXPECT_FALSE(shape->isShapeWithText());
    document.redo();
    ASSERT_TRUE(shape->contents());
    EXPECT_EQ(shape->contents()->string(), "Text");

    document.step([&] { shape->removeTextFromShape(); });
    EXPECT_FALSE(shape->contents());
    document.undo();
    ASSERT_TRUE(shape->contents());
    EXPECT_EQ(shape->contents()->string(), "Text");

    // The start and the direction stay when the text goes, and are undoable.
    document.step([&] { shape->setShapeWithTextXLoc(0.3); });
    document.step([&] { shape->setShapeWithTextReverse(true); });
    document.step([&] { shape->removeTextFromShape(); });
    EXPECT_EQ(shape->shapeWithTextXLoc(), 0.3);
    EXPECT_TRUE(shape->shapeWithTextReverse());
    document.undo();
    document.undo();
    document.undo();
    EXPECT_EQ(shape->shapeWithTextXLoc(), 0.0);
    EXPECT_FALSE(shape->shapeWithTextReverse());
}

TEST(LBShape, CopiesKeepTextStartDirectionAndClass)
{
    const auto shape = makeShape<LBRoundedRect>({0, 0, 100, 50}, 2);
    shape->setShapeWithTextXLoc(0.4);
    shape->setShapeWithTextReverse(true);
    shape->addTextToShape(text(QStringLiteral("Copied")));
    const auto copy = std::dynamic_pointer_cast<LBRoundedRect>(shape->copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->shapeWithTextXLoc(), 0.4);
    EXPECT_TRUE(copy->shapeWithTextReverse());
    ASSERT_TRUE(copy->contents());
    EXPECT_NE(copy->contents(), shape->contents()); // its own text
    EXPECT_EQ(copy->contents()->string(), "Copied");
    EXPECT_EQ(elementsText(copy->bezierPath()), elementsText(shape->bezierPath()));
}

TEST(LBShape, AnUnfilledShapeIsHitNearItsStrokeOnly)
{
    struct Case
    {
        const char* what;
        std::function<void(LBRectangle&)> setUp;
        QPointF point;
        bool hit;
    };
    // The outline of a 1-point stroke lies half a point inside the bounds.
    const Case cases[] = {
        {"5 points inside the top edge", {}, {50, 5.5}, true},
        {"8 points inside the top edge", {}, {50, 8.5}, false},
        {"5 points outside the top edge", {}, {50, -4.5}, true},
        {"8 points outside, beyond the reach", {}, {50, -7.5}, false},
        {"the middle of an unfilled shape", {}, {50, 50}, false},
        {"the middle of a filled shape", [](LBRectangle& s) { s.setFillType(1); }, {50, 50}, true},
        {"a filled shape outside its outline",
         [](LBRectangle& s) { s.setFillType(1); },
         {50, -4.5},
         false},
        {"a placeholder anywhere inside",
         [](LBRectangle& s) { s.setIsPlaceholder(true); },
         {50, 50},
         true},
        {"a colour mask fills the inside",
         [](LBRectangle& s) { s.setColorMaskType(1, -1, -1, -1, -1, -1); },
         {50, 50},
         true},
        {"a turned shape in the middle",
         [](LBRectangle& s) { s.setRotation(45); },
         {50, 50},
         false},
        {"a wide stroke reaches further",
         [](LBRectangle& s) { s.setStrokeLineWidth(8); },
         {50, 13},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto shape = makeShape<LBRectangle>({0, 0, 100, 100}, 1, c.setUp);
        EXPECT_EQ(shape->hitTest(c.point, false, nullptr), c.hit);
    }
    // A turned shape is hit near its turned outline.
    const auto bar = makeShape<LBRectangle>({0, 30, 100, 40}, 1);
    EXPECT_FALSE(bar->hitTest({50, 3}, false, nullptr));
    bar->setRotation(90);
    EXPECT_TRUE(bar->hitTest({50, 3}, false, nullptr));
    EXPECT_FALSE(bar->hitTest({5, 50}, false, nullptr));
    // A knob of a selected shape is hit, however far from the outline.
    const auto circle = makeShape<LBCircle>({0, 0, 100, 100}, 1);
    EXPECT_FALSE(circle->hitTest({100, 100}, false, nullptr));
    EXPECT_TRUE(circle->hitTest({100, 100}, true, nullptr));
    // The shape being cropped is hit as every graphic is: inside.
    const auto cropped = makeShape<LBRectangle>({0, 0, 100, 100}, 1);
    EXPECT_TRUE(cropped->hitTest({50, 50}, false, cropped.get()));
}

TEST(ShapeFactory, MakesShapesByNameWithTheirVariantAndSettings)
{
    ShapeSettings settings;
    settings.strokeColor = Qt::blue;
    settings.strokeLineWidth = 3;
    settings.fillType = 1;
    settings.fillColor = Qt::yellow;
    settings.zoomFactor = 2;
    settings.bounds = QRectF(10, 20, 100, 40);

    const LBShapePtr rounded =
        createShapeOfClass(QStringLiteral("LBRoundedRect"), LBRoundedRect::RoundedEnds, settings);
    ASSERT_TRUE(std::dynamic_pointer_cast<LBRoundedRect>(rounded));
    const auto adjustable = std::static_pointer_cast<LBModifiedShape>(rounded);
    EXPECT_EQ(adjustable->alternateShape(), 1);
    EXPECT_EQ(adjustable->modifier1(), 0.5);
    EXPECT_EQ(rounded->knobMask(), 0xff);
    EXPECT_TRUE(rounded->drawsStroke());
    EXPECT_EQ(rounded->strokeColor(), QColor(Qt::blue));
    EXPECT_EQ(rounded->strokeLineWidth(), 3.0);
    EXPECT_EQ(rounded->fillType(), 1);
    EXPECT_EQ(rounded->fillColor(), QColor(Qt::yellow));
    EXPECT_EQ(rounded->zoomFactor(), 2.0);
    EXPECT_EQ(rounded->bounds(), QRectF(10, 20, 100, 40));
    EXPECT_FALSE(rounded->document());

    // A shape without variants takes the rest; a stroke colour turns the stroke on, as it
    // does whenever it is set after the flag.
    settings.drawsStroke = false;
    const LBShapePtr circle = createShapeOfClass(QStringLiteral("LBCircle"), 1, settings);
    ASSERT_TRUE(std::dynamic_pointer_cast<LBCircle>(circle));
    EXPECT_TRUE(circle->drawsStroke());
    settings.strokeColor = QColor();
    EXPECT_FALSE(createShapeOfClass(QStringLiteral("LBCircle"), 0, settings)->drawsStroke());

    // Shape classes only.
    MessageLog log;
    EXPECT_FALSE(createShapeOfClass(QStringLiteral("LBTextArea"), 0, settings));
    EXPECT_FALSE(createShapeOfClass(QStringLiteral("LBNothing"), 0, settings));
    EXPECT_FALSE(createShapeOfClass(QStringLiteral("Circle"), 0, settings));
    EXPECT_EQ(log.messages.size(), 3);
}

TEST(FixedShapes, SemicircleNaturalSizeIsTwiceAsWideAsHigh)
{
    struct Case
    {
        QRectF from, to;
    };
    const Case cases[] = {
        {{5, 6, 100, 80}, {5, 6, 100, 50}},
        {{5, 6, 100, 30}, {5, 6, 60, 30}},
        {{5, 6, 100, 50}, {5, 6, 100, 50}},
    };
    for (const Case& c : cases) {
        RecordingDocument document;
        const auto semicircle = shapeInDocument<LBSemiCircle>(document, c.from);
        document.step([&] { semicircle->makeNaturalSize(); });
        EXPECT_EQ(semicircle->bounds(), c.to);
        EXPECT_EQ(document.canUndo(), c.from != c.to);
    }
}

TEST(FixedShapes, ATurnedCircleReportsTheTightBoundsOfTheTurnedEllipse)
{
    const auto circle = makeShape<LBCircle>({0, 0, 100, 50});
    EXPECT_EQ(circle->rotatedBounds(), QRectF(0, 0, 100, 50));
    circle->setRotation(45);
    const QRectF tight = circle->rotatedBounds();
    // Half-axes 50 and 25 turned by 45 degrees: sqrt((50² + 25²) / 2) either side.
    const double half = std::sqrt((2500.0 + 625.0) / 2.0);
    EXPECT_NEAR(tight.width(), 2 * half, 0.5);
    EXPECT_NEAR(tight.height(), 2 * half, 0.5);
    EXPECT_NEAR(tight.center().x(), 50, 1e-6);
    EXPECT_LT(tight.width(), circle->rotatedDrawingBounds().width() - 20);
}

TEST(LBBezierPath, ThePathIsMovedAndStretchedToTheBounds)
{
    BezierPath triangle;
    triangle.moveTo({0, 0});
    triangle.lineTo({10, 0});
    triangle.lineTo({0, 20});
    triangle.closePath();

    struct Case
    {
        const char* what;
        QRectF origBounds, bounds;
        const char* elements;
    };
    const Case cases[] = {
        {"the same size: moved only",
         {3, 4, 10, 20},
         {100, 50, 10, 20},
         "M 100 50 L 110 50 L 100 70 Z"},
        {"twice as wide: stretched from the top left",
         {0, 0, 10, 20},
         {100, 50, 20, 20},
         "M 100 50 L 120 50 L 100 70 Z"},
        {"no original width: that side unstretched",
         {0, 0, 0, 20},
         {100, 50, 30, 40},
         "M 100 50 L 110 50 L 100 90 Z"},
        {"no original size at all", {}, {100, 50, 30, 40}, "M 100 50 L 110 50 L 100 70 Z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto shape = makeShape<LBBezierPath>(c.bounds, 2);
        shape->setPath(triangle);
        shape->setOrigBounds(c.origBounds);
        const std::optional<BezierPath> outline = shape->shapeBezierPath();
        ASSERT_TRUE(outline);
        EXPECT_EQ(elementsText(*outline), QString::fromLatin1(c.elements));
        EXPECT_EQ(outline->lineWidth(), 2.0);
    }

    // The graphic's dash, at phase 0; copies keep path and original bounds; never edited.
    const auto shape = makeShape<LBBezierPath>({0, 0, 10, 20}, 2);
    shape->setPath(triangle);
    shape->setOrigBounds({0, 0, 10, 20});
    shape->setLineDash({3, 1, 0, 0}, 2);
    EXPECT_EQ(shape->shapeBezierPath()->lineDash(), QList<qreal>({6, 2}));
    const auto copy = std::static_pointer_cast<LBBezierPath>(shape->copy());
    EXPECT_EQ(copy->path(), shape->path());
    EXPECT_EQ(copy->origBounds(), QRectF(0, 0, 10, 20));
    shape->addTextToShape();
    EXPECT_FALSE(shape->isEditable());
}

TEST(LBBezierPath, HitAnywhereInTheOutlinesBox)
{
    BezierPath triangle;
    triangle.moveTo({0, 0});
    triangle.lineTo({10, 0});
    triangle.lineTo({0, 10});
    triangle.closePath();
    const auto shape = makeShape<LBBezierPath>({100, 100, 10, 10});
    shape->setPath(triangle);
    shape->setOrigBounds({0, 0, 10, 10});
    EXPECT_TRUE(shape->hitTest({109, 109}, false, nullptr));  // outside the outline itself
    EXPECT_FALSE(shape->hitTest({110, 105}, false, nullptr)); // the far edges are out
    EXPECT_FALSE(shape->hitTest({99, 105}, false, nullptr));
    shape->setRotation(45);
    EXPECT_TRUE(shape->hitTest({112, 105}, false, nullptr)); // in the turned box

    // Without a path: nothing drawn, hit by the bounds.
    const auto empty = makeShape<LBBezierPath>({0, 0, 50, 50});
    EXPECT_FALSE(empty->shapeBezierPath());
    EXPECT_TRUE(empty->hitTest({25, 25}, false, nullptr));
    EXPECT_FALSE(empty->hitTest({60, 25}, false, nullptr));
}
