#pragma once

// A half ellipse standing on the bottom edge, its curve touching the top edge in the middle.
// Its natural size is twice as wide as high.

#include "shapes/LBShape.h"

class LBSemiCircle : public LBShape
{
public:
    // Keeps the origin and shrinks the larger side to the 2:1 ratio, undoably.
    void makeNaturalSize() override;

protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;
};
