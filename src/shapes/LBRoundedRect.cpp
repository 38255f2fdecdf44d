#include "shapes/LBRoundedRect.h"

#include <algorithm>

LBRoundedRect::LBRoundedRect()
{
    setModifier1(0.25);
}

void LBRoundedRect::setAlternateShape(qint64 variant)
{
    LBModifiedShape::setAlternateShape(variant);
    if (variant == RoundedEnds)
        setModifier1(0.5);
}

QPointF LBRoundedRect::modifierKnob1Point() const
{
    const QRectF b = bounds();
    return {b.right(), b.top() + _modifier1 * b.height()};
}

qint64 LBRoundedRect::moveModifierKnob(qint64 knob, const QPointF& toPoint, bool)
{
    const QRectF b = bounds();
    setModifier1((toPoint.y() - b.top()) / b.height());
    return knob;
}

std::optional<platform::BezierPath> LBRoundedRect::outlineInBounds(const QRectF& bounds,
                                                                   double strokeWidth) const
{
    const QRectF r = insetBounds(bounds, strokeWidth / 2.0);
    platform::BezierPath path;
    path.setLineWidth(strokeLineWidth());
    appendOutline(path, r, _modifier1 * std::min(r.width(), r.height()));
    finishOutline(path);
    return path;
}

void LBRoundedRect::appendOutline(platform::BezierPath& path, const QRectF& r, double rho) const
{
    // The corners of the inner rectangle are the arcs' centres.
    const QRectF inner = insetBounds(r, rho);
    path.moveTo({r.left(), r.top() + rho});
    path.appendBezierPathWithArcWithCenter(inner.topLeft(), rho, 180.0, 270.0);
    path.relativeLineTo({inner.width(), 0.0});
    path.appendBezierPathWithArcWithCenter(inner.topRight(), rho, 270.0, 360.0);
    path.relativeLineTo({0.0, inner.height()});
    path.appendBezierPathWithArcWithCenter(inner.bottomRight(), rho, 0.0, 90.0);
    path.relativeLineTo({-inner.width(), 0.0});
    path.appendBezierPathWithArcWithCenter(inner.bottomLeft(), rho, 90.0, 180.0);
}
