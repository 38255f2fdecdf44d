#pragma once

// A trapezoid standing on its long bottom edge, its top corners inset by modifier 1 × the
// width (0 a rectangle, 0.5 a triangle). Knob 9 on the top edge sets the inset by its
// distance from the right edge over the width.

#include "shapes/LBModifiedShape.h"

class LBIsocelesTrapezoid : public LBModifiedShape
{
public:
    LBIsocelesTrapezoid();
    double minModifier1() const override { return 0.0; }
    double maxModifier1() const override { return 0.5; }

    qint64 knobMask() const override { return 0x1ff; }
    // On the top edge, modifier 1 × the width left of the right edge.
    QPointF modifierKnob1Point() const override { return knobOnTopEdgeFromRight(); }
    qint64 moveModifierKnob(qint64 knob, const QPointF& toPoint, bool) override
    {
        return moveKnobOnTopEdgeFromRight(knob, toPoint);
    }

protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;
};
