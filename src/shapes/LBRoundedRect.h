#pragma once

// A rectangle with rounded corners of radius modifier 1 × the shorter side (0.01 to 0.5).
// Knob 9 on the right edge sets the ratio by its height below the top. Variant 1 has fully
// rounded ends (the ratio 0.5) and no knob.
//
// The corner variants derive from it: they share the knob, its drag, the radius, the
// inset and the line width, and set only their own corners.

#include "shapes/LBModifiedShape.h"

class LBRoundedRect : public LBModifiedShape
{
public:
    LBRoundedRect();
    double minModifier1() const override { return 0.01; }
    double maxModifier1() const override { return 0.5; }
    enum : qint64 { RoundedEnds = 1 };
    // The rounded ends set the ratio to 0.5.
    void setAlternateShape(qint64 variant) override;

    qint64 knobMask() const override { return _alternateShape != OrdinaryShape ? 0xff : 0x1ff; }
    QPointF modifierKnob1Point() const override;
    qint64 moveModifierKnob(qint64 knob, const QPointF& toPoint,
                            bool constrainProportions) override;

protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const final;
    // Adds the sides and corners of r (the bounds inset by half the stroke), whose round
    // corners have radius rho, to the path; it is closed afterwards.
    virtual void appendOutline(platform::BezierPath& path, const QRectF& r, double rho) const;
};
