#pragma once

// Path editing: what an interactive point editor needs of a path. Every point is
// addressed by one number, its partcode = (element index + 1) × 4 + point index (point
// index 0, 1, 2 = control point 1, control point 2 and end point of a curve; 0 for a move
// or line). Partcodes below 4 name no element; 0 means "nothing hit".
//
// Hit tests, nearest points, constrained point moves (colinear or mirrored handles, angle
// snapping), inserting and deleting points, subpath queries, per-element bounding boxes
// and a checksum that changes with any change of the path.

#include "geometry/LBPathGeometry.h"

#include <QList>
#include <QPointF>
#include <QRectF>

#include <array>
#include <optional>

namespace LBPathEditing {

using LBPathGeometry::Cubic;
using platform::BezierPath;

constexpr int kNotFound = -1;
constexpr double kDefaultConstraintAngle = 0.261799387799; // 15 degrees

// --- Class-wide settings and point helpers ------------------------------------------------

// The step of angle snapping (radians), kDefaultConstraintAngle until changed.
void setConstraintAngle(double angle);
double constraintAngle();
// 2m - p: p mirrored through m.
QPointF colinearPointForPoint(const QPointF& point, const QPointF& centrePoint);
// The point at distance `radius` from m on the far side of p.
QPointF colinearPointForPoint(const QPointF& point, const QPointF& centrePoint, double radius);
// Turns both controls (vertex[0], vertex[2]) of the vertex (vertex[1]) onto one line
// through it, each keeping its distance; either out-pointer may be null.
void colineariseVertex(const std::array<QPointF, 3>& vertex, QPointF* cpA, QPointF* cpB);
// Index of the first point whose square of side `tolerance`, centred on it, holds `point`;
// kNotFound otherwise.
int point(const QPointF& point, const QList<QPointF>& inNSPointArray, double tolerance);

// --- Partcodes --------------------------------------------------------------------------

quint32 partcodeForElement(int element); // 0 for a negative index
quint32 partcodeForControlPoint(int controlPoint, int ofElement);
std::optional<BezierPath::ElementType> elementTypeForPartcode(const BezierPath& path,
                                                              quint32 partcode);
// Control point 1 or 2 of a curve; partcodes naming no element are not control points.
bool isControlPoint(const BezierPath& path, quint32 partcode);
QPointF pointForPartcode(const BezierPath& path, quint32 partcode); // (0, 0) if none
void setControlPoint(BezierPath& path, const QPointF& point, quint32 forPartcode);
quint32 partcodeForLastPoint(const BezierPath& path);

// --- Hits -------------------------------------------------------------------------------

// The partcode of the first point (from element `startingFromElement` on) whose square of
// side `tolerance` holds the point; a curve's control points are tried before the vertex
// they leave. 0 when nothing is hit.
quint32 partcodeHitByPoint(const BezierPath& path, const QPointF& point, double tolerance);
quint32 partcodeHitByPoint(const BezierPath& path, const QPointF& point, double tolerance,
                           int startingFromElement);
// The element whose drawn segment passes within `tolerance` of the point (distance <=
// tolerance), with the parameter and the nearest point on it; -1 when none. Elements whose
// bounding box holds the point are tried first, then those whose box enlarged by the
// tolerance does, each in order; the first within tolerance wins.
int elementHitByPoint(const BezierPath& path, const QPointF& point, double tolerance,
                      double* tValue = nullptr, QPointF* nearestPoint = nullptr);
// The nearest point of the hit element, or the point itself when nothing is hit.
QPointF nearestPointToPoint(const BezierPath& path, const QPointF& point, double tolerance);
// The point of the cubic nearest to `point`, exactly (roots of a degree-5 polynomial),
// with its parameter.
QPointF nearestPointOnCurve(const Cubic& cubic, const QPointF& point, double* tValue = nullptr);
// The first drawing element (from 1) whose bounding box holds the point, then the first
// whose box enlarged by the tolerance does; -1.
int elementBoundsContainsPoint(const BezierPath& path, const QPointF& point, double tolerance);

// --- Bounding boxes ---------------------------------------------------------------------

// A move: the zero rectangle; a line or close: its two end points; a curve: its four points.
QRectF boundingBoxForElement(const BezierPath& path, int element);
// The distinct boxes of the elements that moving the point changes.
QList<QRectF> boundingBoxesForPartcode(const BezierPath& path, quint32 partcode);
QList<QRectF> allBoundingBoxes(const BezierPath& path);
// Strokes every element's box in red with the thinnest line into the current graphics
// context (a debugging aid for path editing); does nothing without a current context.
void drawElementsBoundingBoxes(const BezierPath& path);

// --- Subpaths ---------------------------------------------------------------------------

// Direction out of the subpath's start (pointing backwards, away from the path) / along
// its end.
double tangentAtStartOfSubpath(const BezierPath& path, int element);
double tangentAtEndOfSubpath(const BezierPath& path, int element);
int subpathStartingElementForElement(const BezierPath& path, int element); // -1 if none
int subpathEndingElementForElement(const BezierPath& path, int element);
// A close among the subpath's elements from `element` on, or an end point equal to the
// subpath's start.
bool subpathContainingElementIsClosed(const BezierPath& path, int element);
bool isPathClosed(const BezierPath& path);
void getPathMoveToCount(const BezierPath& path, int* moveToCount, int* lineToCount,
                        int* curveToCount, int* closePathCount);

// --- Checksum and clean-up ----------------------------------------------------------------

// Changes with the element count, any element kind or any coordinate moved by half a point
// or more (rounded in single precision).
quint32 checksum(const BezierPath& path);
BezierPath bezierPathByRemovingTrailingElements(const BezierPath& path, int count);
// Without lines and curves that stay on their start point, and without a final move.
BezierPath bezierPathByStrippingRedundantElements(const BezierPath& path);

// --- Editing ----------------------------------------------------------------------------

// Adds the element to the path as it is (a curve with its control points).
void appendElement(BezierPath& path, const BezierPath::Element& element);

// Moves the point to `toPoint`. Anchors carry their handles along; with `colinear` the
// opposite handle of a smooth vertex turns to stay on one line (and with `coradial` also
// takes the same distance); with `constrainAngle` the point snaps to the nearest multiple
// of constraintAngle() around its anchor. Moving the start of a closed subpath moves a
// final end point lying on it too.
void moveControlPointPartcode(BezierPath& path, quint32 partcode, const QPointF& toPoint,
                              bool colinear, bool coradial, bool constrainAngle);
// Without the element of that point; the path itself for a curve's control point.
BezierPath deleteControlPointForPartcode(const BezierPath& path, quint32 partcode);
// With the element hit at `point` split in two there (type LineTo or CurveTo asks for the
// kind of the new pieces); no path when nothing is hit.
std::optional<BezierPath> insertControlPointAtPoint(const BezierPath& path, const QPointF& point,
                                                    double tolerance, BezierPath::ElementType type);

} // namespace LBPathEditing
