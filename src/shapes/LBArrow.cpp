#include "shapes/LBArrow.h"

LBArrow::LBArrow()
{
    setModifier1(0.6);
    setModifier2(0.3);
}

QPointF LBArrow::modifierKnob1Point() const
{
    const QRectF b = bounds();
    const double x = _flippedHorizontally ? b.right() - _modifier1 * b.width()
                                          : b.left() + _modifier1 * b.width();
    return {x, b.top() + _modifier2 * b.height()};
}

qint64 LBArrow::moveModifierKnob(qint64 knob, const QPointF& toPoint, bool)
{
    const QRectF b = bounds();
    setModifier1(_flippedHorizontally ? (b.right() - toPoint.x()) / b.width()
                                      : (toPoint.x() - b.left()) / b.width());
    setModifier2((toPoint.y() - b.top()) / b.height());
    return knob;
}

std::optional<platform::BezierPath> LBArrow::outlineInBounds(const QRectF& bounds,
                                                             double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth / 2.0);
    const double head = r.left() + _modifier1 * r.width();
    const double shaftTop = r.top() + _modifier2 * r.height();
    const double shaftBottom = r.bottom() - _modifier2 * r.height();
    const double midY = r.center().y();
    if (_alternateShape == OrdinaryShape) {
        return closedPolygon({{r.left(), shaftTop},
                              {head, shaftTop},
                              {head, r.top()},
                              {r.right(), midY},
                              {head, r.bottom()},
                              {head, shaftBottom},
                              {r.left(), shaftBottom}},
                             strokeLineWidth());
    }
    // Heads at both ends.
    const double tail = r.left() + (1.0 - _modifier1) * r.width();
    return closedPolygon({{r.left(), midY},
                          {tail, r.top()},
                          {tail, shaftTop},
                          {head, shaftTop},
                          {head, r.top()},
                          {r.right(), midY},
                          {head, r.bottom()},
                          {head, shaftBottom},
                          {tail, shaftBottom},
                          {tail, r.bottom()}},
                         strokeLineWidth());
}
