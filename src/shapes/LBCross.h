#pragma once

// A plus sign whose arms are modifier 1 × the shorter side thick (0.01 to 0.95). Knob 9 sits
// on the top-right inner corner; a drag measures the pointer against half the width, so on
// a shape wider than tall the knob moves more slowly than the pointer.

#include "shapes/LBModifiedShape.h"

class LBCross : public LBModifiedShape
{
public:
    LBCross();
    double minModifier1() const override { return 0.01; }
    double maxModifier1() const override { return 0.95; }

    qint64 knobMask() const override { return 0x1ff; }
    QPointF modifierKnob1Point() const override;
    qint64 moveModifierKnob(qint64 knob, const QPointF& toPoint,
                            bool constrainProportions) override;

protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;
};
