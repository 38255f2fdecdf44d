#pragma once

// An arrow head with a notch in its back, modifier 1 × its length deep (0 to 0.95; 0 a plain
// triangle), pointing up, left, down or right (angle 0, 90, 180, 270). The shape is turned,
// never mirrored: the flips change the angle and leave the flip flags alone. Any other
// angle (from a stored graphic) draws nothing and beeps once.

#include "shapes/LBModifiedShape.h"

class LBArrowHead : public LBModifiedShape
{
public:
    LBArrowHead();
    std::shared_ptr<LBGraphic> copy() const override;
    // "ArrowHeadAngle" ("%ld") after the modified shape's keys.
    QVariantMap propertyListRepresentation() const override;
    void loadPropertyListRepresentation(const QVariantMap& dictionary) override;

    double minModifier1() const override { return 0.0; }
    double maxModifier1() const override { return 0.95; }

    // Degrees: 0 up, 90 left, 180 down, 270 right. Undoable and announced.
    qint64 angle() const { return _angle; }
    void setAngle(qint64 angle);
    // Left and right swap; up and down stay.
    void flipHorizontally() override;
    // Up and down swap; left and right stay.
    void flipVertically() override;

    qint64 knobMask() const override { return 0x1ff; }
    // In the notch; (0, 0) for an unknown angle.
    QPointF modifierKnob1Point() const override;
    qint64 moveModifierKnob(qint64 knob, const QPointF& toPoint,
                            bool constrainProportions) override;

protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;

private:
    qint64 _angle = 0;
};
