#include "shapes/LBFlowDocument.h"

std::optional<platform::BezierPath> LBFlowDocument::outlineInBounds(const QRectF& bounds,
                                                                    double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth / 2.0);
    platform::BezierPath path;
    path.setLineWidth(strokeWidth);
    const double h = r.height();
    path.moveTo(r.topLeft());
    path.lineTo(r.topRight());
    path.lineTo({r.right(), r.bottom() - h / 4.0});
    path.curveTo({r.left(), r.bottom() - h / 8.0}, {r.center().x(), r.bottom() - h / 3.0},
                 {r.center().x(), r.bottom() + h / 8.0});
    finishOutline(path);
    return path;
}
