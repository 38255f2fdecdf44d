#include "shapes/LBArcEndRect.h"

#include <algorithm>

LBArcEndRect::LBArcEndRect()
{
    setModifier1(0.25);
}

std::optional<platform::BezierPath> LBArcEndRect::outlineInBounds(const QRectF& bounds,
                                                                  double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth / 2.0);
    const double d = _modifier1 * std::min(r.width(), r.height());
    const double midY = r.center().y();
    platform::BezierPath path;
    path.setLineWidth(strokeWidth);
    path.moveTo({r.left() + d, r.top()});
    path.lineTo({r.right() - d, r.top()});
    path.curveTo({r.right() - d, r.bottom()}, {r.right(), midY - d}, {r.right(), midY + d});
    path.lineTo({r.left() + d, r.bottom()});
    path.curveTo({r.left() + d, r.top()}, {r.left(), midY + d}, {r.left(), midY - d});
    finishOutline(path);
    return path;
}
