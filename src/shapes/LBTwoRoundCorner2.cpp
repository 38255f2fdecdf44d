#include "shapes/LBTwoRoundCorner2.h"

std::optional<platform::BezierPath> LBTwoRoundCorner2::outlineInBounds(const QRectF& bounds,
                                                                       double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth / 2.0);
    const double rho = cornerRadius(r);
    platform::BezierPath path;
    path.setLineWidth(strokeLineWidth());
    path.moveTo(r.topLeft());
    path.lineTo({r.right() - rho, r.top()});
    path.appendBezierPathWithArcFromPoint(r.topRight(), {r.right(), r.top() + rho}, rho);
    path.lineTo(r.bottomRight());
    path.lineTo({r.left() + rho, r.bottom()});
    path.appendBezierPathWithArcFromPoint(r.bottomLeft(), {r.left(), r.bottom() - rho}, rho);
    finishOutline(path);
    return path;
}
