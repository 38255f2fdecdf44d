#pragma once

// A corner variant of the rounded rectangle, running clockwise from a corner of the inset
// bounds. Every corner but the top-left one rounded.

#include "shapes/LBRoundedRect.h"

class LBThreeRoundCorner : public LBRoundedRect
{
protected:
    void appendOutline(platform::BezierPath& path, const QRectF& r, double rho) const override;
};
