// The outlines of the adjustable and fixed shapes: one table of element lists for given
// bounds, stroke and modifiers, then the outline frame's stroke width and dash.

#include "ShapeTestSupport.h"

#include "shapes/LBArcEndRect.h"
#include "shapes/LBArrow.h"
#include "shapes/LBArrowHead.h"
#include "shapes/LBCircle.h"
#include "shapes/LBCloud.h"
#include "shapes/LBCross.h"
#include "shapes/LBDiamond.h"
#include "shapes/LBFlowDocument.h"
#include "shapes/LBGear.h"
#include "shapes/LBIsocelesTrapezoid.h"
#include "shapes/LBOneRoundCorner.h"
#include "shapes/LBPolygon.h"
#include "shapes/LBRectangle.h"
#include "shapes/LBReverseRoundedRect.h"
#include "shapes/LBReverseTwoRoundCorner.h"
#include "shapes/LBRightTriangle.h"
#include "shapes/LBRoundedRect.h"
#include "shapes/LBSemiCircle.h"
#include "shapes/LBSpeechBubble.h"
#include "shapes/LBStar.h"
#include "shapes/LBStarPolygon.h"
#include "shapes/LBThreeRoundCorner.h"
#include "shapes/LBTriangle.h"
#include "shapes/LBTwoRoundCorner.h"
#include "shapes/LBTwoRoundCorner2.h"
#include "shapes/LBWedge.h"

#include <gtest/gtest.h>

namespace {

struct OutlineCase
{
    const char* what;
    LBShapePtr shape;
    const char* elements;
    double lineWidth;
};

template <typename T>
LBShapePtr outline(const QRectF& bounds, double stroke, const std::function<void(T&)>& setUp = {})
{
    return makeShape<T>(bounds, stroke, setUp);
}

} // namespace

TEST(ShapeOutlines, ElementListsForBoundsStrokeAndModifiers)
{
    // Coordinates in hundredths of a point; curves list both control points, then the end.
    const OutlineCase cases[] = {
        {"polygon of 3 sides: apex on the top edge, base at three quarters",
         outline<LBPolygon>({0, 0, 100, 100}, 0, [](LBPolygon& s) { s.setModifier1(3); }),
         "M 6.7 75 L 93.3 75 L 50 0 Z", 0},
        {"polygon of 4 sides: a square with level edges, corners on the circle",
         outline<LBPolygon>({0, 0, 100, 100}, 4, [](LBPolygon& s) { s.setModifier1(4); }),
         "M 16.06 83.94 L 83.94 83.94 L 83.94 16.06 L 16.06 16.06 Z", 4},
        {"rounded rectangle 100 x 40 at 0.5: half circles of radius 20 at the ends",
         outline<LBRoundedRect>({0, 0, 100, 40}, 0, [](LBRoundedRect& s) { s.setModifier1(0.5); }),
         "M 0 20 L 0 20 C 0 8.95 8.95 0 20 0 L 80 0 L 80 0 C 91.05 0 100 8.95 100 20 L 100 20 L "
         "100 20 C 100 31.05 91.05 40 80 40 L 20 40 L 20 40 C 8.95 40 0 31.05 0 20 Z",
         1},
        {"one round corner",
         outline<LBOneRoundCorner>({0, 0, 100, 50}, 0,
                                   [](LBOneRoundCorner& s) { s.setModifier1(0.2); }),
         "M 0 0 L 90 0 L 90 0 C 95.52 0 100 4.48 100 10 L 100 50 L 0 50 Z", 1},
        {"two round corners",
         outline<LBTwoRoundCorner>({0, 0, 100, 50}, 0,
                                   [](LBTwoRoundCorner& s) { s.setModifier1(0.2); }),
         "M 0 10 L 0 10 C 0 4.48 4.48 0 10 0 L 90 0 L 90 0 C 95.52 0 100 4.48 100 10 L 100 50 L 0 "
         "50 Z",
         1},
        {"two round corners across",
         outline<LBTwoRoundCorner2>({0, 0, 100, 50}, 0,
                                    [](LBTwoRoundCorner2& s) { s.setModifier1(0.2); }),
         "M 0 0 L 90 0 L 90 0 C 95.52 0 100 4.48 100 10 L 100 50 L 10 50 L 10 50 C 4.48 50 0 45.52 "
         "0 40 Z",
         1},
        {"three round corners",
         outline<LBThreeRoundCorner>({0, 0, 100, 50}, 0,
                                     [](LBThreeRoundCorner& s) { s.setModifier1(0.2); }),
         "M 0 0 L 90 0 L 90 0 C 95.52 0 100 4.48 100 10 L 100 40 L 100 40 C 100 45.52 95.52 50 90 "
         "50 L 10 50 L 10 50 C 4.48 50 0 45.52 0 40 Z",
         1},
        {"four notched corners",
         outline<LBReverseRoundedRect>({0, 0, 100, 50}, 0,
                                       [](LBReverseRoundedRect& s) { s.setModifier1(0.2); }),
         "M 0 10 L 0 10 C 5.52 10 10 5.52 10 0 L 90 0 L 90 0 C 90 5.52 94.48 10 100 10 L 100 40 L "
         "100 40 C 94.48 40 90 44.48 90 50 L 10 50 L 10 50 C 10 44.48 5.52 40 0 40 Z",
         1},
        {"two notched corners",
         outline<LBReverseTwoRoundCorner>({0, 0, 100, 50}, 0,
                                          [](LBReverseTwoRoundCorner& s) { s.setModifier1(0.2); }),
         "M 0 0 L 90 0 L 90 0 C 90 5.52 94.48 10 100 10 L 100 50 L 10 50 L 10 50 C 10 44.48 5.52 "
         "40 0 40 Z",
         1},
        {"cross, arms half the shorter side thick", outline<LBCross>({0, 0, 100, 60}, 0),
         "M 35 0 L 65 0 L 65 15 L 100 15 L 100 45 L 65 45 L 65 60 L 35 60 L 35 45 L 0 45 L 0 15 L "
         "35 15 Z",
         1},
        {"star variant 1: radii 50 and 0.6/pi x 100, first line to the left",
         outline<LBStarPolygon>(
             {0, 0, 100, 100}, 0,
             [](LBStarPolygon& s) { s.setAlternateShape(LBStarPolygon::ClassicStar); }),
         "M 50 0 L 38.77 34.55 L 2.45 34.55 L 31.84 55.9 L 20.61 90.45 L 50 69.1 L 79.39 90.45 L "
         "68.16 55.9 L 97.55 34.55 L 61.23 34.55 L 50 0 Z",
         1},
        {"star of 4 points inset one and a half strokes",
         outline<LBStarPolygon>({0, 0, 100, 100}, 2, [](LBStarPolygon& s) { s.setModifier1(4.5); }),
         "M 50 3 L 33.38 33.38 L 3 50 L 33.38 66.62 L 50 97 L 66.62 66.62 L 97 50 L 66.62 33.38 L "
         "50 3 Z",
         2},
        {"rectangle with bulging ends", outline<LBArcEndRect>({0, 0, 100, 40}, 0),
         "M 10 0 L 90 0 C 100 10 100 30 90 40 L 10 40 C 0 30 0 10 10 0 Z", 0},
        {"gear of 3.9 teeth draws three",
         outline<LBGear>({0, 0, 100, 100}, 0, [](LBGear& s) { s.setModifier1(3.9); }),
         "M 100 50 L 71.65 37.5 L 62.5 28.35 L 50 0 L 25 6.7 L 28.35 37.5 L 25 50 L 6.7 75 L 25 "
         "93.3 L 50 75 L 62.5 71.65 L 93.3 75 L 100 50 Z",
         0},
        {"wedge starting at 450 starts at the top like 90",
         outline<LBWedge>({0, 0, 100, 100}, 0, [](LBWedge& s) { s.setModifier1(450); }),
         "M 50 50 L 50 0 C 77.61 0 100 22.39 100 50 Z", 0},
        {"wedge of 270 degrees from 120, inset a whole stroke",
         outline<LBWedge>({0, 0, 100, 100}, 2,
                          [](LBWedge& s) {
                              s.setModifier1(120);
                              s.setModifier2(270);
                          }),
         "M 50 50 L 26 8.43 C 48.96 -4.82 78.31 3.04 91.57 26 C 104.82 48.96 96.96 78.31 74 91.57 "
         "C 51.04 104.82 21.69 96.96 8.43 74 Z",
         2},
        {"isosceles trapezoid inset a whole stroke",
         outline<LBIsocelesTrapezoid>({0, 0, 100, 50}, 2), "M 2 48 L 98 48 L 74 2 L 26 2 Z", 2},
        {"arrow head pointing up", outline<LBArrowHead>({0, 0, 100, 100}, 0),
         "M 0 100 L 50 0 L 100 100 L 50 75 Z", 1},
        {"arrow head pointing left",
         outline<LBArrowHead>({0, 0, 200, 100}, 2, [](LBArrowHead& s) { s.setAngle(90); }),
         "M 198 98 L 2 50 L 198 2 L 149 50 Z", 2},
        {"arrow head pointing down",
         outline<LBArrowHead>({0, 0, 100, 100}, 0, [](LBArrowHead& s) { s.setAngle(180); }),
         "M 0 0 L 50 100 L 100 0 L 50 25 Z", 1},
        {"arrow head pointing right",
         outline<LBArrowHead>({0, 0, 100, 100}, 0, [](LBArrowHead& s) { s.setAngle(270); }),
         "M 0 0 L 100 50 L 0 100 L 25 50 Z", 1},
        {"arrow pointing right", outline<LBArrow>({0, 0, 100, 50}, 0),
         "M 0 15 L 60 15 L 60 0 L 100 25 L 60 50 L 60 35 L 0 35 Z", 1},
        {"double-headed arrow",
         outline<LBArrow>({0, 0, 100, 50}, 0,
                          [](LBArrow& s) { s.setAlternateShape(LBArrow::DoubleHeaded); }),
         "M 0 25 L 40 0 L 40 15 L 60 15 L 60 0 L 100 25 L 60 50 L 60 35 L 40 35 L 40 50 Z", 1},
        {"circle: the oval in the inset bounds", outline<LBCircle>({10, 20, 100, 50}, 2),
         "M 109 45 C 109 58.25 87.06 69 60 69 C 32.94 69 11 58.25 11 45 C 11 31.75 32.94 21 60 21 "
         "C 87.06 21 109 31.75 109 45 Z",
         2},
        {"rectangle, closed once", outline<LBRectangle>({10, 20, 100, 50}, 2),
         "M 11 21 L 109 21 L 109 69 L 11 69 Z", 2},
        {"diamond", outline<LBDiamond>({0, 0, 100, 60}, 0), "M 50 0 L 100 30 L 50 60 L 0 30 Z", 1},
        {"semicircle touching the top edge", outline<LBSemiCircle>({0, 0, 90, 60}, 0),
         "M 0 60 L 90 60 C 90 -20 0 -20 0 60 Z", 1},
        {"flow-chart document", outline<LBFlowDocument>({0, 0, 100, 80}, 0),
         "M 0 0 L 100 0 L 100 60 C 50 53.33 50 90 0 70 Z", 0},
        {"star with a stroke of 10: corners on the circle of radius 45, top 5 below the top",
         outline<LBStar>({0, 0, 100, 100}, 10),
         "M 92.8 36.09 L 7.2 36.09 L 76.45 86.41 L 50 5 L 23.55 86.41 Z", 10},
        {"cloud", outline<LBCloud>({0, 0, 160, 80}, 0),
         "M 20 40 C 0 35 0 0 53.33 10 C 60 0 100 0 105.6 10 C 140 0 160 30 140 35 C 160 50 160 75 "
         "120 70 C 106.67 80 80 80 70 70 C 40 80 0 53.33 20 40 Z",
         0},
        {"speech bubble around the bounds", outline<LBSpeechBubble>({19, 29, 102, 52}, 2),
         "M 19 74 L 19 74 C 19 78.97 14.97 83 10 83 L 10 27 L 10 27 C 14.97 27 19 31.03 19 36 L "
         "121 36 L 121 36 C 121 31.03 125.03 27 130 27 L 130 83 L 130 83 C 130 79.67 128.16 76.62 "
         "125.23 75.05 C 124.23 71.05 132.73 66.55 132.73 66.55 C 123.5 65 116 74 116 74 Z",
         2},
        {"triangle pointing up inset a whole stroke", outline<LBTriangle>({0, 0, 100, 100}, 2),
         "M 2 98 L 50 2 L 98 98 Z", 2},
        {"triangle pointing right",
         outline<LBTriangle>({0, 0, 100, 100}, 0, [](LBTriangle& s) { s.setAngle(270); }),
         "M 0 0 L 100 50 L 0 100 Z", 1},
        {"right triangle, right angle bottom right", outline<LBRightTriangle>({0, 0, 100, 50}, 0),
         "M 0 50 L 100 50 L 100 0 Z", 1},
        {"right triangle, right angle top right",
         outline<LBRightTriangle>({0, 0, 100, 50}, 2, [](LBRightTriangle& s) { s.setAngle(90); }),
         "M 1 1 L 99 1 L 99 49 Z", 2},
    };
    for (const OutlineCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<platform::BezierPath> path = c.shape->shapeBezierPath();
        ASSERT_TRUE(path);
        EXPECT_EQ(elementsText(*path), QString::fromLatin1(c.elements));
        EXPECT_EQ(path->lineWidth(), c.lineWidth);
        // Without text the drawn outline is this one.
        EXPECT_EQ(elementsText(c.shape->bezierPath()), elementsText(*path));
    }
}
