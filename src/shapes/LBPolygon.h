#pragma once

// A regular polygon of modifier 1 sides (3 to 13, truncated) with its corners on the
// ellipse inscribed in the bounds: an odd one has a corner at the top and a horizontal
// bottom edge, one of four sides has horizontal and vertical edges. No modifier knob.

#include "shapes/LBModifiedShape.h"

class LBPolygon : public LBModifiedShape
{
public:
    LBPolygon();
    double minModifier1() const override { return 3.0; }
    double maxModifier1() const override { return 13.0; }

protected:
    QString modifier1TitleKey() const override { return QStringLiteral("Sides"); }
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;
};
