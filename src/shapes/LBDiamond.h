#pragma once

// A diamond with its corners on the middles of the sides.

#include "shapes/LBShape.h"

class LBDiamond : public LBShape
{
protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;
};
