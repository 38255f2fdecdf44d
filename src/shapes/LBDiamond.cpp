#include "shapes/LBDiamond.h"

std::optional<platform::BezierPath> LBDiamond::outlineInBounds(const QRectF& bounds,
                                                               double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth / 2.0);
    return closedPolygon({{r.center().x(), r.top()},
                          {r.right(), r.center().y()},
                          {r.center().x(), r.bottom()},
                          {r.left(), r.center().y()}},
                         strokeLineWidth());
}
