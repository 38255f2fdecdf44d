#include "shapes/LBTwoRoundCorner.h"

void LBTwoRoundCorner::appendOutline(platform::BezierPath& path, const QRectF& r, double rho) const
{
    path.moveTo({r.left(), r.top() + rho});
    path.appendBezierPathWithArcFromPoint(r.topLeft(), {r.left() + rho, r.top()}, rho);
    path.lineTo({r.right() - rho, r.top()});
    path.appendBezierPathWithArcFromPoint(r.topRight(), {r.right(), r.top() + rho}, rho);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
}
