#pragma once

// An isosceles triangle whose apex points up, left, down or right (angle 0, 90, 180, 270),
// kept a whole stroke width inside the bounds; turned, never mirrored (see OrientedShape).

#include "shapes/OrientedShape.h"

class LBTriangle : public OrientedShape<LBShape>
{
public:
    // Left and right swap; up and down stay.
    void flipHorizontally() override { turn({0, 270, 180, 90}); }
    // Up and down swap; left and right stay.
    void flipVertically() override { turn({180, 90, 0, 270}); }

protected:
    QString angleKey() const override { return QStringLiteral("TriangleAngle"); }
    QList<QPointF> corners(const QRectF& bounds, double strokeWidth) const override;
};
