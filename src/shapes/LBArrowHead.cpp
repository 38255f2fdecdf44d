#include "shapes/LBArrowHead.h"

LBArrowHead::LBArrowHead()
{
    setModifier1(0.25);
}

QPointF LBArrowHead::modifierKnob1Point() const
{
    const QRectF b = bounds();
    const double m = _modifier1;
    switch (angle()) {
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
    switch (angle()) {
    case 0: setModifier1((b.bottom() - p.y()) / b.height()); break;
    case 90: setModifier1((b.right() - p.x()) / b.width()); break;
    case 180: setModifier1((p.y() - b.top()) / b.height()); break;
    case 270: setModifier1((p.x() - b.left()) / b.width()); break;
    default: setModifier1(0.0); break;
    }
    return knob;
}

QList<QPointF> LBArrowHead::corners(const QRectF& bounds, double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth);
    const double m = _modifier1;
    const QPointF c = r.center();
    switch (angle()) {
    case 0:
        return {r.bottomLeft(),
                {c.x(), r.top()},
                r.bottomRight(),
                {c.x(), r.bottom() - m * r.height()}};
    case 90:
        return {
            r.bottomRight(), {r.left(), c.y()}, r.topRight(), {r.right() - m * r.width(), c.y()}};
    case 180:
        return {r.topLeft(), {c.x(), r.bottom()}, r.topRight(), {c.x(), r.top() + m * r.height()}};
    default:
        return {r.topLeft(), {r.right(), c.y()}, r.bottomLeft(), {r.left() + m * r.width(), c.y()}};
    }
}
