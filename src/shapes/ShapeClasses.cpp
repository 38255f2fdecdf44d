#include "shapes/ShapeClasses.h"

#include "graphics/GraphicClasses.h"
#include "platform/core/ClassRegistry.h"
#include "shapes/LBArcEndRect.h"
#include "shapes/LBArrow.h"
#include "shapes/LBArrowHead.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBBezierPath.h"
#include "shapes/LBCircle.h"
#include "shapes/LBCloud.h"
#include "shapes/LBCross.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBDiamond.h"
#include "shapes/LBFlowDocument.h"
#include "shapes/LBGear.h"
#include "shapes/LBImage.h"
#include "shapes/LBIsocelesTrapezoid.h"
#include "shapes/LBLine.h"
#include "shapes/LBModifiedShape.h"
#include "shapes/LBOneRoundCorner.h"
#include "shapes/LBPolygon.h"
#include "shapes/LBRectangle.h"
#include "shapes/LBReverseRoundedRect.h"
#include "shapes/LBReverseTwoRoundCorner.h"
#include "shapes/LBRightTriangle.h"
#include "shapes/LBRoundedRect.h"
#include "shapes/LBSemiCircle.h"
#include "shapes/LBShape.h"
#include "shapes/LBSpeechBubble.h"
#include "shapes/LBStar.h"
#include "shapes/LBStarPolygon.h"
#include "shapes/LBThreeRoundCorner.h"
#include "shapes/LBTriangle.h"
#include "shapes/LBTwoRoundCorner.h"
#include "shapes/LBTwoRoundCorner2.h"
#include "shapes/LBWedge.h"

namespace {

template <typename T>
void add(const char* name)
{
    platform::ClassRegistry<LBGraphic>::registerClass<T>(QString::fromLatin1(name));
}

} // namespace

void registerShapeClasses()
{
    static const bool registered = [] {
        registerGraphicClasses();
        add<LBShape>("LBShape");
        add<LBBezierPath>("LBBezierPath");
        // Fixed outlines.
        add<LBCircle>("LBCircle");
        add<LBCloud>("LBCloud");
        add<LBDiamond>("LBDiamond");
        add<LBFlowDocument>("LBFlowDocument");
        add<LBRectangle>("LBRectangle");
        add<LBRightTriangle>("LBRightTriangle");
        add<LBSemiCircle>("LBSemiCircle");
        add<LBSpeechBubble>("LBSpeechBubble");
        add<LBStar>("LBStar");
        add<LBTriangle>("LBTriangle");
        // Adjustable outlines.
        add<LBModifiedShape>("LBModifiedShape");
        add<LBArcEndRect>("LBArcEndRect");
        add<LBArrow>("LBArrow");
        add<LBArrowHead>("LBArrowHead");
        add<LBCross>("LBCross");
        add<LBGear>("LBGear");
        add<LBIsocelesTrapezoid>("LBIsocelesTrapezoid");
        add<LBPolygon>("LBPolygon");
        add<LBStarPolygon>("LBStarPolygon");
        add<LBWedge>("LBWedge");
        add<LBRoundedRect>("LBRoundedRect");
        add<LBOneRoundCorner>("LBOneRoundCorner");
        add<LBReverseRoundedRect>("LBReverseRoundedRect");
        add<LBReverseTwoRoundCorner>("LBReverseTwoRoundCorner");
        add<LBThreeRoundCorner>("LBThreeRoundCorner");
        add<LBTwoRoundCorner>("LBTwoRoundCorner");
        add<LBTwoRoundCorner2>("LBTwoRoundCorner2");
        // Lines.
        add<LBLine>("LBLine");
        add<LBCurvedLine>("LBCurvedLine");
        // Pictures.
        add<LBImage>("LBImage");
        add<LBBarcodeImage>("LBBarcodeImage");
        return true;
    }();
    Q_UNUSED(registered);
}
