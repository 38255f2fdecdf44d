#pragma once

// The ellipse inscribed in the bounds. Turned, it reports the tight bounds of the turned
// ellipse rather than those of the turned rectangle.

#include "shapes/LBShape.h"

class LBCircle : public LBShape
{
public:
    QRectF rotatedBounds() const override;

protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;
};
