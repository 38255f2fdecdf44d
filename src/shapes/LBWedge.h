#pragma once

// A pie slice of the circle in the bounds: modifier 1 is where it starts (90 to 450
// degrees, 90 and 450 at the top), modifier 2 how far it sweeps clockwise on the screen (0
// to 360 degrees). Knob 9 sits on the middle of the arc and turns the slice without
// changing its sweep; knob 10 on the closing edge sets the sweep.

#include "shapes/LBModifiedShape.h"

class LBWedge : public LBModifiedShape
{
public:
    LBWedge();
    double minModifier1() const override { return 90.0; }
    double maxModifier1() const override { return 450.0; }
    double minModifier2() const override { return 0.0; }
    double maxModifier2() const override { return 360.0; }
    bool hasModifier2() const override { return true; }

    qint64 knobMask() const override { return 0x3ff; }
    QPointF modifierKnob1Point() const override;
    QPointF modifierKnob2Point() const override;
    qint64 moveModifierKnob(qint64 knob, const QPointF& toPoint,
                            bool constrainProportions) override;

    // The pointer's bearing about the centre of rect: degrees clockwise on the screen from
    // straight up, 0 to below 360 (the centre itself is 0).
    static double bearing(const QPointF& point, const QRectF& rect);

protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;
};
