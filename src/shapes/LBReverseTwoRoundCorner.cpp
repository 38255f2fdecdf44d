#include "shapes/LBReverseTwoRoundCorner.h"

void LBReverseTwoRoundCorner::appendOutline(platform::BezierPath& path, const QRectF& r,
                                            double rho) const
{
    path.moveTo(r.topLeft());
    path.lineTo({r.right() - rho, r.top()});
    path.appendBezierPathWithArcFromPoint({r.right() - rho, r.top() + rho},
                                          {r.right(), r.top() + rho}, rho);
    path.lineTo(r.bottomRight());
    path.lineTo({r.left() + rho, r.bottom()});
    path.appendBezierPathWithArcFromPoint({r.left() + rho, r.bottom() - rho},
                                          {r.left(), r.bottom() - rho}, rho);
}
