#include "shapes/LBSemiCircle.h"

void LBSemiCircle::makeNaturalSize()
{
    QRectF b = bounds();
    if (b.height() > b.width() / 2.0)
        b.setHeight(b.width() / 2.0);
    else if (b.width() / 2.0 > b.height())
        b.setWidth(2.0 * b.height());
    else
        return;
    setBounds(b);
}

std::optional<platform::BezierPath> LBSemiCircle::outlineInBounds(const QRectF& bounds,
                                                                  double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth / 2.0);
    // Control points a third of the height above the top bring the curve's highest point
    // onto the top edge.
    const double above = r.top() - r.height() / 3.0;
    platform::BezierPath path;
    path.setLineWidth(strokeLineWidth());
    path.moveTo(r.bottomLeft());
    path.lineTo(r.bottomRight());
    path.curveTo(r.bottomLeft(), {r.right(), above}, {r.left(), above});
    finishOutline(path);
    return path;
}
