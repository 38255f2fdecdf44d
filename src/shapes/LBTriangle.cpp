#include "shapes/LBTriangle.h"

#include "graphics/GraphicDictionary.h"

std::shared_ptr<LBGraphic> LBTriangle::copy() const
{
    std::shared_ptr<LBGraphic> graphic = LBShape::copy();
    static_cast<LBTriangle&>(*graphic).setAngle(_angle);
    return graphic;
}

QVariantMap LBTriangle::propertyListRepresentation() const
{
    QVariantMap dictionary = LBShape::propertyListRepresentation();
    GraphicDictionaryWriter(dictionary).setInteger(QStringLiteral("TriangleAngle"), _angle);
    return dictionary;
}

void LBTriangle::loadPropertyListRepresentation(const QVariantMap& dictionary)
{
    LBShape::loadPropertyListRepresentation(dictionary);
    const GraphicDictionaryReader r(dictionary, graphicType());
    if (const auto angle = r.intValue(QStringLiteral("TriangleAngle")))
        setAngle(*angle);
}

void LBTriangle::setAngle(qint64 angle)
{
    changeOrientation(_angle, angle, &LBTriangle::setAngle);
}

void LBTriangle::flipHorizontally()
{
    if (_angle == 90 || _angle == 270)
        setAngle(360 - _angle);
}

void LBTriangle::flipVertically()
{
    if (_angle == 0 || _angle == 180)
        setAngle(180 - _angle);
}

std::optional<platform::BezierPath> LBTriangle::outlineInBounds(const QRectF& bounds,
                                                                double strokeWidth) const
{
    if (!isKnownOrientation(_angle))
        return emptyClosedOutline(strokeLineWidth());
    const QRectF r = insetBounds(bounds, strokeWidth);
    const QPointF c = r.center();
    QList<QPointF> corners;
    switch (_angle) {
    case 0: corners = {r.bottomLeft(), {c.x(), r.top()}, r.bottomRight()}; break;
    case 90: corners = {r.bottomRight(), {r.left(), c.y()}, r.topRight()}; break;
    case 180: corners = {r.topLeft(), {c.x(), r.bottom()}, r.topRight()}; break;
    default: corners = {r.topLeft(), {r.right(), c.y()}, r.bottomLeft()}; break;
    }
    platform::BezierPath path;
    path.setLineWidth(strokeLineWidth());
    path.appendBezierPathWithPoints(corners);
    finishOutline(path);
    return path;
}
