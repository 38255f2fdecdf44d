#include "app/LBShapeController.h"

#include "document/LBDocument.h"
#include "platform/drawing/Image.h"
#include "platform/ui/SegmentedControl.h"
#include "shapes/LBArrowHead.h"
#include "shapes/LBLine.h"
#include "shapes/LBModifiedShape.h"
#include "shapes/LBRightTriangle.h"
#include "shapes/LBTriangle.h"
#include "window/LBEditController.h"

#include <QFile>
#include <QTreeView>

// ==== The cells ===========================================================================

const QList<LBShapeController::CellRecipe>& LBShapeController::cellTable()
{
    static const QList<CellRecipe> table = [] {
        const auto shape = [](const char* name, bool alternate = false, qint64 angle = -1) {
            CellRecipe recipe;
            recipe.className = QString::fromLatin1(name);
            recipe.alternate = alternate;
            recipe.angle = angle;
            return recipe;
        };
        CellRecipe polygon8 = shape("LBPolygon");
        polygon8.modifier1 = 8.0;
        CellRecipe arrowLine = shape("LBLine", false, 135);
        arrowLine.strokeWidth = 2.0;
        arrowLine.arrow1Type = LBLine::BarbedArrow;
        arrowLine.arrowSize = 0.75;
        CellRecipe doubleArrowLine = arrowLine;
        doubleArrowLine.arrow2Type = LBLine::BarbedArrow;
        return QList<CellRecipe>{
            shape("LBRectangle"),                 // 0
            shape("LBCircle"),                    // 1
            shape("LBLine", false, 90),           // 2
            shape("LBLine", false, 0),            // 3
            shape("LBLine", false, 135),          // 4
            shape("LBLine", false, 45),           // 5
            shape("LBTriangle", false, 0),        // 6
            shape("LBTriangle", false, 180),      // 7
            shape("LBTriangle", false, 90),       // 8
            shape("LBTriangle", false, 270),      // 9
            shape("LBDiamond"),                   // 10
            shape("LBPolygon"),                   // 11
            polygon8,                             // 12
            shape("LBRoundedRect"),               // 13
            shape("LBRoundedRect", true),         // 14
            shape("LBSemiCircle"),                // 15
            shape("LBWedge"),                     // 16
            shape("LBStarPolygon", true),         // 17
            shape("LBStar"),                      // 18
            shape("LBStarPolygon"),               // 19
            shape("LBGear"),                      // 20
            shape("LBCross"),                     // 21
            shape("LBIsocelesTrapezoid"),         // 22
            shape("LBArcEndRect"),                // 23
            shape("LBFlowDocument"),              // 24
            shape("LBCloud"),                     // 25
            shape("LBRightTriangle", false, 180), // 26
            shape("LBArrowHead", false, 270),     // 27
            arrowLine,                            // 28
            doubleArrowLine,                      // 29
            shape("LBArrow"),                     // 30
            shape("LBArrow", true),               // 31
            shape("LBCurvedLine"),                // 32
            shape("LBOneRoundCorner"),            // 33
            shape("LBTwoRoundCorner"),            // 34
            shape("LBTwoRoundCorner2"),           // 35
            shape("LBThreeRoundCorner"),          // 36
            shape("LBReverseTwoRoundCorner"),     // 37
            shape("LBReverseRoundedRect"),        // 38
        };
    }();
    return table;
}

void LBShapeController::applyRecipe(LBGraphic& graphic, const CellRecipe& recipe)
{
    if (recipe.strokeWidth > 0.0)
        graphic.setStrokeLineWidth(recipe.strokeWidth);
    if (recipe.angle >= 0) {
        if (auto* line = dynamic_cast<LBLine*>(&graphic))
            line->setAngle(recipe.angle);
        else if (auto* triangle = dynamic_cast<LBTriangle*>(&graphic))
            triangle->setAngle(recipe.angle);
        else if (auto* right = dynamic_cast<LBRightTriangle*>(&graphic))
            right->setAngle(recipe.angle);
        else if (auto* head = dynamic_cast<LBArrowHead*>(&graphic))
            head->setAngle(recipe.angle);
    }
    if (recipe.modifier1 > 0.0) {
        if (auto* modified = dynamic_cast<LBModifiedShape*>(&graphic))
            modified->setModifier1(recipe.modifier1);
    }
    if (auto* line = dynamic_cast<LBLine*>(&graphic)) {
        if (recipe.arrow1Type != 0)
            line->setArrow1Type(recipe.arrow1Type);
        if (recipe.arrow2Type != 0)
            line->setArrow2Type(recipe.arrow2Type);
        if (recipe.arrowSize > 0.0) {
            line->setArrow1Size(recipe.arrowSize);
            line->setArrow2Size(recipe.arrowSize);
        }
    }
}

QString LBShapeController::resourcePathForCell(qint64 cell)
{
    return QStringLiteral(":/shapes/Shape%1").arg(cell + 1);
}

// ==== The controller ======================================================================

std::unique_ptr<LBShapeController> LBShapeController::makeShapes()
{
    auto controller = std::make_unique<LBShapeController>();
    controller->initWithNibNamed(QStringLiteral("Shapes"));
    return controller;
}

void LBShapeController::awakeFromNib()
{
    matrix()->setPrototype([] { return std::make_unique<LBMatrixCell>(); });
    matrix()->setAcceptsDrags(false);
    outlineView()->hide();
    collectionControl()->hide();
    graphicControl()->hide();
    commonAwakeFromNib();
}

QString LBShapeController::preferenceKeyOfType(qint64 kind) const
{
    switch (kind) {
    case SelectedRowPreference: return QStringLiteral("Shapes Collection Index");
    case OutlineHeightPreference: return QStringLiteral("Shapes Outline Height");
    case CellSizePreference: return QStringLiteral("Shape Cell Size");
    default: return QString();
    }
}

void LBShapeController::loadObjects()
{
    _objects.clear();
    _names.clear();
    _thumbnails.clear();
    for (qint64 n = 1; n <= CellCount; ++n) {
        const platform::ImagePtr picture =
            platform::Image::imageNamed(QStringLiteral("Shape%1").arg(n));
        _thumbnails.append(picture ? LBLibraryThumbnail::fromImage(picture->forcedBitmapImageRep())
                                   : LBLibraryThumbnail());
    }
}

QList<LBGraphicPtr> LBShapeController::graphicsForCell(qint64 cell)
{
    LBEditController* edit = editController();
    if (!edit || cell < 0 || cell >= CellCount)
        return {};
    if (cell < FirstResourceCell) {
        const CellRecipe& recipe = cellTable().at(cell);
        const LBGraphicPtr shape =
            edit->createShapeOfClass(recipe.className, recipe.alternate ? 1 : 0);
        if (!shape)
            return {};
        applyRecipe(*shape, recipe);
        return {shape};
    }
    QFile file(resourcePathForCell(cell));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const std::optional<LBDocument::GraphicsList> list =
        LBDocument::graphicsForData(file.readAll());
    if (!list || list->isPages)
        return {};
    for (const LBGraphicPtr& graphic : list->graphics)
        edit->applyDefaultShapeSettingsToGraphic(*graphic);
    return list->graphics;
}
