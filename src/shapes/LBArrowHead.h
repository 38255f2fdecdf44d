#pragma once

// An arrow head with a notch in its back, modifier 1 × its length deep (0 to 0.95; 0 a plain
// triangle), pointing up, left, down or right (angle 0, 90, 180, 270); turned, never
// mirrored (see OrientedShape). Knob 9 sits in the notch.

#include "shapes/LBModifiedShape.h"
#include "shapes/OrientedShape.h"

class LBArrowHead : public OrientedShape<LBModifiedShape>
{
public:
    LBArrowHead();

    double minModifier1() const override { return 0.0; }
    double maxModifier1() const override { return 0.95; }

    // Left and right swap; up and down stay.
    void flipHorizontally() override { turn({0, 270, 180, 90}); }
    // Up and down swap; left and right stay.
    void flipVertically() override { turn({180, 90, 0, 270}); }

    qint64 knobMask() const override { return 0x1ff; }
    // In the notch; (0, 0) for an unknown angle, whose drag sets 0.
    QPointF modifierKnob1Point() const override;
    qint64 moveModifierKnob(qint64 knob, const QPointF& toPoint,
                            bool constrainProportions) override;

protected:
    QString angleKey() const override { return QStringLiteral("ArrowHeadAngle"); }
    // The first barb, the tip, the second barb and the notch.
    QList<QPointF> corners(const QRectF& bounds, double strokeWidth) const override;
};
