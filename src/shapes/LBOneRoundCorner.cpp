#include "shapes/LBOneRoundCorner.h"

void LBOneRoundCorner::appendOutline(platform::BezierPath& path, const QRectF& r, double rho) const
{
    path.moveTo({r.left(), r.top()});
    path.lineTo({r.right() - rho, r.top()});
    path.appendBezierPathWithArcFromPoint(r.topRight(), {r.right(), r.top() + rho}, rho);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
}
