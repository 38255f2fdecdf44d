// The shape base: copying, its keys and the outline frame shared by every closed shape.

#include "shapes/LBShape.h"

#include "graphics/GraphicDictionary.h"
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

platform::BezierPath LBShape::closedPolygon(const QList<QPointF>& corners, double lineWidth) const
{
    platform::BezierPath path;
    path.setLineWidth(lineWidth);
    path.appendBezierPathWithPoints(corners);
    finishOutline(path);
    return path;
}
