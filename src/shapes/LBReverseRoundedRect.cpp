#include "shapes/LBReverseRoundedRect.h"

void LBReverseRoundedRect::appendOutline(platform::BezierPath& path, const QRectF& r,
                                         double rho) const
{
    const QRectF inner = insetBounds(r, rho);
    path.moveTo({r.left(), r.top() + rho});
    path.appendBezierPathWithArcFromPoint(inner.topLeft(), {r.left() + rho, r.top()}, rho);
    path.relativeLineTo({inner.width(), 0.0});
    path.appendBezierPathWithArcFromPoint(inner.topRight(), {r.right(), r.top() + rho}, rho);
    path.relativeLineTo({0.0, inner.height()});
    path.appendBezierPathWithArcFromPoint(inner.bottomRight(), {r.right() - rho, r.bottom()}, rho);
    path.relativeLineTo({-inner.width(), 0.0});
    path.appendBezierPathWithArcFromPoint(inner.bottomLeft(), {r.left(), r.bottom() - rho}, rho);
}
