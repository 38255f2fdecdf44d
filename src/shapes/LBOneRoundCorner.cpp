#include "shapes/LBOneRoundCorner.h"

std::optional<platform::BezierPath> LBOneRoundCorner::outlineInBounds(const QRectF& bounds,
                                                                      double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth / 2.0);
    const double rho = cornerRadius(r);
    platform::BezierPath path;
    path.setLineWidth(strokeLineWidth());
    path.moveTo({r.left(), r.top()});
    path.lineTo({r.right() - rho, r.top()});
    path.appendBezierPathWithArcFromPoint(r.topRight(), {r.right(), r.top() + rho}, rho);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    finishOutline(path);
    return path;
}
