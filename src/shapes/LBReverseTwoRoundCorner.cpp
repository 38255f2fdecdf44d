#include "shapes/LBReverseTwoRoundCorner.h"

std::optional<platform::BezierPath>
LBReverseTwoRoundCorner::outlineInBounds(const QRectF& bounds, double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth / 2.0);
    const double rho = cornerRadius(r);
    platform::BezierPath path;
    path.setLineWidth(strokeLineWidth());
    path.moveTo(r.topLeft());
    path.lineTo({r.right() - rho, r.top()});
    path.appendBezierPathWithArcFromPoint({r.right() - rho, r.top() + rho},
                                          {r.right(), r.top() + rho}, rho);
    path.lineTo(r.bottomRight());
    path.lineTo({r.left() + rho, r.bottom()});
    path.appendBezierPathWithArcFromPoint({r.left() + rho, r.bottom() - rho},
                                          {r.left(), r.bottom() - rho}, rho);
    finishOutline(path);
    return path;
}
