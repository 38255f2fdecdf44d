#pragma once

// The free curve: anchor points joined by cubic segments, open or closed, each point with
// two handles: handle 1 the incoming one (the second control point of the segment that ends
// at the point), handle 2 the outgoing one (the first control point of the segment that
// starts there). A handle on its point counts as absent (collapsed).
//
// Points and handles are kept relative to the bounds, as unit coordinates
// ((x - bounds.x) / width, (y - bounds.y) / height), so moving or resizing the graphic moves
// or stretches the curve. After every change of a point or handle the bounds are fitted to
// the curve again (at least 8 points wide and high), without undo or announcement, keeping
// every point where it is on the page. The handle pair of point i is a rectangle whose
// origin is handle 1 and whose size part holds handle 2 (a second point, not a size), as
// it is stored.
//
// Open curves carry the straight line's arrow heads along their end tangents. The
// selection of points and handles lives in the curve; it is neither stored nor copied.

#include "shapes/LBLine.h"

#include <QList>
#include <QPointF>
#include <QRectF>

class LBCurvedLine : public LBLine
{
public:
    LBCurvedLine() = default;

    std::shared_ptr<LBGraphic> copy() const override;
    // "ControlPoints" (point texts), "ModifierRects" (rectangle texts) and "ClosedPath"
    // after the line's keys.
    QVariantMap propertyListRepresentation() const override;
    void loadPropertyListRepresentation(const QVariantMap& dictionary) override;

    bool isEditable() const override { return true; }
    bool canDrawFill() const override { return true; }
    // The eight resize knobs and the curve's mark (0x400, which the knob tests pass over).
    qint64 knobMask() const override { return 0x4ff; }

    // --- Points and handles ---
    qsizetype numControlPoints() const { return _controlPoints.size(); }
    // The stored unit point, or with convert its place on the page.
    QPointF controlPointAtIndex(qsizetype index, bool convertToViewCoordinates) const;
    // The stored unit handle pair, or with convert both handles on the page.
    QRectF modifierRectAtIndex(qsizetype index, bool convertToViewCoordinates) const;
    // The lists themselves (unit coordinates); the setters replace them without undo.
    const QList<QPointF>& controlPoints() const { return _controlPoints; }
    const QList<QRectF>& modifierRects() const { return _modifierRects; }
    void setControlPoints(const QList<QPointF>& points);
    void setModifierRects(const QList<QRectF>& rects);

    // Appends a point at the page point with both handles on it.
    void addControlPointAndModifiersAtPoint(const QPointF& point);
    // Inserts a point and its pair (unit coordinates) at index; undone by removing it.
    void insertControlPoint(const QPointF& point, const QRectF& modifierRect, qsizetype atIndex);
    // Replaces the pair of a point (unit coordinates); undone by putting the old one back.
    void setModifierRect(const QRectF& modifierRect, qsizetype forControlPointAtIndex);
    // With no handle selected, removes the point and its pair; with one selected, only
    // collapses that handle. Nothing for an index past the points.
    void removeControlPointOrModifierAtIndex(qsizetype index);
    // Collapses handle 1 and/or handle 2 onto the point.
    void removeFirstModifier(bool firstModifier, bool secondModifier,
                             qsizetype forControlPointAtIndex);
    // Moves a point to a page point, its handles with it.
    void moveControlPointAtIndex(qsizetype index, const QPointF& toPoint);
    void moveControlPointAtIndex(qsizetype index, double byH, double byV);
    // Moves handle 0 (handle 1) or 1 (handle 2) of a point to a page point; the other handle
    // goes to the opposite side of the point on the same line, at the same distance with
    // keepSameDistance, else at its own (a collapsed one stays collapsed). A handle moved
    // onto its point collapses the other too with keepSameDistance, and leaves it otherwise.
    void moveModifier(qint64 modifier, qsizetype atIndex, const QPointF& toPoint,
                      bool keepSameDistance);
    // Smooths a point with a collapsed handle: the handle that is out (or, with both
    // collapsed, one 72 points to the right) is mirrored through the point. Undone by
    // collapsing again.
    void resetModifiersForControlPoint(qsizetype index);

    // --- Closed curve ---
    bool closedPath() const { return _closedPath; }
    // Undoable and redrawn.
    void setClosedPath(bool closedPath);

    // --- Selection ---
    // The selected points, ascending; the canvas reads and clears it.
    QList<qsizetype>& selectedControlPoints() { return _selectedPoints; }
    const QList<qsizetype>& selectedControlPoints() const { return _selectedPoints; }
    void selectControlPointAtIndex(qsizetype index, bool clearSelection, bool resetModifiers);
    // The selected handle of the selected points: 0 handle 1, 1 handle 2, -1 none.
    qint64 selectedModifier() const { return _selectedModifier; }
    void selectModifier(qint64 modifier);
    // The first point whose square (4 + 1 screen points to each side, turned with the
    // graphic) holds the page point, or -1; always -1 while grouped.
    qsizetype controlPointUnderPoint(const QPointF& point) const;
    // The first handle of the selected points that the point hits, in index order, handle 1
    // before handle 2 (collapsed ones are passed over); *isFirstModifier tells which.
    qsizetype modifierPointUnderPoint(const QPointF& point, bool* isFirstModifier) const;
    bool movingBezierPoint() const { return _movingBezierPoint; }
    void setMovingBezierPoint(bool moving) { _movingBezierPoint = moving; }
    bool includeModifierRectsInBounds() const { return _includeModifierRectsInBounds; }
    void setIncludeModifierRectsInBounds(bool include) { _includeModifierRectsInBounds = include; }

    // --- Outline, bounds and drawing ---
    // The outline (bezierPathForStrokeWidth()): the cubic segments through the points, with
    // the given line width and the drawing dash, closed (a last segment back to the first
    // point) when the curve is closed and has more than one point. One point gives only its
    // move; no points, no outline.
    // The outline's bounds (all its control points with the flag, the drawn curve without)
    // with the heads, at least 8 points wide and high; with the flag also the handles of the
    // first and the last point.
    QRectF bezierPathBoundsWithModifierRects(bool withModifierRects) const;
    // Fits the bounds to the curve (bezierPathBoundsWithModifierRects(false)) without undo or
    // announcement, keeping every point and handle where it is on the page.
    void updateBounds();
    // Re-expresses every point and handle in unit coordinates of `newBounds`.
    void updateAllPointsForNewBounds(const QRectF& newBounds);
    QRectF rotatedDrawingBounds() const override;

    // Head 1 on the first point, head 2 on the last, each along its end tangent; none for a
    // closed curve or one of fewer than two points.
    void arrow1Path(std::optional<platform::BezierPath>* arrow1Path,
                    std::optional<platform::BezierPath>* arrow2Path) const override;

    // The resize knobs unless a point is dragged, then the points and handles unless the
    // curve is grouped or its bounds are being dragged.
    void drawHandlesInView(CanvasView* view, const QRectF& drawRect) override;
    // Unselected points with the modifier-knob look; a selected point with its handles, the
    // lines to them, and its own knob ("Knob1" to "Knob4"). Nothing while grouped or locked.
    void drawControlAndModifierPointsInView(CanvasView* view);
    // A curve of one point is the "Knob1" picture; any other the base class's picture, with
    // the bounds fitted to the curve alone.
    ImagePtr copyToImageWithScale(double scale, double alphaScaleFactor, bool flipVertically,
                                  bool isTextBox) override;

    // --- Flips: every point and handle mirrored in the bounds (and a fill picture with
    // them), undoable. With points selected the selection is cleared at once and the flip
    // runs 0.05 seconds later, unless the curve is gone by then. ---
    void flipHorizontally() override;
    void flipVertically() override;
    void doFlipHorizontally();
    void doFlipVertically();

    // How long a flip with selected points waits, in milliseconds.
    static constexpr int DelayedFlipMilliseconds = 50;
    // Half the side of a point's or handle's hit square, in screen points.
    static constexpr double HitHalfSide = 4.0 + 1.0;
    // The length of a new handle when a point with no handle out is smoothed.
    static constexpr double SmoothHandleLength = 72.0;
    // The least width and height of the bounds.
    static constexpr double MinimumSide = 8.0;

protected:
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;

private:
    // Unit and page coordinates in the given bounds.
    static QPointF toPage(const QPointF& unit, const QRectF& bounds);
    static QPointF toUnit(const QPointF& page, const QRectF& bounds);
    static QPointF handle1(const QRectF& pair) { return pair.topLeft(); }
    static QPointF handle2(const QRectF& pair) { return {pair.width(), pair.height()}; }
    static QRectF pair(const QPointF& handle1, const QPointF& handle2)
    {
        return {handle1.x(), handle1.y(), handle2.x(), handle2.y()};
    }
    // The pair of point i in page coordinates, and stored from page coordinates.
    QRectF pagePair(qsizetype index) const;
    void setPagePair(qsizetype index, const QRectF& page);
    // Records putting back point index's handle pair, which was `oldPage` on the page;
    // called after the change, so the pair is expressed in the bounds of the moment.
    void registerPairUndo(qsizetype index, const QRectF& oldPage);
    // After a change of points or handles: the fill picture, the bounds, the redraw.
    void pointsChanged();
    // Removes a point and its pair, recording their insertion as the inverse.
    void removeControlPointAtIndex(qsizetype index);
    void flip(bool horizontally);
    void mirror(bool horizontally);
    bool validIndex(qsizetype index) const { return index >= 0 && index < numControlPoints(); }

    QList<QPointF> _controlPoints;
    QList<QRectF> _modifierRects;
    QList<qsizetype> _selectedPoints;
    bool _closedPath = false;
    bool _includeModifierRectsInBounds = true;
    bool _movingBezierPoint = false;
    qint64 _selectedModifier = -1;
};

using LBCurvedLinePtr = std::shared_ptr<LBCurvedLine>;
