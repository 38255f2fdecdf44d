// The shape base: copying, its keys, the outline frame shared by every closed shape and
// the orientation rule of the shapes that are turned, never mirrored.

#include "shapes/LBShape.h"

#include "graphics/GraphicDictionary.h"
#include "platform/ui/Beep.h"
#include "shapes/ShapeClasses.h"

std::shared_ptr<LBGraphic> LBShape::newInstance() const
{
    registerShapeClasses();
    return LBTextArea::newInstance();
}

std::shared_ptr<LBGraphic> LBShape::copy() const
{
    std::shared_ptr<LBGraphic> graphic = LBTextArea::copy();
    auto& shape = static_cast<LBShape&>(*graphic);
    shape.setShapeWithTextXLoc(_shapeWithTextXLoc);
    shape.setShapeWithTextReverse(_shapeWithTextReverse);
    return graphic;
}

QVariantMap LBShape::propertyListRepresentation() const
{
    QVariantMap dictionary = LBTextArea::propertyListRepresentation();
    GraphicDictionaryWriter w(dictionary);
    w.setReal6(QStringLiteral("ShapeWithTextXLoc"), _shapeWithTextXLoc);
    w.setBool(QStringLiteral("ShapeWithTextReverse"), _shapeWithTextReverse);
    return dictionary;
}

void LBShape::loadPropertyListRepresentation(const QVariantMap& dictionary)
{
    LBTextArea::loadPropertyListRepresentation(dictionary);
    const GraphicDictionaryReader r(dictionary, graphicType());
    if (const auto location = r.floatValue(QStringLiteral("ShapeWithTextXLoc")))
        setShapeWithTextXLoc(*location);
    if (const auto reverse = r.boolValue(QStringLiteral("ShapeWithTextReverse")))
        setShapeWithTextReverse(*reverse);
}

bool LBShape::isEditable() const
{
    return isImageCrop() || isShapeWithText();
}

// --- Outlines ---

std::optional<platform::BezierPath> LBShape::bezierPathForStrokeWidth(double width) const
{
    return outlineInBounds(bounds(), width);
}

std::optional<platform::BezierPath> LBShape::shapeBezierPath() const
{
    return bezierPathForStrokeWidth(frameStrokeWidth());
}

std::optional<platform::BezierPath> LBShape::outlineInBounds(const QRectF& bounds,
                                                             double strokeWidth) const
{
    Q_UNUSED(bounds);
    Q_UNUSED(strokeWidth);
    return std::nullopt;
}

QRectF LBShape::insetBounds(const QRectF& bounds, double inset)
{
    return bounds.adjusted(inset, inset, -inset, -inset);
}

void LBShape::finishOutline(platform::BezierPath& path) const
{
    // (Rectangles and ovals come closed already.)
    if (path.isEmpty()
        || path.elementTypeAt(path.elementCount() - 1)
               != platform::BezierPath::ElementType::ClosePath)
        path.closePath();
    applyDrawingDash(path);
}

// --- Orientation ---

bool LBShape::isKnownOrientation(qint64 angle) const
{
    if (angle == 0 || angle == 90 || angle == 180 || angle == 270)
        return true;
    // A stored angle the shape does not know: said once, not at every drawing.
    if (!_beepedForOrientation) {
        _beepedForOrientation = true;
        platform::beep();
    }
    return false;
}

platform::BezierPath LBShape::emptyClosedOutline(double lineWidth) const
{
    platform::BezierPath path;
    path.setLineWidth(lineWidth);
    finishOutline(path);
    return path;
}
