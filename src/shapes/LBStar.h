#pragma once

// A five-pointed star drawn as a pentagram: the corners of a regular pentagon on the
// ellipse of the bounds, each joined to the next but one, so the outline crosses itself.
// The top point lies on the top edge.

#include "shapes/LBShape.h"

class LBStar : public LBShape
{
protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;
};
