// Whole-path transforms, parallel paths and the decorative path builders.
#include "geometry/LBPathGeometry.h"

#include "geometry/LBPathEditing.h"
#include "geometry/LBPathIterationDelegate.h"
#include "geometry/LBPathToolkitException.h"
#include "geometry/PTRandom.h"

#include <QRectF>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace LBPathGeometry {

namespace {

using Type = BezierPath::ElementType;

constexpr double kDegreesPerRadian = 57.29577951308232;
// Builders that cut a path into steps make at most this many pieces; a smaller step is
// widened to fit, so a tiny step cannot exhaust time or memory.
constexpr double kMaximumPieces = 1'000'000;

QPointF polar(double radius, double angle)
{
    return QPointF(radius * std::cos(angle), radius * std::sin(angle));
}

BezierPath transformedAbout(const BezierPath& path, const QPointF& about, double sx, double sy,
                            double radians)
{
    QTransform t;
    t.translate(about.x(), about.y());
    if (radians != 0)
        t.rotateRadians(radians);
    t.scale(sx, sy);
    t.translate(-about.x(), -about.y());
    return path.transformed(t);
}

QPointF firstPointOfElement(const BezierPath& path, int index)
{
    const BezierPath::Element e = path.elementAt(index);
    if (e.type == Type::ClosePath)
        return subpathStartForElement(path, index);
    return e.points[0];
}

// Offsets each point along the normal of the direction leaving it; `offsetAt` gives the
// offset of element i.
template <typename OffsetAt>
BezierPath parallelPath(const BezierPath& path, OffsetAt offsetAt)
{
    BezierPath out;
    const int n = path.elementCount();
    QPointF previousOffset(0, 0);
    double previousAngle = 0;
    for (int i = 0; i < n; ++i) {
        const BezierPath::Element e = path.elementAt(i);
        const QPointF end = endPointOfElement(path, i);
        QPointF from, to;
        if (i + 1 < n) {
            from = end;
            to = firstPointOfElement(path, i + 1);
        } else if (e.type == Type::CurveTo) {
            from = e.points[1];
            to = e.points[2];
        } else {
            from = endPointOfElement(path, i - 1);
            to = end;
        }
        // A direction of zero length (a point repeated) keeps the previous direction.
        if (from == to && i > 0 && endPointOfElement(path, i - 1) != end) {
            from = endPointOfElement(path, i - 1);
            to = end;
        }
        const double angle = from == to ? previousAngle : angleBetween(from, to);
        const QPointF offset = polar(offsetAt(i), angle + kQuarterTurn);
        switch (e.type) {
        case Type::MoveTo: out.moveTo(end + offset); break;
        case Type::LineTo: out.lineTo(end + offset); break;
        case Type::CurveTo:
            out.curveTo(end + offset, e.points[0] + previousOffset, e.points[1] + offset);
            break;
        case Type::ClosePath: out.closePath(); break;
        }
        previousOffset = offset;
        previousAngle = angle;
    }
    return out;
}

// The parallel polyline with corners, one subpath at a time.
class CornerBuilder
{
public:
    CornerBuilder(double offset, BezierPath::LineJoin join, double miterLimit)
        : _offset(offset), _join(join), _limit(std::abs(miterLimit * offset))
    {}

    // Vertices without repeats; a closed subpath does not repeat its start at the end.
    void emitSubpath(QList<QPointF> v, bool closed)
    {
        if (closed && v.size() > 1 && v.last() == v.first())
            v.removeLast();
        const int n = v.size();
        if (n < 2)
            return;
        const int moveIndex = out.elementCount();
        out.moveTo(v[0] + normal(v[0], v[1]));
        for (int k = 1; k + 1 < n; ++k)
            corner(v[k - 1], v[k], v[k + 1]);
        if (!closed) {
            out.lineTo(v[n - 1] + normal(v[n - 2], v[n - 1]));
            return;
        }
        corner(v[n - 2], v[n - 1], v[0]);
        // At the start the corner joins the closing segment to the first one; a plain
        // corner point then becomes the start of the parallel subpath too.
        if (const std::optional<QPointF> plain = corner(v[n - 1], v[0], v[1]))
            out.setAssociatedPoints({*plain}, moveIndex);
        out.closePath();
    }

    BezierPath out;

private:
    QPointF normal(const QPointF& a, const QPointF& b) const
    {
        return polar(_offset, angleBetween(a, b) + kQuarterTurn);
    }

    QPointF offsetCorner(const QPointF& a, const QPointF& b, const QPointF& c) const
    {
        if (_offset == 0)
            return b;
        const double ab = angleBetween(a, b);
        const double h = (angleBetween(b, c) - ab) * 0.5;
        const double r = std::clamp(_offset / std::cos(h), -_limit, _limit);
        return b + polar(r, h + ab + kQuarterTurn);
    }

    // An inside corner turns towards the offset side; joins are made on the outside only.
    bool isInsideCorner(const QPointF& a, const QPointF& b, const QPointF& c) const
    {
        double turn = angleBetween(c, b) - angleBetween(a, b);
        if (turn > kHalfTurn)
            turn = kHalfTurn - turn;
        else if (turn < -kHalfTurn)
            turn = -kHalfTurn - turn;
        return (turn < 0 && _offset > 0) || (turn > 0 && _offset < 0);
    }

    // Emits the corner at b; answers the corner point when it was a plain line to it.
    std::optional<QPointF> corner(const QPointF& a, const QPointF& b, const QPointF& c)
    {
        const bool joins = _join != BezierPath::LineJoin::Miter && !isInsideCorner(a, b, c);
        if (!joins) {
            const QPointF p = offsetCorner(a, b, c);
            out.lineTo(p);
            return p;
        }
        if (_join == BezierPath::LineJoin::Bevel) {
            out.lineTo(b + polar(_offset, angleBetween(a, b) + kQuarterTurn));
            out.lineTo(b + polar(_offset, angleBetween(c, b) - kQuarterTurn));
        } else {
            out.appendBezierPathWithArcWithCenter(
                b, _offset, (angleBetween(a, b) + kQuarterTurn) * kDegreesPerRadian,
                (angleBetween(b, c) + kQuarterTurn) * kDegreesPerRadian, _offset > 0);
        }
        return std::nullopt;
    }

    double _offset;
    BezierPath::LineJoin _join;
    double _limit;
};

// The vertices of each subpath: its move point, then the end points of its lines and
// curves; a close ends the subpath (drawing after it starts again from the start point).
struct VertexRun
{
    QList<QPointF> vertices;
    bool closed = false;
};

QList<VertexRun> vertexRuns(const BezierPath& path, bool skipRepeats)
{
    QList<VertexRun> runs;
    VertexRun run;
    QPointF start;
    const auto add = [&](const QPointF& p) {
        if (!skipRepeats || run.vertices.isEmpty() || run.vertices.last() != p)
            run.vertices.append(p);
    };
    const auto flush = [&](bool closed) {
        run.closed = closed;
        if (!run.vertices.isEmpty())
            runs.append(run);
        run = VertexRun();
    };
    for (const BezierPath::Element& e : path.elements()) {
        switch (e.type) {
        case Type::MoveTo:
            flush(false);
            start = e.points[0];
            run.vertices.append(start);
            break;
        case Type::LineTo:
        case Type::CurveTo:
            if (run.vertices.isEmpty())
                run.vertices.append(start);
            add(e.type == Type::CurveTo ? e.points[2] : e.points[0]);
            break;
        case Type::ClosePath: flush(true); break;
        }
    }
    flush(false);
    return runs;
}

} // namespace

// --- Transforms -------------------------------------------------------------------------

BezierPath scaledPath(const BezierPath& path, double factor, const QPointF& aboutPoint)
{
    if (factor == 1.0)
        return path;
    return transformedAbout(path, aboutPoint, factor, factor, 0);
}

BezierPath scaledPath(const BezierPath& path, double factor)
{
    return scaledPath(path, factor, centreOfBounds(path));
}

BezierPath rotatedPath(const BezierPath& path, double angle, const QPointF& aboutPoint)
{
    if (angle == 0)
        return path;
    return transformedAbout(path, aboutPoint, 1, 1, angle);
}

BezierPath rotatedPath(const BezierPath& path, double angle)
{
    return rotatedPath(path, angle, centreOfBounds(path));
}

BezierPath insetPathBy(const BezierPath& path, double inset)
{
    if (inset == 0)
        return path;
    const QRectF b = path.bounds();
    const double sx = b.width() != 0 ? (b.width() - 2 * inset) / b.width() : 1.0;
    const double sy = b.height() != 0 ? (b.height() - 2 * inset) / b.height() : 1.0;
    return transformedAbout(path, centreOfBounds(path), sx, sy, 0);
}

BezierPath horizontallyFlippedPathAboutPoint(const BezierPath& path, const QPointF& point)
{
    return transformedAbout(path, point, -1, 1, 0);
}

BezierPath verticallyFlippedPathAboutPoint(const BezierPath& path, const QPointF& point)
{
    return transformedAbout(path, point, 1, -1, 0);
}

BezierPath horizontallyFlippedPath(const BezierPath& path)
{
    return horizontallyFlippedPathAboutPoint(path, centreOfBounds(path));
}

BezierPath verticallyFlippedPath(const BezierPath& path)
{
    return verticallyFlippedPathAboutPoint(path, centreOfBounds(path));
}

QPointF centreOfBounds(const BezierPath& path)
{
    const QRectF b = path.bounds();
    return QPointF(b.x() + b.width() * 0.5, b.y() + b.height() * 0.5);
}

// The change of direction is taken the short way round (at most a half turn), so a small
// turn across the direction -π/π is not read as nearly a full turn.
double minimumCornerAngle(const BezierPath& path)
{
    double minimum = kHalfTurn;
    const int n = path.elementCount();
    QPointF a(0, 0);
    for (int i = 0; i + 1 < n; ++i) {
        const Type type = path.elementTypeAt(i);
        if (type == Type::MoveTo) {
            a = path.elementAt(i).points[0];
            continue;
        }
        if (path.elementTypeAt(i + 1) == Type::MoveTo)
            continue;
        const QPointF b = endPointOfElement(path, i);
        const QPointF c = endPointOfElement(path, i + 1);
        double change = std::abs(angleBetween(a, b) - angleBetween(b, c));
        if (change > std::numbers::pi)
            change = 2 * std::numbers::pi - change;
        minimum = std::min(minimum, change);
        a = b;
    }
    return minimum;
}

// --- Iteration --------------------------------------------------------------------------

std::optional<BezierPath> bezierPathByIteratingWithDelegate(const BezierPath& path,
                                                            LBPathIterationDelegate* delegate,
                                                            void* contextInfo)
{
    if (!delegate)
        throw LBPathToolkitException(QStringLiteral("cannot operate with a nil delegate"),
                                     kSourceFile);
    if (path.isEmpty())
        return std::nullopt;
    BezierPath result;
    int subPathIndex = -1;
    bool closed = false;
    std::array<QPointF, 4> points{};
    for (int i = 0; i < path.elementCount(); ++i) {
        const BezierPath::Element e = path.elementAt(i);
        if (e.type == Type::MoveTo) {
            ++subPathIndex;
            closed = LBPathEditing::subpathContainingElementIsClosed(path, i);
            int last = LBPathEditing::subpathEndingElementForElement(path, i);
            while (last > i && path.elementTypeAt(last) == Type::ClosePath)
                --last;
            points[3] = endPointOfElement(path, last);
        }
        if (e.type == Type::CurveTo) {
            points[0] = e.points[2];
            points[1] = e.points[0];
            points[2] = e.points[1];
        } else {
            points[0] = points[1] = points[2] = endPointOfElement(path, i);
        }
        delegate->path(result, i, e.type, points, subPathIndex, closed, contextInfo);
    }
    return result;
}

// --- Parallel paths ---------------------------------------------------------------------

BezierPath paralleloidPathWithOffset(const BezierPath& path, double offset)
{
    return parallelPath(path, [offset](int) { return offset; });
}

BezierPath paralleloidPathWithOffset2(const BezierPath& path, double offset)
{
    if (offset == 0)
        return path;
    return paralleloidPathWithOffset(path.bezierPathByFlatteningPath(), offset);
}

BezierPath paralleloidPathWithOffset22(const BezierPath& path, double offset)
{
    if (offset == 0)
        return path;
    return paralleloidPathWithOffset3(path.bezierPathByFlatteningPath(), offset,
                                      path.lineJoinStyle());
}

BezierPath paralleloidPathWithOffset3(const BezierPath& path, double offset,
                                      BezierPath::LineJoin lineJoinStyle)
{
    for (const BezierPath::Element& e : path.elements()) {
        if (e.type == Type::CurveTo)
            throw LBPathToolkitException(
                QStringLiteral("paralleloidPathWithOffset3 requires a flattened path"),
                kSourceFile);
    }
    CornerBuilder builder(offset, lineJoinStyle, path.miterLimit());
    for (const VertexRun& run : vertexRuns(path, true))
        builder.emitSubpath(run.vertices, run.closed);
    return builder.out;
}

BezierPath offsetPathWithStartingOffset(const BezierPath& path, double startingOffset,
                                        double endingOffset)
{
    const int last = path.elementCount() - 1;
    return parallelPath(path, [=](int i) {
        if (last <= 0)
            return startingOffset;
        return startingOffset + (endingOffset - startingOffset) * i / last;
    });
}

BezierPath offsetPathWithStartingOffset2(const BezierPath& path, double startingOffset,
                                         double endingOffset)
{
    return offsetPathWithStartingOffset(path, startingOffset, endingOffset);
}

// --- Smoothing, fillets, jitter, fragments, zig-zag and wave -----------------------------

BezierPath bezierPathByInterpolatingPath(const BezierPath& path, double smoothness)
{
    if (!(smoothness > 0) || path.isEmpty())
        return path;
    const double k = std::min(smoothness, 1.0);
    BezierPath out;
    for (VertexRun run : vertexRuns(path, false)) {
        QList<QPointF>& v = run.vertices;
        if (run.closed && v.size() > 1 && v.last() == v.first())
            v.removeLast();
        const int n = v.size();
        out.moveTo(v[0]);
        if (n == 1) {
            if (run.closed)
                out.closePath();
            continue;
        }
        if (n == 2 && !run.closed) {
            out.lineTo(v[1]);
            continue;
        }
        // Incoming and outgoing control points of the vertices 1 .. n - 1.
        QList<QPointF> in(n), outgoing(n);
        for (int j = 1; j < n; ++j) {
            if (j == n - 1 && !run.closed)
                break;
            const QPointF p0 = v[j - 1], p1 = v[j], p2 = j + 1 < n ? v[j + 1] : v[0];
            const QPointF m1 = (p0 + p1) / 2, m2 = (p1 + p2) / 2;
            const double la = distanceBetween(p0, p1), lb = distanceBetween(p1, p2);
            const double t = la + lb > 0 ? la / (la + lb) : 0.0;
            const QPointF q = m1 + (m2 - m1) * t;
            in[j] = p1 + k * (m1 - q);
            outgoing[j] = p1 + k * (m2 - q);
        }
        out.curveTo(v[1], in[1], in[1]);
        const int lastOpen = run.closed ? n - 1 : n - 2; // start of the final segment
        for (int j = 1; j < lastOpen; ++j)
            out.curveTo(v[j + 1], outgoing[j], in[j + 1]);
        if (run.closed) {
            out.curveTo(v[0], outgoing[n - 1], outgoing[n - 1]);
            out.closePath();
        } else {
            out.curveTo(v[n - 1], outgoing[n - 2], outgoing[n - 2]);
        }
    }
    return out;
}

BezierPath filletPathForVertex(const std::array<QPointF, 3>& vertex, double filletSize)
{
    const QPointF &a = vertex[0], &b = vertex[1], &c = vertex[2];
    const double ab = distanceBetween(a, b), bc = distanceBetween(b, c);
    const QPointF p = ab > 0 ? interpolate(b, a, filletSize / ab) : b;
    const QPointF q = bc > 0 ? interpolate(b, c, filletSize / bc) : b;
    BezierPath out;
    out.moveTo(p);
    out.curveTo(q, b, b);
    return out;
}

BezierPath bezierPathByRandomisingPoints(const BezierPath& path, double amount)
{
    BezierPath out(path);
    out.removeAllPoints();
    if (amount == 0) {
        const QRectF b = path.controlPointBounds();
        amount = std::min(b.width(), b.height()) / 24.0;
    }
    const auto jitter = [amount]() {
        const double dx = PTRandom::randomPositiveOrNegativeNumber();
        const double dy = PTRandom::randomPositiveOrNegativeNumber();
        return QPointF(dx, dy) * amount;
    };
    for (const BezierPath::Element& e : path.elements()) {
        const QPointF first = jitter();
        switch (e.type) {
        case Type::MoveTo: out.moveTo(e.points[0]); break;
        case Type::LineTo: out.lineTo(e.points[0] + first); break;
        case Type::CurveTo: {
            const QPointF c1 = e.points[0] + first;
            const QPointF c2 = e.points[1] + jitter();
            const QPointF end = e.points[2] + jitter();
            out.curveTo(end, c1, c2);
            break;
        }
        case Type::ClosePath: out.closePath(); break;
        }
    }
    return out;
}

// The remainder of each line after its last whole fragment is kept, so the path keeps its
// shape and every following element starts where it did.
BezierPath bezierPathWithFragmentedLineSegments(const BezierPath& path, double fragmentLength)
{
    if (!(fragmentLength > 0))
        return path;
    BezierPath out(path);
    out.removeAllPoints();
    QPointF current, start;
    for (const BezierPath::Element& e : path.elements()) {
        switch (e.type) {
        case Type::MoveTo:
            out.moveTo(e.points[0]);
            current = start = e.points[0];
            break;
        case Type::LineTo: {
            const QPointF end = e.points[0];
            const double l = distanceBetween(current, end);
            const double step = std::max(fragmentLength, l / kMaximumPieces);
            if (l > 0) {
                const int whole = static_cast<int>(std::floor(l / step));
                for (int k = 1; k <= whole; ++k) {
                    const double t = k * step / l;
                    if (t >= 1 - 1e-12)
                        break;
                    out.lineTo(interpolate(current, end, t));
                }
            }
            out.lineTo(end);
            current = end;
            break;
        }
        case Type::CurveTo:
            out.curveTo(e.points[2], e.points[0], e.points[1]);
            current = e.points[2];
            break;
        case Type::ClosePath:
            out.closePath();
            current = start;
            break;
        }
    }
    return out;
}

// Samples every `zig` along the path; the sample whose next step would pass the end is
// taken at the end (at the start of a closed path, which the close then joins). An open
// path is sampled up to and including its end, so a length that is a whole number of
// steps still reaches the end point.
BezierPath bezierPathWithZig(const BezierPath& path, double zig, double zag)
{
    if (!(zig > 0))
        throw LBPathToolkitException(QStringLiteral("zig must be > 0"), kSourceFile);
    if (!(zag > 0))
        return path;
    BezierPath out;
    out.setWindingRule(path.windingRule());
    out.moveTo(firstPoint(path));
    const double total = length(path);
    const bool closed = LBPathEditing::isPathClosed(path);
    const double step = std::max(zig, total / kMaximumPieces);
    const double eps = 1e-9 * std::max(total, 1.0);
    double side = -1;
    bool first = true;
    for (qint64 k = 0; total > 0; ++k) {
        const double distance = k * step;
        if (closed ? !(distance < total - eps) : !(distance <= total + eps))
            break;
        double at = distance;
        if (distance + step > total + eps)
            at = closed ? 0.0 : total;
        double slope = 0;
        const QPointF p = pointOnPathAtLength(path, at, &slope);
        const QPointF vertex = p + polar(zag, slope + side * kQuarterTurn);
        if (first)
            out.moveTo(vertex);
        else
            out.lineTo(vertex);
        first = false;
        side = -side;
    }
    if (closed)
        out.closePath();
    return out;
}

BezierPath bezierPathWithWavelength(const BezierPath& path, double wavelength, double amplitude,
                                    double spread)
{
    if (!(wavelength > 0))
        throw LBPathToolkitException(QStringLiteral("wavelength cannot be 0 or negative"),
                                     kSourceFile);
    if (!(amplitude > 0))
        return path;
    if (!(spread > 0))
        return bezierPathWithZig(path, wavelength, amplitude);
    BezierPath out;
    out.setWindingRule(path.windingRule());
    out.moveTo(firstPoint(path));
    const double total = length(path);
    const bool closed = LBPathEditing::isPathClosed(path);
    const double handle = spread * amplitude;
    const double eps = 1e-9 * std::max(total, 1.0);
    double previousSlope = slopeStartingPath(path);
    double step = std::max(wavelength, total / kMaximumPieces);
    double distance = 0;
    double side = -1;
    bool first = true;
    while (total > 0 && distance <= total + eps) {
        double at = distance;
        double nextStep = step;
        bool restep = false;
        if (distance + step > total + eps) {
            if (!closed) {
                at = total;
            } else if (side < 0) {
                at = 0; // a crest on the first side closes onto the first crest
            } else {
                // A crest on the second side half-way to the end, then one step to the end.
                at = (distance + total) * 0.5;
                nextStep = std::max(total - at, 1.0);
                restep = true;
            }
        }
        double slope = 0;
        const QPointF p = pointOnPathAtLength(path, at, &slope);
        const QPointF crest = p + polar(amplitude, slope + side * kQuarterTurn);
        if (first) {
            out.moveTo(crest);
        } else {
            const QPointF current = out.currentPoint();
            out.curveTo(crest, current + polar(handle, previousSlope),
                        crest + polar(handle, slope - kHalfTurn));
        }
        first = false;
        previousSlope = slope;
        side = -side;
        if (restep) {
            distance = at;
            step = nextStep;
        }
        distance += step;
    }
    if (closed)
        out.closePath();
    return out;
}

} // namespace LBPathGeometry
