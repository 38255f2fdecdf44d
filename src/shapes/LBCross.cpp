#include "shapes/LBCross.h"

#include <algorithm>

LBCross::LBCross()
{
    setModifier1(0.5);
}

QPointF LBCross::modifierKnob1Point() const
{
    const QRectF b = bounds();
    const double half = _modifier1 * std::min(b.width(), b.height()) / 2.0;
    return {b.center().x() + half, b.center().y() - half};
}

qint64 LBCross::moveModifierKnob(qint64 knob, const QPointF& toPoint, bool)
{
    const QRectF b = bounds();
    setModifier1((toPoint.x() - b.center().x()) / (b.width() / 2.0));
    return knob;
}

std::optional<platform::BezierPath> LBCross::outlineInBounds(const QRectF& bounds,
                                                             double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth / 2.0);
    const double t = _modifier1 * std::min(r.width(), r.height());
    const double x0 = r.center().x() - t / 2.0, x1 = x0 + t;
    const double y0 = r.center().y() - t / 2.0, y1 = y0 + t;
    return closedPolygon({{x0, r.top()},
                          {x1, r.top()},
                          {x1, y0},
                          {r.right(), y0},
                          {r.right(), y1},
                          {x1, y1},
                          {x1, r.bottom()},
                          {x0, r.bottom()},
                          {x0, y1},
                          {r.left(), y1},
                          {r.left(), y0},
                          {x0, y0}},
                         strokeLineWidth());
}
