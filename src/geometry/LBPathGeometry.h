#pragma once

// Path geometry: measuring paths and cutting them by length, the point and direction at a
// distance along a path, subpaths and arrow heads shaped along a path; whole-path
// transforms, parallel (offset) paths, smoothing, fillets, jitter, fragments, zig-zags and
// waves. Free functions over platform::BezierPath; the first argument is the path worked
// on, which is never changed unless it is passed by non-const reference.
//
// Conventions: y grows downwards; angles are radians unless a name says degrees; lengths
// are measured with a maximum error in points (kDefaultMaximumError unless given).
// Operations said to return "the path itself" return an equal copy (paths are values).
// Broken preconditions throw LBPathToolkitException with the source file "LBPathGeometry".
// Degenerate input (empty paths, lone points, zero-length segments, zero or negative
// lengths) gives 0, the path itself or an empty path, never NaN or an endless loop.

#include "platform/drawing/BezierPath.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <array>
#include <optional>

class LBPathIterationDelegate;

namespace LBPathGeometry {

using platform::BezierPath;
// The four points of a cubic segment: start, control point 1, control point 2, end.
using Cubic = std::array<QPointF, 4>;

inline const QString kSourceFile = QStringLiteral("LBPathGeometry");
constexpr double kDefaultMaximumError = 0.1;
// The quarter and half turn of the toolkit, both a hair below π/2 and π.
constexpr double kQuarterTurn = 1.570796325;
constexpr double kHalfTurn = 3.14159265;
// Length subdivision stops at this depth whatever the error bound.
constexpr int kMaximumSubdivisionDepth = 24;

// --- Primitives -------------------------------------------------------------------------

double distanceBetween(const QPointF& a, const QPointF& b);
// Direction from a to b in radians, -π..π; 0 for coincident points.
double angleBetween(const QPointF& a, const QPointF& b);
QPointF interpolate(const QPointF& a, const QPointF& b, double t); // a + (b - a)·t
QPointF pointOnCubic(const Cubic& cubic, double t);
// De Casteljau split at parameter t.
void splitCubic(const Cubic& cubic, double t, Cubic* left, Cubic* right);
// Length by adaptive subdivision: a piece whose control polygon exceeds its chord by more
// than the error is halved; otherwise it counts the mean of chord and polygon.
double cubicLength(const Cubic& cubic, double maximumError);
// Split where the length along the curve is `length` (within the error).
void splitCubicAtLength(const Cubic& cubic, double length, double maximumError, Cubic* left,
                        Cubic* right);

// The end point of element `index`: its point, a curve's end point, and for a close the
// start of the subpath it closes. (0, 0) out of range.
QPointF endPointOfElement(const BezierPath& path, int index);
// The start point of the subpath holding element `index` (the last move at or before it).
QPointF subpathStartForElement(const BezierPath& path, int index);

// --- Length -----------------------------------------------------------------------------

double length(const BezierPath& path);
double lengthWithMaximumError(const BezierPath& path, double maximumError);
// 0.0 for index 0 and for moves; -1.0 for an index below 0 or not below the element count.
double lengthOfElement(const BezierPath& path, int index);
// Sum over the elements max(from, 0) .. min(toElement, count - 1); 0.0 for an empty run.
double lengthOfPathFromElement(const BezierPath& path, int from, int toElement);

// --- Trimming (lengths below 0 count as 0) --------------------------------------------------

// The first `length` of the path; the path itself when length is not below its length.
BezierPath bezierPathByTrimmingToLength(const BezierPath& path, double length,
                                        double withMaximumError = kDefaultMaximumError);
// The path without its first `length`; the path itself for length <= 0, an empty path
// when length is not below the path's length.
BezierPath bezierPathByTrimmingFromLength(const BezierPath& path, double length,
                                          double withMaximumError = kDefaultMaximumError);
// Trimmed by `length` at both ends.
BezierPath bezierPathByTrimmingFromBothEnds(const BezierPath& path, double length,
                                            double withMaximumError = kDefaultMaximumError);
// With a piece of `length` cut out of its middle.
BezierPath bezierPathByTrimmingFromCentre(const BezierPath& path, double length,
                                          double withMaximumError = kDefaultMaximumError);
// Trimmed from `fromLength`, then kept for `toLength` (a length, not an end position).
BezierPath bezierPathByTrimmingFromLengthToLength(const BezierPath& path, double fromLength,
                                                  double toLength,
                                                  double withMaximumError = kDefaultMaximumError);

// --- Points, directions and regions ---------------------------------------------------------

// The point at `length` along the path and, when `slope` is not null, the direction there.
// A path of fewer than two elements gives (0, 0) and leaves the slope alone.
QPointF pointOnPathAtLength(const BezierPath& path, double length, double* slope = nullptr);
// Where bezierPathByTrimmingFromLength(path, length, maximumError) starts, without making
// it: its first point, its direction there (slopeStartingPath) and its length (as length()
// measures it, give or take rounding). Nothing when that path would be empty. Lengths
// along a path are measured once and kept with the path, so that asking again and again
// along the same path costs a search each time.
struct PathCut
{
    QPointF point;
    double slope = 0;
    double remainingLength = 0;
};
std::optional<PathCut> cutAtLength(const BezierPath& path, double length,
                                   double maximumError = kDefaultMaximumError);
// Direction at the start: towards the first point of element 1; 0 for fewer than two
// elements or coincident points.
double slopeStartingPath(const BezierPath& path);
// Distance along the path of a point within `tolerance` of it, or -1.0.
double distanceFromStartOfPathAtPoint(const BezierPath& path, const QPointF& point,
                                      double tolerance);
// Closed path: 0 inside, -1 outside. Open path: where the point projects on the chord from
// the first to the last point: -1 before it (or no chord), 0 along it, 1 beyond it.
int pointWithinPathRegion(const BezierPath& path, const QPointF& point);
// End point of the first / last element; (0, 0) for an empty path. For a path ending with a
// close the last point is the start of the closed subpath.
QPointF firstPoint(const BezierPath& path);
QPointF lastPoint(const BezierPath& path);

// --- Subpaths and arrow heads ---------------------------------------------------------------

// One path per subpath (a subpath made of a lone move is left out); the path alone when it
// has at most one subpath.
QList<BezierPath> subPaths(const BezierPath& path);
// Moves among all elements but the last.
int countSubPaths(const BezierPath& path);
// Barbs of length `length` shaped along the path's start (end), opened by `angle` degrees
// to either side; closed across the tips when closingPath is set.
BezierPath bezierPathWithArrowHeadForStartOfLength(const BezierPath& path, double length,
                                                   double angle, bool closingPath);
BezierPath bezierPathWithArrowHeadForEndOfLength(const BezierPath& path, double length,
                                                 double angle, bool closingPath);
// Appends `path`'s elements to `receiver`, leaving out its initial move.
void appendBezierPathRemovingInitialMoveToPoint(BezierPath& receiver, const BezierPath& path);

// --- Transforms (copies; the path itself for an identity) ------------------------------------

BezierPath scaledPath(const BezierPath& path, double factor, const QPointF& aboutPoint);
BezierPath scaledPath(const BezierPath& path, double factor); // about centreOfBounds
BezierPath rotatedPath(const BezierPath& path, double angle, const QPointF& aboutPoint);
BezierPath rotatedPath(const BezierPath& path, double angle);
// Scaled about the centre so the bounds shrink by `inset` on every side (grow for a
// negative inset); an axis of zero extent is left unscaled.
BezierPath insetPathBy(const BezierPath& path, double inset);
BezierPath horizontallyFlippedPathAboutPoint(const BezierPath& path, const QPointF& point);
BezierPath verticallyFlippedPathAboutPoint(const BezierPath& path, const QPointF& point);
BezierPath horizontallyFlippedPath(const BezierPath& path);
BezierPath verticallyFlippedPath(const BezierPath& path);
QPointF centreOfBounds(const BezierPath& path);
// Smallest change of direction at a vertex, 0..kHalfTurn; kHalfTurn when there is none.
double minimumCornerAngle(const BezierPath& path);

// --- Iteration ---------------------------------------------------------------------------

// The path the delegate builds from every element (see LBPathIterationDelegate); no path
// for an empty receiver. Throws for a null delegate.
std::optional<BezierPath> bezierPathByIteratingWithDelegate(const BezierPath& path,
                                                            LBPathIterationDelegate* delegate,
                                                            void* contextInfo);

// --- Parallel paths ----------------------------------------------------------------------
// A positive offset lies to the right of the direction of travel (towards +y for a path
// running towards +x).

// One point per point, each moved along the normal of its outgoing direction.
BezierPath paralleloidPathWithOffset(const BezierPath& path, double offset);
// The flattened path's paralleloidPathWithOffset; the path itself for 0.
BezierPath paralleloidPathWithOffset2(const BezierPath& path, double offset);
// The flattened path's paralleloidPathWithOffset3 with the path's own join style; the
// path itself for 0.
BezierPath paralleloidPathWithOffset22(const BezierPath& path, double offset);
// Parallel path with proper corners for a path of moves, lines and closes (throws for a
// curve): mitred corners (limited by the path's miterLimit), or round or bevelled joins on
// the outside of corners.
BezierPath paralleloidPathWithOffset3(const BezierPath& path, double offset,
                                      BezierPath::LineJoin lineJoinStyle);
// As paralleloidPathWithOffset, the offset going linearly from the first element to the
// last.
BezierPath offsetPathWithStartingOffset(const BezierPath& path, double startingOffset,
                                        double endingOffset);
BezierPath offsetPathWithStartingOffset2(const BezierPath& path, double startingOffset,
                                         double endingOffset);

// --- Smoothing, fillets, jitter, fragments, zig-zag and wave ---------------------------------

// The vertices joined by smooth curves; smoothness 0..1 (above 1 counts as 1); the path
// itself for 0 or below.
BezierPath bezierPathByInterpolatingPath(const BezierPath& path, double smoothness);
// Move to the point `filletSize` before vertex[1] towards vertex[0], and a curve with both
// control points on the vertex to the point `filletSize` after it towards vertex[2].
BezierPath filletPathForVertex(const std::array<QPointF, 3>& vertex, double filletSize);
// Every point but the moves' jittered by up to amount / 2 per coordinate (PTRandom); an
// amount of 0 is a 24th of the smaller side of the control-point bounds.
BezierPath bezierPathByRandomisingPoints(const BezierPath& path, double amount);
// Every line cut into pieces of `fragmentLength` (the last piece keeps the remainder);
// the path itself for a length of 0 or below.
BezierPath bezierPathWithFragmentedLineSegments(const BezierPath& path, double fragmentLength);
// Zig-zag along the path: a vertex every `zig` along it, `zag` to alternate sides. Throws
// for zig <= 0; the path itself for zag <= 0.
BezierPath bezierPathWithZig(const BezierPath& path, double zig, double zag);
// Wave along the path: a crest every `wavelength`, `amplitude` to alternate sides, curves
// with handles of spread × amplitude. Throws for wavelength <= 0; the path itself for
// amplitude <= 0; the zig-zag for spread <= 0.
BezierPath bezierPathWithWavelength(const BezierPath& path, double wavelength, double amplitude,
                                    double spread);

} // namespace LBPathGeometry
