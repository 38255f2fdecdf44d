#include "shapes/LBArrowHead.h"

#include "graphics/GraphicDictionary.h"

LBArrowHead::LBArrowHead()
{
    setModifier1(0.25);
}

std::shared_ptr<LBGraphic> LBArrowHead::copy() const
{
    std::shared_ptr<LBGraphic> graphic = LBModifiedShape::copy();
    static_cast<LBArrowHead&>(*graphic).setAngle(_angle);
    return graphic;
}

QVariantMap LBArrowHead::propertyListRepresentation() const
{
    QVariantMap dictionary = LBModifiedShape::propertyListRepresentation();
    GraphicDictionaryWriter(dictionary).setInteger(QStringLiteral("ArrowHeadAngle"), _angle);
    return dictionary;
}

void LBArrowHead::loadPropertyListRepresentation(const QVariantMap& dictionary)
{
    LBModifiedShape::loadPropertyListRepresentation(dictionary);
    const GraphicDictionaryReader r(dictionary, graphicType());
    if (const auto angle = r.intValue(QStringLiteral("ArrowHeadAngle")))
        setAngle(*angle);
}

void LBArrowHead::setAngle(qint64 angle)
{
    changeOrientation(_angle, angle, &LBArrowHead::setAngle);
}

void LBArrowHead::flipHorizontally()
{
    if (_angle == 90 || _angle == 270)
        setAngle(360 - _angle);
}

void LBArrowHead::flipVertically()
{
    if (_angle == 0 || _angle == 180)
        setAngle(180 - _angle);
}

QPointF LBArrowHead::modifierKnob1Point() const
{
    const QRectF b = bounds();
    const double m = _modifier1;
    switch (_angle) {
    case 0: return {b.center().x(), b.bottom() - m * b.height()};
    case 90: return {b.right() - m * b.width(), b.center().y()};
    case 180: return {b.center().x(), b.top() + m * b.height()};
    case 270: return {b.left() + m * b.width(), b.center().y()};
    default: return {};
    }
}

qint64 LBArrowHead::moveModifierKnob(qint64 knob, const QPointF& toPoint, bool)
{
    const QRectF b = bounds();
    const QPointF p = toPoint;
    switch (_angle) {
    case 0: setModifier1((b.bottom() - p.y()) / b.height()); break;
    case 90: setModifier1((b.right() - p.x()) / b.width()); break;
    case 180: setModifier1((p.y() - b.top()) / b.height()); break;
    case 270: setModifier1((p.x() - b.left()) / b.width()); break;
    default: setModifier1(0.0); break;
    }
    return knob;
}

std::optional<platform::BezierPath> LBArrowHead::outlineInBounds(const QRectF& bounds,
                                                                 double strokeWidth) const
{
    if (!isKnownOrientation(_angle))
        return emptyClosedOutline(strokeLineWidth());
    const QRectF r = insetBounds(bounds, strokeWidth);
    const double m = _modifier1;
    const QPointF c = r.center();
    // The first barb, the tip, the second barb and the notch.
    QList<QPointF> corners;
    switch (_angle) {
    case 0:
        corners = {r.bottomLeft(),
                   {c.x(), r.top()},
                   r.bottomRight(),
                   {c.x(), r.bottom() - m * r.height()}};
        break;
    case 90:
        corners = {
            r.bottomRight(), {r.left(), c.y()}, r.topRight(), {r.right() - m * r.width(), c.y()}};
        break;
    case 180:
        corners = {
            r.topLeft(), {c.x(), r.bottom()}, r.topRight(), {c.x(), r.top() + m * r.height()}};
        break;
    default:
        corners = {
            r.topLeft(), {r.right(), c.y()}, r.bottomLeft(), {r.left() + m * r.width(), c.y()}};
        break;
    }
    platform::BezierPath path;
    path.setLineWidth(strokeLineWidth());
    path.appendBezierPathWithPoints(corners);
    finishOutline(path);
    return path;
}
