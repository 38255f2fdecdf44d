#pragma once

// A block arrow pointing right (a horizontal flip mirrors it in drawing): its head begins
// at modifier 1 × the width from the left (0.01 to 0.99), its shaft's edges lie modifier 2 ×
// the height from the top and the bottom (0.01 to 0.49). A variant other than 0 has heads
// at both ends, which needs the head to begin past the middle (modifier 1 at least 0.51).
// Knob 9, at the inner corner of the head on the shaft's top edge, sets both modifiers.

#include "shapes/LBModifiedShape.h"

class LBArrow : public LBModifiedShape
{
public:
    LBArrow();
    // The range is read at every set, so a variant's minimum lifts the value at the next
    // one.
    // Any variant but the ordinary one has heads at both ends.
    enum : qint64 { DoubleHeaded = 1 };
    double minModifier1() const override { return _alternateShape != OrdinaryShape ? 0.51 : 0.01; }
    double maxModifier1() const override { return 0.99; }
    double minModifier2() const override { return 0.01; }
    double maxModifier2() const override { return 0.49; }

    qint64 knobMask() const override { return 0x1ff; }
    // Mirrored with the graphic.
    QPointF modifierKnob1Point() const override;
    qint64 moveModifierKnob(qint64 knob, const QPointF& toPoint,
                            bool constrainProportions) override;

protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;
};
