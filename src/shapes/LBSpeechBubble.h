#pragma once

// A speech bubble: a box with rounded corners around the bounds, reaching 9 points past
// them, with a tail at its lower right.

#include "shapes/LBShape.h"

class LBSpeechBubble : public LBShape
{
public:
    // The bubble around rect, with the fixed sizes of the outline in points. With flipped
    // the tail is at the top: for drawing in coordinates whose y grows upwards. The path
    // keeps the default line attributes.
    static platform::BezierPath leftSpeechBubbleAroundRect(const QRectF& rect, bool flipped);

protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;
};
