#pragma once

// A cloud of six bulges through fixed fractions of the bounds.

#include "shapes/LBShape.h"

class LBCloud : public LBShape
{
protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;
};
