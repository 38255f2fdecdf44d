#include "shapes/LBStar.h"

#include <cmath>
#include <numbers>

std::optional<platform::BezierPath> LBStar::outlineInBounds(const QRectF& bounds,
                                                            double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth / 2.0);
    // Each corner joined to the next but one, from the lower right round to the top.
    const auto corner = [&r](double degrees) {
        const double a = degrees * std::numbers::pi / 180.0;
        return QPointF(r.center().x() + std::cos(a) * r.width() / 2.0,
                       r.center().y() + std::sin(a) * r.height() / 2.0);
    };
    return closedPolygon({corner(342.0), corner(198.0), corner(54.0), corner(270.0), corner(126.0)},
                         strokeLineWidth());
}
