#include "shapes/LBWedge.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The point at `degrees` (the path's angles: from +x towards +y, which points down) on the
// circle about the centre of rect.
QPointF onCircle(const QRectF& rect, double radius, double degrees)
{
    const double a = degrees * std::numbers::pi / 180.0;
    return rect.center() + radius * QPointF(std::cos(a), std::sin(a));
}

} // namespace

LBWedge::LBWedge()
{
    setModifier1(90.0);
    setModifier2(90.0);
}

QPointF LBWedge::modifierKnob1Point() const
{
    const QRectF b = bounds();
    return onCircle(b, b.width() / 2.0, _modifier2 / 2.0 - _modifier1);
}

QPointF LBWedge::modifierKnob2Point() const
{
    const QRectF b = bounds();
    return onCircle(b, b.width() / 4.0, _modifier2 - _modifier1);
}

double LBWedge::bearing(const QPointF& point, const QRectF& rect)
{
    const QPointF c = rect.center();
    // Up is -y on the screen; the centre itself gives atan2(0, 0) = 0.
    const double degrees =
        std::atan2(point.x() - c.x(), c.y() - point.y()) * 180.0 / std::numbers::pi;
    return degrees < 0.0 ? degrees + 360.0 : degrees;
}

qint64 LBWedge::moveModifierKnob(qint64 knob, const QPointF& toPoint, bool)
{
    const double beta = bearing(toPoint, bounds());
    if (knob == 10) {
        // The clockwise turn from the start to the pointer.
        const double start = 450.0 - _modifier1;
        setModifier2(beta < start ? beta - start + 360.0 : beta - start);
    } else if (knob == 9) {
        double start = _modifier2 / 2.0 + 450.0 - beta;
        while (start > 450.0)
            start -= 360.0;
        setModifier1(start);
    }
    return knob;
}

std::optional<platform::BezierPath> LBWedge::outlineInBounds(const QRectF& bounds,
                                                             double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth);
    platform::BezierPath path;
    path.setLineWidth(strokeWidth);
    path.moveTo(r.center());
    path.setLineJoinStyle(platform::BezierPath::LineJoin::Miter);
    // The arc starts with a line from the centre.
    path.appendBezierPathWithArcWithCenter(r.center(), std::min(r.width(), r.height()) / 2.0,
                                           -_modifier1, _modifier2 - _modifier1);
    finishOutline(path);
    return path;
}
