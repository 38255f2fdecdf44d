#pragma once

// The straight line. Its bounds fix it: horizontal or vertical through the middle of the
// bounds, or along one of their two diagonals, as its angle says (0, 45, 90 or 135; any
// other stored angle behaves as 0 and is kept to be written back). Either end may carry an
// arrow head of one of eleven styles, centred on the end point in a square of side
// size × (stroke width + 6). The base drawing strokes the outline and asks the line for its
// heads; the curved line (LBCurvedLine) builds its heads with the same geometry.

#include "shapes/LBShape.h"

#include <QPointF>
#include <QRectF>

#include <optional>

class LBLine : public LBShape
{
public:
    // The arrow-head styles of a line end, as stored.
    enum ArrowType : qint64 {
        NoArrow = 0,
        TriangleArrow = 1, // filled with the stroke colour
        WhiteTriangleArrow = 2,
        BarbedArrow = 3, // notched back, filled with the stroke colour
        OpenArrow = 4,   // two barbs and a centre line, never filled
        CircleArrow = 5,
        WhiteCircleArrow = 6,
        SquareArrow = 7,
        WhiteSquareArrow = 8,
        DiamondArrow = 9,
        WhiteDiamondArrow = 10,
        BarArrow = 11, // a bar across the line, never filled
    };

    std::shared_ptr<LBGraphic> copy() const override;
    // "LineAngle", "LineStartsAtLowerLeft", the two types and the two sizes after the
    // shape's keys.
    QVariantMap propertyListRepresentation() const override;
    void loadPropertyListRepresentation(const QVariantMap& dictionary) override;

    // --- Direction and ends ---
    // 0 horizontal, 45 from the lower-left to the upper-right corner, 90 vertical, 135 from
    // the upper-left to the lower-right corner. A plain store: no undo, no redraw.
    qint64 angle() const { return _angle; }
    void setAngle(qint64 angle) { _angle = angle; }
    // Which end of the direction is the start; without it (the default) the ends of the
    // table are exchanged, so a new horizontal line starts at its right end. Redraws when it
    // changes; no undo.
    bool startsAtLowerLeft() const { return _startsAtLowerLeft; }
    void setStartsAtLowerLeft(bool startsAtLowerLeft);
    // The two ends in the bounds.
    void startPoint(QPointF* startPoint, QPointF* endPoint) const;
    double lineLength() const;
    // Resizes the bounds (undoably) so the line is `length` long in its direction: the width
    // or height of a straight line; a diagonal keeps its slope, the 45-degree one its
    // bottom edge, the 135-degree one its origin.
    void setLineLength(double length);

    // Mirroring changes which end is where, never the flip flags: horizontally the start
    // is exchanged and the two diagonals swap; vertically only the diagonals swap. Both
    // record undo and redraw.
    void flipHorizontally() override;
    void flipVertically() override;

    // --- Arrow heads ---
    qint64 arrow1Type() const override { return _arrow1Type; }
    qint64 arrow2Type() const override { return _arrow2Type; }
    double arrow1Size() const override { return _arrow1Size; }
    double arrow2Size() const override { return _arrow2Size; }
    // Undoable and redrawn; an equal value does nothing.
    void setArrow1Type(qint64 type);
    void setArrow2Type(qint64 type);
    void setArrow1Size(double size);
    void setArrow2Size(double size);
    void setArrowSizesForRendering(double arrow1Size, double arrow2Size) override;
    // Head 1 at the end point, head 2 at the start point, each pointing away from the other
    // end, with the stroke width as line width; none for type 0.
    virtual void arrow1Path(std::optional<platform::BezierPath>* arrow1Path,
                            std::optional<platform::BezierPath>* arrow2Path) const;
    // A head of `type` centred on *point in a square of side `size`, turned so it points
    // from `relativeToPoint` towards *point; none for type 0. With slideArrow (no caller
    // asks for it) the head and *point move back along the line so the stroked outline ends
    // near the point given.
    std::optional<platform::BezierPath> arrowPathForPoint(QPointF* point,
                                                          const QPointF& relativeToPoint,
                                                          qint64 arrowType, double arrowSize,
                                                          bool slideArrow) const;
    // Fills (types 1, 3, 5, 7, 9 in the stroke colour, 2, 6, 8, 10 in white; 4 and 11 never)
    // and strokes both heads, with the graphic's shadow when drawShadow.
    void drawArrowsInView(CanvasView* view, bool drawShadow) override;

    // --- Capabilities, knobs and extents ---
    bool canDrawFill() const override { return false; }
    bool hasNaturalSize() const override { return false; }
    // After a resize: both head sizes times the factor (and the text it carries), recorded
    // so undoing the resize brings the heads back.
    void scaleOtherSettingsByFactor(double factor) override;
    // The two knobs at the ends; all eight while grouped.
    qint64 knobMask() const override;
    // Grown on every side by the larger of stroke width × size of each head drawn.
    QRectF drawingBounds() const override;
    QRectF shadowDrawingBoundsWithHandles(bool withHandles) const override;
    // The outline and heads, turned with the graphic; a line without width or height is
    // widened by half the stroke width to each side.
    QRectF rotatedBounds() const override;

    // The head size's unit: stroke width + 6 points.
    double arrowUnit() const { return strokeLineWidth() + 6.0; }

protected:
    // The segment from the start to the end point in `bounds`, with the stroke width and
    // the drawing dash.
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;
    // The direction the ends follow: the stored angle, or 0 for one that is none of the
    // four.
    qint64 effectiveAngle() const;
    // The larger of stroke width × size of each head drawn.
    double arrowExtent() const;

private:
    void endPointsInBounds(const QRectF& bounds, QPointF* start, QPointF* end) const;

    bool _startsAtLowerLeft = false;
    qint64 _angle = 0;
    qint64 _arrow1Type = NoArrow;
    qint64 _arrow2Type = NoArrow;
    double _arrow1Size = 1.0;
    double _arrow2Size = 1.0;
};

using LBLinePtr = std::shared_ptr<LBLine>;
