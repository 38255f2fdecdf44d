#include "shapes/LBStarPolygon.h"

#include <algorithm>
#include <cmath>
#include <numbers>

LBStarPolygon::LBStarPolygon()
{
    setModifier1(8.0);
    setModifier2(0.25);
}

void LBStarPolygon::setAlternateShape(qint64 variant)
{
    LBModifiedShape::setAlternateShape(variant);
    if (variant == ClassicStar) {
        setModifier1(5.0);
        setModifier2(0.6 / std::numbers::pi);
    }
}

QPointF LBStarPolygon::modifierKnob2Point() const
{
    QPointF knob;
    star(bounds(), frameStrokeWidth(), &knob);
    return knob;
}

qint64 LBStarPolygon::moveModifierKnob(qint64 knob, const QPointF& toPoint, bool)
{
    setModifier2(distanceFromCentreOverWidth(toPoint));
    return knob;
}

std::optional<platform::BezierPath> LBStarPolygon::outlineInBounds(const QRectF& bounds,
                                                                   double strokeWidth) const
{
    return star(bounds, strokeWidth, nullptr);
}

platform::BezierPath LBStarPolygon::star(const QRectF& bounds, double strokeWidth,
                                         QPointF* knob) const
{
    // Half the stroke keeps the outline inside; a further whole one keeps the mitred points.
    const QRectF r = insetBounds(bounds, 1.5 * strokeWidth);
    const QPointF c = r.center();
    const int n = int(_modifier1);
    const double step = 2.0 * std::numbers::pi / n;
    const double outer = std::min(r.width(), r.height()) / 2.0;
    const double inner = 2.0 * _modifier2 * outer;
    const auto at = [&c](double radius, double a) {
        return QPointF(c.x() + radius * std::cos(a), c.y() - radius * std::sin(a));
    };
    platform::BezierPath path;
    path.setLineWidth(strokeLineWidth());
    path.moveTo({c.x() + outer * std::cos(std::numbers::pi / 2.0), c.y() - outer});
    for (int i = 1; i <= n; ++i) {
        const double a = i * step + std::numbers::pi / 2.0;
        const QPointF innerCorner = at(inner, a - step / 2.0);
        path.lineTo(innerCorner);
        if (i == n && knob)
            *knob = innerCorner;
        path.lineTo(at(outer, a));
    }
    path.setLineJoinStyle(platform::BezierPath::LineJoin::Miter);
    finishOutline(path);
    return path;
}
