#include "shapes/LBRightTriangle.h"

QList<QPointF> LBRightTriangle::corners(const QRectF& bounds, double strokeWidth) const
{
    // The right angle at the middle corner.
    const QRectF r = insetBounds(bounds, strokeWidth / 2.0);
    switch (angle()) {
    case 0: return {r.bottomLeft(), r.bottomRight(), r.topRight()};
    case 90: return {r.topLeft(), r.topRight(), r.bottomRight()};
    case 180: return {r.topLeft(), r.bottomLeft(), r.bottomRight()};
    default: return {r.bottomLeft(), r.topLeft(), r.topRight()};
    }
}
