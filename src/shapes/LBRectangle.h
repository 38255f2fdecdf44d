#pragma once

// A plain rectangle.

#include "shapes/LBShape.h"

class LBRectangle : public LBShape
{
protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;
};
