#include "shapes/LBGear.h"

#include <algorithm>
#include <cmath>
#include <numbers>

LBGear::LBGear()
{
    setModifier1(5.0);
    setModifier2(0.5);
}

QPointF LBGear::modifierKnob2Point() const
{
    QPointF knob;
    gear(bounds(), frameStrokeWidth(), &knob);
    return knob;
}

qint64 LBGear::moveModifierKnob(qint64 knob, const QPointF& toPoint, bool)
{
    setModifier2(2.0 * distanceFromCentreOverWidth(toPoint));
    return knob;
}

std::optional<platform::BezierPath> LBGear::outlineInBounds(const QRectF& bounds,
                                                            double strokeWidth) const
{
    return gear(bounds, strokeWidth, nullptr);
}

platform::BezierPath LBGear::gear(const QRectF& bounds, double strokeWidth, QPointF* knob) const
{
    const QRectF r = insetBounds(bounds, strokeWidth);
    const QPointF c = r.center();
    const int n = int(_modifier1);
    const double step = 2.0 * std::numbers::pi / n;
    const double q = step / 4.0;
    const double tip = std::min(r.width() / 2.0, r.height() / 2.0);
    const double root = _modifier2 * tip;
    const auto at = [&c](double radius, double a) {
        return QPointF(c.x() + radius * std::cos(a), c.y() - radius * std::sin(a));
    };
    platform::BezierPath path;
    path.setLineWidth(strokeWidth);
    path.moveTo({c.x() + tip, c.y()});
    for (int i = 1; i <= n; ++i) {
        const double a = i * step;
        const QPointF firstRoot = at(root, a - 3.0 * q);
        path.lineTo(firstRoot);
        if (i == n && knob)
            *knob = firstRoot;
        path.lineTo(at(root, a - 2.0 * q));
        path.lineTo(at(tip, a - q));
        path.lineTo(at(tip, a));
    }
    finishOutline(path);
    return path;
}
