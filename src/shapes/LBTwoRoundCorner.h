#pragma once

// A corner variant of the rounded rectangle, running clockwise from a corner of the inset
// bounds. The two top corners rounded, the bottom ones square.

#include "shapes/LBRoundedRect.h"

class LBTwoRoundCorner : public LBRoundedRect
{
protected:
    void appendOutline(platform::BezierPath& path, const QRectF& r, double rho) const override;
};
