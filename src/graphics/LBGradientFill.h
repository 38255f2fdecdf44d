#pragma once

// A two-colour gradient painted into a rectangle of the current graphics context: linear
// (type 2, reflected about the position when that is below 1) or radial (type 3, and any
// other type). The caller clips to the outline or the glyphs first, then asks for the
// rectangle.
//
// The geometry is kept in pure static functions (angle reduction, one shading's points,
// the whole drawing plan) so it can be checked number by number; drawing only paints
// what the plan says.

#include <QColor>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QtGlobal>

#include <optional>

class LBGradientFill
{
public:
    // One shading. Linear: from startPoint (start colour) to centerPoint (end colour),
    // not extended beyond either end. Radial: around centerPoint, the start colour from
    // radius outwards, the end colour within centre size × radius.
    struct Shading
    {
        QPointF startPoint;
        QPointF centerPoint;
        double radius = 0.0;
    };

    // The strip between the lines across the axis through `from` and `to`, painted in
    // the end colour: the centre band a linear gradient's shadings leave between them.
    struct Band
    {
        QPointF from;
        QPointF to;
    };

    struct Plan
    {
        QList<Shading> shadings; // in drawing order
        std::optional<Band> centerBand;
    };

    // The gradient angle brought to θ in [0, 90] degrees, with the position reversed
    // (p' = 1 - p) and/or the picture mirrored left to right.
    struct AngleReduction
    {
        double theta = 0.0;
        bool reversed = false;
        bool mirrored = false;
    };

    LBGradientFill();

    void setGradientType(qint64 gradientType, double gradientCenter, double gradientCenterSize,
                         double gradientAngle);
    // Kept as calibrated RGB; an invalid colour counts as transparent black.
    void setStartColor(const QColor& startColor, const QColor& endColor);

    qint64 gradientType() const { return _gradientType; }
    double gradientCenter() const { return _gradientCenter; } // -1: unset
    double gradientCenterSize() const { return _gradientCenterSize; }
    double gradientAngle() const { return _gradientAngle; }
    QColor startColor() const { return _startColor; }
    QColor endColor() const { return _endColor; }

    // Paints the gradient for rect into the current context (nothing without one).
    void drawGradientInRect(const QRectF& rect) const;

    // The points (and, for every type but 2, the radius) of one shading whose end colour
    // sits at position `center` of `bounds`, for this fill's type and angle.
    void calculateGradientStartPoint(QPointF& startPoint, QPointF& centerPoint, double& radius,
                                     double center, const QRectF& bounds) const;

    // Paints one shading with this fill's colours into the current context.
    void drawGradientFromStartPoint(const QPointF& startPoint, const QPointF& toCenterPoint,
                                    double radius) const;

    // --- Pure geometry ---
    static AngleReduction reduceAngle(double gradientAngle);
    static Shading shadingGeometry(qint64 gradientType, double gradientAngle, double position,
                                   const QRectF& bounds);
    static Plan planForRect(qint64 gradientType, double gradientCenter, double gradientCenterSize,
                            double gradientAngle, const QRectF& rect);

private:
    qint64 _gradientType = 2;
    double _gradientCenter = -1.0;
    double _gradientCenterSize = 0.0;
    double _gradientAngle = 0.0;
    QColor _startColor;
    QColor _endColor;
};
