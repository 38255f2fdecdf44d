#pragma once

// A rectangle whose left and right ends bulge out by modifier 1 × the shorter side (0.01
// to 0.5). Knob 9 on the top edge sets it by its distance from the right edge over the
// width.

#include "shapes/LBModifiedShape.h"

class LBArcEndRect : public LBModifiedShape
{
public:
    LBArcEndRect();
    double minModifier1() const override { return 0.01; }
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
