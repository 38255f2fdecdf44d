#pragma once

// The flow-chart document: a page with a wavy bottom edge.

#include "shapes/LBShape.h"

class LBFlowDocument : public LBShape
{
protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;
};
