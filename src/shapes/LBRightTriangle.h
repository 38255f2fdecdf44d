#pragma once

// A right triangle whose right angle lies at the bottom right, top right, bottom
// left or top left corner (angle 0, 90, 180, 270). It is turned, never mirrored: the flips change
// the angle and leave the flip flags alone. Any other angle (from a stored graphic) draws
// nothing and beeps once.

#include "shapes/LBShape.h"

class LBRightTriangle : public LBShape
{
public:
    std::shared_ptr<LBGraphic> copy() const override;
    // "RightTriangleAngle" ("%ld") after the shape's keys.
    QVariantMap propertyListRepresentation() const override;
    void loadPropertyListRepresentation(const QVariantMap& dictionary) override;

    // Degrees: 0, 90, 180 or 270. Undoable and announced.
    qint64 angle() const { return _angle; }
    void setAngle(qint64 angle);
    // The right angle moves to the other side.
    void flipHorizontally() override;
    // The right angle moves to the other end.
    void flipVertically() override;

protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;

private:
    qint64 _angle = 0;
};
