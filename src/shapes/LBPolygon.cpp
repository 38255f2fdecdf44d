#include "shapes/LBPolygon.h"

#include <cmath>
#include <numbers>

LBPolygon::LBPolygon()
{
    setModifier1(5.0);
}

std::optional<platform::BezierPath> LBPolygon::outlineInBounds(const QRectF& bounds,
                                                               double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth / 2.0);
    const int n = int(_modifier1);
    const double step = 2.0 * std::numbers::pi / n;
    // Corners run from the one just past the bottom towards decreasing angles; with y
    // growing downwards, the angle of π/2 points down.
    const double first = std::asin(1.0) + step / 2.0;
    QList<QPointF> corners;
    for (int k = 0; k < n; ++k) {
        const double a = first - k * step;
        corners.append({r.center().x() + std::cos(a) * r.width() / 2.0,
                        r.center().y() + std::sin(a) * r.height() / 2.0});
    }
    return closedPolygon(corners, strokeWidth);
}
