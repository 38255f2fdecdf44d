#include "shapes/LBTriangle.h"

QList<QPointF> LBTriangle::corners(const QRectF& bounds, double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth);
    const QPointF c = r.center();
    switch (angle()) {
    case 0: return {r.bottomLeft(), {c.x(), r.top()}, r.bottomRight()};
    case 90: return {r.bottomRight(), {r.left(), c.y()}, r.topRight()};
    case 180: return {r.topLeft(), {c.x(), r.bottom()}, r.topRight()};
    default: return {r.topLeft(), {r.right(), c.y()}, r.bottomLeft()};
    }
}
