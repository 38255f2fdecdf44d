#include "shapes/LBIsocelesTrapezoid.h"

LBIsocelesTrapezoid::LBIsocelesTrapezoid()
{
    setModifier1(0.25);
}

QPointF LBIsocelesTrapezoid::modifierKnob1Point() const
{
    const QRectF b = bounds();
    return {b.right() - _modifier1 * b.width(), b.top()};
}

qint64 LBIsocelesTrapezoid::moveModifierKnob(qint64 knob, const QPointF& toPoint, bool)
{
    const QRectF b = bounds();
    setModifier1((b.right() - toPoint.x()) / b.width());
    return knob;
}

std::optional<platform::BezierPath> LBIsocelesTrapezoid::outlineInBounds(const QRectF& bounds,
                                                                         double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth);
    const double inset = _modifier1 * r.width();
    platform::BezierPath path;
    path.setLineWidth(strokeWidth);
    path.appendBezierPathWithPoints({r.bottomLeft(),
                                     r.bottomRight(),
                                     {r.right() - inset, r.top()},
                                     {r.left() + inset, r.top()}});
    finishOutline(path);
    return path;
}
