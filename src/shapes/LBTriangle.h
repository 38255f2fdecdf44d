#pragma once

// An isosceles triangle whose apex points up, left, down or right (angle 0, 90,
// 180, 270), kept a whole stroke width inside the bounds. It is turned, never mirrored: the flips change
// the angle and leave the flip flags alone. Any other angle (from a stored graphic) draws
// nothing and beeps once.

#include "shapes/LBShape.h"

class LBTriangle : public LBShape
{
public:
    std::shared_ptr<LBGraphic> copy() const override;
    // "TriangleAngle" ("%ld") after the shape's keys.
    QVariantMap propertyListRepresentation() const override;
    void loadPropertyListRepresentation(const QVariantMap& dictionary) override;

    // Degrees: 0, 90, 180 or 270. Undoable and announced.
    qint64 angle() const { return _angle; }
    void setAngle(qint64 angle);
    // Left and right swap; up and down stay.
    void flipHorizontally() override;
    // Up and down swap; left and right stay.
    void flipVertically() override;

protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;

private:
    qint64 _angle = 0;
};
