#pragma once

// A toothed wheel of modifier 1 teeth (3 to 25, truncated) whose root circle has modifier 2
// × the tip radius (0.01 to 0.95); each tooth is a quarter step down a flank, along the
// root, up a flank and along the tip, in straight chords. Knob 10 sits on the last root
// corner; twice its distance from the centre over the width sets modifier 2.

#include "shapes/LBModifiedShape.h"

class LBGear : public LBModifiedShape
{
public:
    LBGear();
    double minModifier1() const override { return 3.0; }
    double maxModifier1() const override { return 25.0; }
    double minModifier2() const override { return 0.01; }
    double maxModifier2() const override { return 0.95; }
    bool hasModifier2() const override { return true; }

    qint64 knobMask() const override { return 0x2ff; }
    // Where the outline in the bounds puts its last root corner.
    QPointF modifierKnob2Point() const override;
    qint64 moveModifierKnob(qint64 knob, const QPointF& toPoint,
                            bool constrainProportions) override;

protected:
    QString modifier1TitleKey() const override { return QStringLiteral("Sides"); }
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;

private:
    // The outline, and where it puts knob 10 when knob is given.
    platform::BezierPath gear(const QRectF& bounds, double strokeWidth, QPointF* knob) const;
};
