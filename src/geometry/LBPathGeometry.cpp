// Measuring paths and cutting them by length.
#include "geometry/LBPathGeometry.h"

#include "geometry/LBPathEditing.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace LBPathGeometry {

namespace {

using Type = BezierPath::ElementType;

// Error bounds at or below a billionth of a point (or NaN) count as that: the subdivision
// would otherwise run to its depth limit on every piece.
double usableError(double maximumError)
{
    return maximumError >= 1e-9 ? maximumError : 1e-9;
}

double nonNegative(double length)
{
    return length > 0 ? length : 0.0; // NaN counts as 0
}

double cubicLengthAtDepth(const Cubic& c, double maximumError, int depth)
{
    const double chord = distanceBetween(c[0], c[3]);
    const double polygon =
        distanceBetween(c[0], c[1]) + distanceBetween(c[1], c[2]) + distanceBetween(c[2], c[3]);
    if (polygon - chord > maximumError && depth < kMaximumSubdivisionDepth) {
        Cubic left, right;
        splitCubic(c, 0.5, &left, &right);
        return cubicLengthAtDepth(left, maximumError, depth + 1)
               + cubicLengthAtDepth(right, maximumError, depth + 1);
    }
    return (chord + polygon) * 0.5;
}

// The first point of an element: a curve's control point 1, a close's subpath start.
QPointF firstPointOfElement(const BezierPath& path, int index)
{
    const BezierPath::Element e = path.elementAt(index);
    if (e.type == Type::ClosePath)
        return subpathStartForElement(path, index);
    return e.points[0];
}

// A path measured once with one maximum error, kept with the path (as a derived value)
// so that every later question about a length along it is a search, not a walk. For each
// element: the length of the path up to its end, summed in element order as every walk
// along the path sums it, the point it starts from and the start of its subpath.
struct Walk
{
    double error = 0;
    QList<double> upTo;
    QList<QPointF> from;
    QList<QPointF> subpathStart;

    double total() const { return upTo.isEmpty() ? 0.0 : upTo.constLast(); }
    // The first element whose end lies beyond length; the element count when none does.
    int firstPast(double length) const
    {
        return int(std::upper_bound(upTo.cbegin(), upTo.cend(), length) - upTo.cbegin());
    }
    // The length of the path before element i.
    double before(int i) const { return i > 0 ? upTo.at(i - 1) : 0.0; }
};

// The walks of one path, for the few maximum errors asked for.
struct Walks
{
    QList<std::shared_ptr<const Walk>> byError;
};
constexpr char kWalksKind = 0;
constexpr qsizetype kWalksKept = 4;

std::shared_ptr<const Walk> walkOf(const BezierPath& path, double maximumError)
{
    const double error = usableError(maximumError);
    const auto kept = std::static_pointer_cast<const Walks>(path.derivedValue(&kWalksKind));
    if (kept) {
        for (const auto& walk : kept->byError) {
            if (walk->error == error)
                return walk;
        }
    }
    auto walk = std::make_shared<Walk>();
    walk->error = error;
    const QList<BezierPath::Element>& elements = path.elements();
    walk->upTo.reserve(elements.size());
    walk->from.reserve(elements.size());
    walk->subpathStart.reserve(elements.size());
    QPointF current, start;
    double total = 0;
    for (const BezierPath::Element& e : elements) {
        walk->from.append(current);
        switch (e.type) {
        case Type::MoveTo: current = start = e.points[0]; break;
        case Type::LineTo:
            total += distanceBetween(current, e.points[0]);
            current = e.points[0];
            break;
        case Type::CurveTo:
            total += cubicLength({current, e.points[0], e.points[1], e.points[2]}, error);
            current = e.points[2];
            break;
        case Type::ClosePath:
            total += distanceBetween(current, start);
            current = start;
            break;
        }
        walk->upTo.append(total);
        walk->subpathStart.append(start);
    }
    auto walks = std::make_shared<Walks>();
    if (kept)
        walks->byError =
            kept->byError.mid(std::max<qsizetype>(0, kept->byError.size() - kWalksKept + 1));
    walks->byError.append(walk);
    path.setDerivedValue(&kWalksKind, walks);
    return walk;
}

} // namespace

// --- Primitives -------------------------------------------------------------------------

// A plain square root: std::hypot guards against overflow far beyond any page and costs
// several times as much in the length subdivision.
double distanceBetween(const QPointF& a, const QPointF& b)
{
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    return std::sqrt(dx * dx + dy * dy);
}

double angleBetween(const QPointF& a, const QPointF& b)
{
    return std::atan2(b.y() - a.y(), b.x() - a.x());
}

QPointF interpolate(const QPointF& a, const QPointF& b, double t)
{
    return QPointF(a.x() + (b.x() - a.x()) * t, a.y() + (b.y() - a.y()) * t);
}

QPointF pointOnCubic(const Cubic& c, double t)
{
    Cubic left, right;
    splitCubic(c, t, &left, &right);
    return left[3];
}

void splitCubic(const Cubic& c, double t, Cubic* left, Cubic* right)
{
    const QPointF m01 = interpolate(c[0], c[1], t);
    const QPointF m12 = interpolate(c[1], c[2], t);
    const QPointF m23 = interpolate(c[2], c[3], t);
    const QPointF m012 = interpolate(m01, m12, t);
    const QPointF m123 = interpolate(m12, m23, t);
    const QPointF m = interpolate(m012, m123, t);
    if (left)
        *left = {c[0], m01, m012, m};
    if (right)
        *right = {m, m123, m23, c[3]};
}

double cubicLength(const Cubic& cubic, double maximumError)
{
    return cubicLengthAtDepth(cubic, usableError(maximumError), 0);
}

// Bisection on the parameter until the left half measures `length` within the error. The
// error bound is met after some 40 halvings; the iteration bound only guards
// against rounding cycles.
void splitCubicAtLength(const Cubic& cubic, double length, double maximumError, Cubic* left,
                        Cubic* right)
{
    const double error = usableError(maximumError);
    double t = 0.5, lo = 0.0, hi = 1.0;
    Cubic l, r;
    for (int iteration = 0; iteration < 200; ++iteration) {
        splitCubic(cubic, t, &l, &r);
        const double measured = cubicLength(l, error * 0.5);
        if (std::abs(length - measured) < error)
            break;
        const double previous = t;
        if (length > measured) {
            lo = t;
            t = (hi + t) * 0.5;
        } else if (measured > length) {
            hi = t;
            t = (lo + t) * 0.5;
        }
        if (t == previous)
            break;
    }
    if (left)
        *left = l;
    if (right)
        *right = r;
}

QPointF subpathStartForElement(const BezierPath& path, int index)
{
    const QList<BezierPath::Element>& els = path.elements();
    for (int i = std::min(index, static_cast<int>(els.size()) - 1); i >= 0; --i) {
        if (els[i].type == Type::MoveTo)
            return els[i].points[0];
    }
    return QPointF(0, 0);
}

QPointF endPointOfElement(const BezierPath& path, int index)
{
    if (index < 0 || index >= path.elementCount())
        return QPointF(0, 0);
    const BezierPath::Element& e = path.elements().at(index);
    switch (e.type) {
    case Type::MoveTo:
    case Type::LineTo: return e.points[0];
    case Type::CurveTo: return e.points[2];
    case Type::ClosePath: return subpathStartForElement(path, index);
    }
    return QPointF(0, 0);
}

// --- Length -----------------------------------------------------------------------------

double length(const BezierPath& path)
{
    return lengthWithMaximumError(path, kDefaultMaximumError);
}

double lengthWithMaximumError(const BezierPath& path, double maximumError)
{
    return walkOf(path, maximumError)->total();
}

double lengthOfElement(const BezierPath& path, int index)
{
    if (index < 0 || index >= path.elementCount())
        return -1.0;
    if (index == 0)
        return 0.0;
    const QPointF previous = endPointOfElement(path, index - 1);
    const BezierPath::Element& e = path.elements().at(index);
    switch (e.type) {
    case Type::MoveTo: return 0.0;
    case Type::LineTo: return distanceBetween(previous, e.points[0]);
    case Type::CurveTo:
        return cubicLength({previous, e.points[0], e.points[1], e.points[2]}, kDefaultMaximumError);
    case Type::ClosePath: return distanceBetween(previous, subpathStartForElement(path, index));
    }
    return 0.0;
}

// One walk instead of a lengthOfElement per index (each of which may look back for the
// subpath start), so long runs stay linear.
double lengthOfPathFromElement(const BezierPath& path, int from, int toElement)
{
    const int first = std::max(from, 0);
    const int last = std::min(toElement, path.elementCount() - 1);
    if (first > last)
        return 0.0;
    const QList<BezierPath::Element>& els = path.elements();
    QPointF current, start;
    double total = 0;
    for (int i = 0; i <= last; ++i) {
        const BezierPath::Element& e = els[i];
        double d = 0;
        switch (e.type) {
        case Type::MoveTo: current = start = e.points[0]; break;
        case Type::LineTo:
            d = distanceBetween(current, e.points[0]);
            current = e.points[0];
            break;
        case Type::CurveTo:
            if (i >= first)
                d = cubicLength({current, e.points[0], e.points[1], e.points[2]},
                                kDefaultMaximumError);
            current = e.points[2];
            break;
        case Type::ClosePath:
            d = distanceBetween(current, start);
            current = start;
            break;
        }
        if (i >= first && i > 0)
            total += d;
    }
    return total;
}

// --- Trimming ---------------------------------------------------------------------------

BezierPath bezierPathByTrimmingToLength(const BezierPath& path, double trimLength,
                                        double withMaximumError)
{
    const double keep = nonNegative(trimLength);
    if (keep >= length(path))
        return path;
    const std::shared_ptr<const Walk> walk = walkOf(path, withMaximumError);
    const QList<BezierPath::Element>& elements = path.elements();
    // Every element up to the one that passes keep, which is cut there.
    const int cut = walk->firstPast(keep);
    BezierPath out;
    for (int i = 0; i < cut; ++i)
        LBPathEditing::appendElement(out, elements.at(i));
    if (cut >= elements.size())
        return out;
    const BezierPath::Element& e = elements.at(cut);
    const QPointF current = walk->from.at(cut);
    const double acc = walk->before(cut);
    switch (e.type) {
    case Type::LineTo:
        out.lineTo(interpolate(current, e.points[0],
                               (keep - acc) / distanceBetween(current, e.points[0])));
        break;
    case Type::CurveTo: {
        Cubic left;
        splitCubicAtLength({current, e.points[0], e.points[1], e.points[2]}, keep - acc,
                           walk->error, &left, nullptr);
        out.curveTo(left[3], left[1], left[2]);
        break;
    }
    case Type::ClosePath: {
        const QPointF start = walk->subpathStart.at(cut);
        out.lineTo(interpolate(current, start, (keep - acc) / distanceBetween(current, start)));
        break;
    }
    case Type::MoveTo: break; // a move has no length to pass anything
    }
    return out;
}

// A subpath cut part-way keeps its closing line but not its close: the close would run
// from the subpath's start back to the cut point, over the piece that was cut away. A cut
// right at a subpath's start leaves that subpath whole, close included.
BezierPath bezierPathByTrimmingFromLength(const BezierPath& path, double trimLength,
                                          double withMaximumError)
{
    if (!(trimLength > 0))
        return path;
    const double cut = trimLength;
    const std::shared_ptr<const Walk> walk = walkOf(path, withMaximumError);
    const double error = walk->error;
    const QList<BezierPath::Element>& elements = path.elements();
    BezierPath out;
    // Nothing before the element that passes the cut is kept: the walk starts there.
    const int first = walk->firstPast(cut);
    if (first >= elements.size())
        return out;
    // The element the cut falls in: from the cut on.
    const QPointF current = walk->from.at(first);
    QPointF start = walk->subpathStart.at(first);
    const double acc = walk->before(first);
    bool subpathStartsAtCut = false;
    const BezierPath::Element& e = elements.at(first);
    switch (e.type) {
    case Type::LineTo: {
        const QPointF at =
            interpolate(current, e.points[0], (cut - acc) / distanceBetween(current, e.points[0]));
        out.moveTo(at);
        out.lineTo(e.points[0]);
        subpathStartsAtCut = at != start;
        break;
    }
    case Type::CurveTo: {
        Cubic right;
        splitCubicAtLength({current, e.points[0], e.points[1], e.points[2]}, cut - acc, error,
                           nullptr, &right);
        out.moveTo(right[0]);
        out.curveTo(right[3], right[1], right[2]);
        subpathStartsAtCut = right[0] != start;
        break;
    }
    case Type::ClosePath:
        out.moveTo(interpolate(current, start, (cut - acc) / distanceBetween(current, start)));
        out.lineTo(start);
        subpathStartsAtCut = true;
        break;
    case Type::MoveTo: break; // a move has no length to pass the cut
    }
    // Everything after it as it is.
    for (int i = first + 1; i < elements.size(); ++i) {
        const BezierPath::Element& next = elements.at(i);
        switch (next.type) {
        case Type::MoveTo:
            out.moveTo(next.points[0]);
            start = next.points[0];
            subpathStartsAtCut = false;
            break;
        case Type::ClosePath:
            out.lineTo(start);
            if (!subpathStartsAtCut)
                out.closePath();
            break;
        default: LBPathEditing::appendElement(out, next); break;
        }
    }
    return out;
}

BezierPath bezierPathByTrimmingFromBothEnds(const BezierPath& path, double trimLength,
                                            double withMaximumError)
{
    const double t = nonNegative(trimLength);
    const double total = lengthWithMaximumError(path, withMaximumError);
    return bezierPathByTrimmingFromLengthToLength(path, t, total - 2 * t, withMaximumError);
}

BezierPath bezierPathByTrimmingFromCentre(const BezierPath& path, double trimLength,
                                          double withMaximumError)
{
    const double t = nonNegative(trimLength);
    const double total = lengthWithMaximumError(path, withMaximumError);
    BezierPath first = bezierPathByTrimmingToLength(path, total * 0.5 - t * 0.5, withMaximumError);
    first.appendBezierPath(
        bezierPathByTrimmingFromLength(path, t * 0.5 + total * 0.5, withMaximumError));
    return first;
}

BezierPath bezierPathByTrimmingFromLengthToLength(const BezierPath& path, double fromLength,
                                                  double toLength, double withMaximumError)
{
    return bezierPathByTrimmingToLength(
        bezierPathByTrimmingFromLength(path, fromLength, withMaximumError), toLength,
        withMaximumError);
}

// --- Points, directions and regions -----------------------------------------------------

// The last element of bezierPathByTrimmingToLength(path, atLength) decides: its end is
// the point, its direction there the slope. It is worked out without making that path.
QPointF pointOnPathAtLength(const BezierPath& path, double atLength, double* slope)
{
    if (path.elementCount() < 2)
        return QPointF(0, 0);
    if (atLength <= 0) {
        const QPointF p = endPointOfElement(path, 0);
        if (slope)
            *slope = angleBetween(p, firstPointOfElement(path, 1));
        return p;
    }
    const std::shared_ptr<const Walk> walk = walkOf(path, kDefaultMaximumError);
    const QList<BezierPath::Element>& elements = path.elements();
    const double keep = atLength;
    // The path itself when the length reaches its end.
    if (keep >= walk->total()) {
        const int last = int(elements.size()) - 1;
        const BezierPath::Element& e = elements.at(last);
        if (e.type == Type::CurveTo) {
            if (slope)
                *slope = angleBetween(e.points[1], e.points[2]);
            return e.points[2];
        }
        const QPointF p = e.type == Type::ClosePath ? walk->subpathStart.at(last) : e.points[0];
        if (slope)
            *slope = angleBetween(walk->from.at(last), p);
        return p;
    }
    const int cut = walk->firstPast(keep);
    const BezierPath::Element& e = elements.at(cut);
    const QPointF current = walk->from.at(cut);
    const double acc = walk->before(cut);
    if (e.type == Type::CurveTo) {
        Cubic left;
        splitCubicAtLength({current, e.points[0], e.points[1], e.points[2]}, keep - acc,
                           walk->error, &left, nullptr);
        if (slope)
            *slope = angleBetween(left[2], left[3]);
        return left[3];
    }
    const QPointF end = e.type == Type::ClosePath ? walk->subpathStart.at(cut) : e.points[0];
    const QPointF p = interpolate(current, end, (keep - acc) / distanceBetween(current, end));
    if (slope)
        *slope = angleBetween(current, p);
    return p;
}

std::optional<PathCut> cutAtLength(const BezierPath& path, double atLength, double maximumError)
{
    if (!(atLength > 0)) {
        if (path.isEmpty())
            return std::nullopt;
        return PathCut{path.elementAt(0).points[0], slopeStartingPath(path), length(path)};
    }
    const std::shared_ptr<const Walk> walk = walkOf(path, maximumError);
    const QList<BezierPath::Element>& elements = path.elements();
    const int cut = walk->firstPast(atLength);
    if (cut >= elements.size())
        return std::nullopt;
    const BezierPath::Element& e = elements.at(cut);
    const QPointF current = walk->from.at(cut);
    const double acc = walk->before(cut);
    const double after = length(path) - walk->upTo.at(cut);
    if (e.type == Type::CurveTo) {
        Cubic right;
        splitCubicAtLength({current, e.points[0], e.points[1], e.points[2]}, atLength - acc,
                           walk->error, nullptr, &right);
        return PathCut{right[0], angleBetween(right[0], right[1]),
                       cubicLength(right, kDefaultMaximumError) + after};
    }
    const QPointF end = e.type == Type::ClosePath ? walk->subpathStart.at(cut) : e.points[0];
    const QPointF at = interpolate(current, end, (atLength - acc) / distanceBetween(current, end));
    return PathCut{at, angleBetween(at, end), distanceBetween(at, end) + after};
}

double slopeStartingPath(const BezierPath& path)
{
    if (path.elementCount() < 2)
        return 0.0;
    return angleBetween(endPointOfElement(path, 0), firstPointOfElement(path, 1));
}

double distanceFromStartOfPathAtPoint(const BezierPath& path, const QPointF& point,
                                      double tolerance)
{
    double t = 0;
    const int index = LBPathEditing::elementHitByPoint(path, point, tolerance, &t, nullptr);
    if (index <= 0)
        return -1.0;
    double distance = lengthOfPathFromElement(path, 0, index - 1);
    const QPointF previous = endPointOfElement(path, index - 1);
    const BezierPath::Element e = path.elementAt(index);
    switch (e.type) {
    case Type::LineTo:
        distance += distanceBetween(previous, interpolate(previous, e.points[0], t));
        break;
    case Type::CurveTo: {
        Cubic left;
        splitCubic({previous, e.points[0], e.points[1], e.points[2]}, t, &left, nullptr);
        distance += cubicLength(left, kDefaultMaximumError);
        break;
    }
    case Type::ClosePath: {
        const QPointF start = subpathStartForElement(path, index);
        distance += distanceBetween(previous, interpolate(previous, start, t));
        break;
    }
    case Type::MoveTo: break;
    }
    return distance;
}

int pointWithinPathRegion(const BezierPath& path, const QPointF& point)
{
    if (LBPathEditing::isPathClosed(path))
        return path.containsPoint(point) ? 0 : -1;
    const QPointF a = firstPoint(path), b = lastPoint(path);
    const double chord = distanceBetween(a, b);
    if (chord == 0)
        return -1;
    const double t = ((point.x() - a.x()) * (b.x() - a.x()) + (point.y() - a.y()) * (b.y() - a.y()))
                     / (chord * chord);
    if (t < 0)
        return -1;
    return t <= 1 ? 0 : 1;
}

QPointF firstPoint(const BezierPath& path)
{
    return endPointOfElement(path, 0);
}

QPointF lastPoint(const BezierPath& path)
{
    return endPointOfElement(path, path.elementCount() - 1);
}

// --- Subpaths and arrow heads -----------------------------------------------------------

QList<BezierPath> subPaths(const BezierPath& path)
{
    if (countSubPaths(path) <= 1)
        return {path};
    QList<BezierPath> result;
    BezierPath current;
    const auto flush = [&]() {
        if (current.elementCount() >= 2)
            result.append(current);
        current.removeAllPoints();
    };
    for (const BezierPath::Element& e : path.elements()) {
        switch (e.type) {
        case Type::MoveTo:
            flush();
            current.moveTo(e.points[0]);
            break;
        case Type::LineTo: current.lineTo(e.points[0]); break;
        case Type::CurveTo: current.curveTo(e.points[2], e.points[0], e.points[1]); break;
        case Type::ClosePath: current.closePath(); break;
        }
    }
    flush();
    return result;
}

int countSubPaths(const BezierPath& path)
{
    const QList<BezierPath::Element>& els = path.elements();
    int count = 0;
    for (int i = 0; i + 1 < els.size(); ++i) {
        if (els[i].type == Type::MoveTo)
            ++count;
    }
    return count;
}

BezierPath bezierPathWithArrowHeadForStartOfLength(const BezierPath& path, double barbLength,
                                                   double angle, bool closingPath)
{
    const QPointF tip = firstPoint(path);
    const double radians = angle * std::numbers::pi / 180.0;
    const BezierPath piece = bezierPathByTrimmingToLength(path, barbLength);
    BezierPath head = rotatedPath(piece.bezierPathByReversingPath(), -radians, tip);
    appendBezierPathRemovingInitialMoveToPoint(head, rotatedPath(piece, radians, tip));
    if (closingPath)
        head.closePath();
    return head;
}

BezierPath bezierPathWithArrowHeadForEndOfLength(const BezierPath& path, double barbLength,
                                                 double angle, bool closingPath)
{
    return bezierPathWithArrowHeadForStartOfLength(path.bezierPathByReversingPath(), barbLength,
                                                   angle, closingPath);
}

void appendBezierPathRemovingInitialMoveToPoint(BezierPath& receiver, const BezierPath& path)
{
    const QList<BezierPath::Element>& els = path.elements();
    for (int i = 0; i < els.size(); ++i) {
        const BezierPath::Element& e = els[i];
        switch (e.type) {
        case Type::MoveTo:
            if (i > 0)
                receiver.moveTo(e.points[0]);
            break;
        case Type::LineTo: receiver.lineTo(e.points[0]); break;
        case Type::CurveTo: receiver.curveTo(e.points[2], e.points[0], e.points[1]); break;
        case Type::ClosePath: receiver.closePath(); break;
        }
    }
}

} // namespace LBPathGeometry
