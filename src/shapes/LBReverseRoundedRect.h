#pragma once

// A corner variant of the rounded rectangle, running clockwise from a corner of the inset
// bounds. Every corner notched: a concave quarter circle centred on the corner.

#include "shapes/LBRoundedRect.h"

class LBReverseRoundedRect : public LBRoundedRect
{
protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;
};
