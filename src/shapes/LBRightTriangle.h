#pragma once

// A right triangle whose right angle lies at the bottom right, top right, bottom left or
// top left corner (angle 0, 90, 180, 270); turned, never mirrored (see OrientedShape).

#include "shapes/OrientedShape.h"

class LBRightTriangle : public OrientedShape<LBShape>
{
public:
    // The right angle moves to the other side: 0 and 180 swap, and 90 and 270.
    void flipHorizontally() override { turn({180, 270, 0, 90}); }
    // The right angle moves to the other end: 0 and 90 swap, and 180 and 270.
    void flipVertically() override { turn({90, 0, 270, 180}); }

protected:
    QString angleKey() const override { return QStringLiteral("RightTriangleAngle"); }
    QList<QPointF> corners(const QRectF& bounds, double strokeWidth) const override;
};
