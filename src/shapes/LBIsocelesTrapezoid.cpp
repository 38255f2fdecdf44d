#include "shapes/LBIsocelesTrapezoid.h"

LBIsocelesTrapezoid::LBIsocelesTrapezoid()
{
    setModifier1(0.25);
}

std::optional<platform::BezierPath> LBIsocelesTrapezoid::outlineInBounds(const QRectF& bounds,
                                                                         double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth);
    const double inset = _modifier1 * r.width();
    return closedPolygon({r.bottomLeft(),
                          r.bottomRight(),
                          {r.right() - inset, r.top()},
                          {r.left() + inset, r.top()}},
                         strokeWidth);
}
