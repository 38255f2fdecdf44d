#include "shapes/LBThreeRoundCorner.h"

void LBThreeRoundCorner::appendOutline(platform::BezierPath& path, const QRectF& r,
                                       double rho) const
{
    path.moveTo(r.topLeft());
    path.lineTo({r.right() - rho, r.top()});
    path.appendBezierPathWithArcFromPoint(r.topRight(), {r.right(), r.top() + rho}, rho);
    path.lineTo({r.right(), r.bottom() - rho});
    path.appendBezierPathWithArcFromPoint(r.bottomRight(), {r.right() - rho, r.bottom()}, rho);
    path.lineTo({r.left() + rho, r.bottom()});
    path.appendBezierPathWithArcFromPoint(r.bottomLeft(), {r.left(), r.bottom() - rho}, rho);
}
