#pragma once

// A corner variant of the rounded rectangle, running clockwise from a corner of the inset
// bounds. The top-right corner rounded, the others square; the ratio may reach 0.99.

#include "shapes/LBRoundedRect.h"

class LBOneRoundCorner : public LBRoundedRect
{
public:
    double maxModifier1() const override { return 0.99; }

protected:
    void appendOutline(platform::BezierPath& path, const QRectF& r, double rho) const override;
};
