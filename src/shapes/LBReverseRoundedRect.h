#pragma once

// A corner variant of the rounded rectangle, running clockwise from a corner of the inset
// bounds. Every corner notched: a concave quarter circle centred on the corner.

#include "shapes/LBRoundedRect.h"

class LBReverseRoundedRect : public LBRoundedRect
{
protected:
    void appendOutline(platform::BezierPath& path, const QRectF& r, double rho) const override;
};
