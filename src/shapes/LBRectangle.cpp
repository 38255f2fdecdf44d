#include "shapes/LBRectangle.h"

std::optional<platform::BezierPath> LBRectangle::outlineInBounds(const QRectF& bounds,
                                                                 double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth / 2.0);
    platform::BezierPath path;
    path.setLineWidth(strokeLineWidth());
    path.appendBezierPathWithRect(r);
    finishOutline(path);
    return path;
}
