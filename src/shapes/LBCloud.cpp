#include "shapes/LBCloud.h"

std::optional<platform::BezierPath> LBCloud::outlineInBounds(const QRectF& bounds,
                                                             double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth / 2.0);
    platform::BezierPath path;
    path.setLineWidth(strokeWidth);
    const double minX = r.left(), maxX = r.right(), minY = r.top(), maxY = r.bottom();
    const double midY = r.center().y(), w = r.width(), h = r.height();
    const QPointF start(minX + w / 8.0, midY);
    path.moveTo(start);
    path.curveTo({minX + w / 3.0, minY + h / 8.0}, {minX, midY - 5.0}, {minX, minY});
    path.curveTo({minX + 0.66 * w, minY + h / 8.0}, {minX + 3.0 * w / 8.0, minY},
                 {minX + 5.0 * w / 8.0, minY});
    path.curveTo({maxX - w / 8.0, midY - h / 16.0}, {maxX - w / 8.0, minY}, {maxX, midY - h / 8.0});
    // (The first control point is a sixteenth of the width below the middle, not of the
    // height.)
    path.curveTo({maxX - w / 4.0, maxY - h / 8.0}, {maxX, midY + w / 16.0},
                 {maxX, maxY - h / 16.0});
    path.curveTo({minX + 7.0 * w / 16.0, maxY - h / 8.0}, {maxX - w / 3.0, maxY},
                 {maxX - w / 2.0, maxY});
    path.curveTo(start, {minX + w / 4.0, maxY}, {minX, maxY - h / 3.0});
    finishOutline(path);
    return path;
}
