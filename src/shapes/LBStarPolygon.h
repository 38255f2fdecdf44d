#pragma once

// A star of modifier 1 points (3 to 25, truncated) whose inner corners lie at modifier 2 ×
// the shorter side from the centre (0.005 to 0.45), laid out from the top point
// counter-clockwise on the screen, with mitred points kept inside the bounds. Knob 10 sits
// on the inner corner just right of the top point; its distance from the centre over the
// width sets modifier 2. Variant 1 is the classic five-pointed star.

#include "shapes/LBModifiedShape.h"

class LBStarPolygon : public LBModifiedShape
{
public:
    LBStarPolygon();
    double minModifier1() const override { return 3.0; }
    double maxModifier1() const override { return 25.0; }
    double minModifier2() const override { return 0.005; }
    double maxModifier2() const override { return 0.45; }
    enum : qint64 { ClassicStar = 1 };
    // The classic star: five points, inner ratio 0.6 / pi.
    void setAlternateShape(qint64 variant) override;

    qint64 knobMask() const override { return 0x2ff; }
    // Where the outline in the bounds puts its last inner corner.
    QPointF modifierKnob2Point() const override;
    qint64 moveModifierKnob(qint64 knob, const QPointF& toPoint,
                            bool constrainProportions) override;

protected:
    QString modifier1TitleKey() const override { return QStringLiteral("Points"); }
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;

private:
    // The outline, and where it puts knob 10 when knob is given.
    platform::BezierPath star(const QRectF& bounds, double strokeWidth, QPointF* knob) const;
};
