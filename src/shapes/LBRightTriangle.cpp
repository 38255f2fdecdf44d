#include "shapes/LBRightTriangle.h"

#include "graphics/GraphicDictionary.h"

std::shared_ptr<LBGraphic> LBRightTriangle::copy() const
{
    std::shared_ptr<LBGraphic> graphic = LBShape::copy();
    static_cast<LBRightTriangle&>(*graphic).setAngle(_angle);
    return graphic;
}

QVariantMap LBRightTriangle::propertyListRepresentation() const
{
    QVariantMap dictionary = LBShape::propertyListRepresentation();
    GraphicDictionaryWriter(dictionary).setInteger(QStringLiteral("RightTriangleAngle"), _angle);
    return dictionary;
}

void LBRightTriangle::loadPropertyListRepresentation(const QVariantMap& dictionary)
{
    LBShape::loadPropertyListRepresentation(dictionary);
    const GraphicDictionaryReader r(dictionary, graphicType());
    if (const auto angle = r.intValue(QStringLiteral("RightTriangleAngle")))
        setAngle(*angle);
}

void LBRightTriangle::setAngle(qint64 angle)
{
    changeOrientation(_angle, angle, &LBRightTriangle::setAngle);
}

void LBRightTriangle::flipHorizontally()
{
    // 0 and 180 swap, and 90 and 270.
    if (_angle == 0 || _angle == 180)
        setAngle(180 - _angle);
    else if (_angle == 90 || _angle == 270)
        setAngle(360 - _angle);
}

void LBRightTriangle::flipVertically()
{
    // 0 and 90 swap, and 180 and 270.
    if (_angle == 0 || _angle == 90)
        setAngle(90 - _angle);
    else if (_angle == 180 || _angle == 270)
        setAngle(450 - _angle);
}

std::optional<platform::BezierPath> LBRightTriangle::outlineInBounds(const QRectF& bounds,
                                                                     double strokeWidth) const
{
    if (!isKnownOrientation(_angle))
        return emptyClosedOutline(strokeLineWidth());
    const QRectF r = insetBounds(bounds, strokeWidth / 2.0);
    QList<QPointF> corners;
    switch (_angle) {
    case 0: corners = {r.bottomLeft(), r.bottomRight(), r.topRight()}; break;
    case 90: corners = {r.topLeft(), r.topRight(), r.bottomRight()}; break;
    case 180: corners = {r.topLeft(), r.bottomLeft(), r.bottomRight()}; break;
    default: corners = {r.bottomLeft(), r.topLeft(), r.topRight()}; break;
    }
    platform::BezierPath path;
    path.setLineWidth(strokeLineWidth());
    path.appendBezierPathWithPoints(corners);
    finishOutline(path);
    return path;
}
