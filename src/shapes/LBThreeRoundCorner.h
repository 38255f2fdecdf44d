#pragma once

// A corner variant of the rounded rectangle, running clockwise from a corner of the inset
// bounds. Every corner but the top-left one rounded.

#include "shapes/LBRoundedRect.h"

class LBThreeRoundCorner : public LBRoundedRect
{
protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;
};
