#include "geometry/LBPathEditing.h"
#include "platform/drawing/GraphicsContext.h"

#include <QPainter>
#include <QPen>

#include "platform/core/TextForms.h"

#include <algorithm>
#include <cmath>

namespace LBPathEditing {

namespace {

using Type = BezierPath::ElementType;
using LBPathGeometry::angleBetween;
using LBPathGeometry::distanceBetween;
using LBPathGeometry::endPointOfElement;
using LBPathGeometry::interpolate;
using LBPathGeometry::subpathStartForElement;

double g_constraintAngle = kDefaultConstraintAngle;

int pointCountOf(Type type)
{
    switch (type) {
    case Type::MoveTo:
    case Type::LineTo: return 1;
    case Type::CurveTo: return 3;
    case Type::ClosePath: return 0;
    }
    return 0;
}

// Element index and point index of a partcode naming an existing point.
struct PointRef
{
    int element = -1;
    int index = 0;
};

std::optional<PointRef> pointRefFor(const BezierPath& path, quint32 partcode)
{
    const qint64 element = static_cast<qint64>(partcode / 4) - 1;
    const int index = static_cast<int>(partcode % 4);
    if (element < 0 || element >= path.elementCount())
        return std::nullopt;
    if (index >= pointCountOf(path.elementTypeAt(static_cast<int>(element))))
        return std::nullopt;
    return PointRef{static_cast<int>(element), index};
}

bool closedRectContains(const QRectF& r, const QPointF& p)
{
    return p.x() >= r.left() && p.x() <= r.right() && p.y() >= r.top() && p.y() <= r.bottom();
}

QRectF rectOfPoints(const QPointF& a, const QPointF& b)
{
    return QRectF(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::abs(a.x() - b.x()),
                  std::abs(a.y() - b.y()));
}

QPointF polar(double radius, double angle)
{
    return QPointF(radius * std::cos(angle), radius * std::sin(angle));
}

BezierPath emptyCopy(const BezierPath& path)
{
    BezierPath out(path);
    out.removeAllPoints();
    return out;
}

// Nearest point of segment a-b to p, with its fraction along the segment.
QPointF nearestOnSegment(const QPointF& a, const QPointF& b, const QPointF& p, double* fraction)
{
    const double length = distanceBetween(a, b);
    QPointF nearest = a;
    if (length > 0) {
        const double t = ((p.x() - a.x()) * (b.x() - a.x()) + (p.y() - a.y()) * (b.y() - a.y()))
                         / (length * length);
        nearest = t <= 0 ? a : t >= 1 ? b : interpolate(a, b, t);
    }
    *fraction = length > 0 ? distanceBetween(nearest, a) / length : 0.0;
    return nearest;
}

// The last element of the subpath holding `element` that draws (not a close).
int lastDrawingElement(const BezierPath& path, int element)
{
    int last = subpathEndingElementForElement(path, element);
    while (last > element && path.elementTypeAt(last) == Type::ClosePath)
        --last;
    return last;
}

// --- Nearest point on a cubic: roots of (B(t) - P) · B'(t) in Bezier form ------------------

constexpr int kDegree = 5;
constexpr int kMaximumDepth = 64;
const double kFlatEnough = std::ldexp(1.0, -(kMaximumDepth + 1));

using Control = std::array<QPointF, kDegree + 1>;

int crossingCount(const Control& w)
{
    int crossings = 0;
    int previous = w[0].y() < 0 ? -1 : 1;
    for (int i = 1; i <= kDegree; ++i) {
        const int sign = w[i].y() < 0 ? -1 : 1;
        if (sign != previous)
            ++crossings;
        previous = sign;
    }
    return crossings;
}

// The control polygon lies within a band around its chord narrow enough that the chord's
// crossing of zero is the root.
bool flatEnough(const Control& w)
{
    const double a = w[0].y() - w[kDegree].y();
    const double b = w[kDegree].x() - w[0].x();
    const double c = w[0].x() * w[kDegree].y() - w[kDegree].x() * w[0].y();
    if (a == 0)
        return false;
    double above = 0, below = 0;
    for (int i = 1; i < kDegree; ++i) {
        const double v = a * w[i].x() + b * w[i].y() + c;
        above = std::max(above, v);
        below = std::min(below, v);
    }
    const double error = 0.5 * std::abs(above - below) / std::abs(a);
    return error < kFlatEnough;
}

double chordCrossing(const Control& w)
{
    const double dy = w[kDegree].y() - w[0].y();
    if (dy == 0)
        return (w[0].x() + w[kDegree].x()) / 2;
    return w[0].x() - w[0].y() * (w[kDegree].x() - w[0].x()) / dy;
}

void findRoots(const Control& w, int depth, QList<double>& roots)
{
    const int crossings = crossingCount(w);
    if (crossings == 0)
        return;
    if (depth >= kMaximumDepth) {
        roots.append((w[0].x() + w[kDegree].x()) / 2);
        return;
    }
    if (crossings == 1 && flatEnough(w)) {
        roots.append(chordCrossing(w));
        return;
    }
    // De Casteljau at 0.5.
    std::array<Control, kDegree + 1> table;
    table[0] = w;
    for (int level = 1; level <= kDegree; ++level) {
        for (int j = 0; j <= kDegree - level; ++j)
            table[level][j] = (table[level - 1][j] + table[level - 1][j + 1]) / 2;
    }
    Control left, right;
    for (int j = 0; j <= kDegree; ++j) {
        left[j] = table[j][0];
        right[j] = table[kDegree - j][j];
    }
    findRoots(left, depth + 1, roots);
    findRoots(right, depth + 1, roots);
}

} // namespace

void appendElement(BezierPath& path, const BezierPath::Element& e)
{
    switch (e.type) {
    case Type::MoveTo: path.moveTo(e.points[0]); break;
    case Type::LineTo: path.lineTo(e.points[0]); break;
    case Type::CurveTo: path.curveTo(e.points[2], e.points[0], e.points[1]); break;
    case Type::ClosePath: path.closePath(); break;
    }
}

// --- Class-wide settings and point helpers ------------------------------------------------

void setConstraintAngle(double angle)
{
    g_constraintAngle = angle;
}

double constraintAngle()
{
    return g_constraintAngle;
}

QPointF colinearPointForPoint(const QPointF& point, const QPointF& centrePoint)
{
    return 2 * centrePoint - point;
}

QPointF colinearPointForPoint(const QPointF& point, const QPointF& centrePoint, double radius)
{
    return centrePoint
           + polar(radius, angleBetween(centrePoint, point) + LBPathGeometry::kHalfTurn);
}

void colineariseVertex(const std::array<QPointF, 3>& vertex, QPointF* cpA, QPointF* cpB)
{
    const QPointF &a = vertex[0], &v = vertex[1], &b = vertex[2];
    const double la = distanceBetween(a, v), lb = distanceBetween(v, b);
    const double angle = (angleBetween(v, b) + angleBetween(a, v)) * 0.5;
    if (cpA)
        *cpA = v + polar(la, angle + LBPathGeometry::kHalfTurn);
    if (cpB)
        *cpB = v - polar(lb, angle + LBPathGeometry::kHalfTurn);
}

int point(const QPointF& p, const QList<QPointF>& inNSPointArray, double tolerance)
{
    for (int i = 0; i < inNSPointArray.size(); ++i) {
        const QPointF& c = inNSPointArray[i];
        const QRectF square(c.x() - tolerance / 2, c.y() - tolerance / 2, tolerance, tolerance);
        if (platform::pointInRect(p, square))
            return i;
    }
    return kNotFound;
}

// --- Partcodes --------------------------------------------------------------------------

quint32 partcodeForElement(int element)
{
    return element < 0 ? 0u : static_cast<quint32>(element + 1) * 4u;
}

quint32 partcodeForControlPoint(int controlPoint, int ofElement)
{
    if (ofElement < 0)
        return 0;
    return partcodeForElement(ofElement) + static_cast<quint32>(controlPoint & 3);
}

std::optional<BezierPath::ElementType> elementTypeForPartcode(const BezierPath& path,
                                                              quint32 partcode)
{
    const qint64 element = static_cast<qint64>(partcode / 4) - 1;
    if (element < 0 || element >= path.elementCount())
        return std::nullopt;
    return path.elementTypeAt(static_cast<int>(element));
}

bool isControlPoint(const BezierPath& path, quint32 partcode)
{
    const std::optional<PointRef> ref = pointRefFor(path, partcode);
    return ref && path.elementTypeAt(ref->element) == Type::CurveTo && ref->index < 2;
}

QPointF pointForPartcode(const BezierPath& path, quint32 partcode)
{
    const std::optional<PointRef> ref = pointRefFor(path, partcode);
    if (!ref)
        return QPointF(0, 0);
    return path.elementAt(ref->element).points[ref->index];
}

void setControlPoint(BezierPath& path, const QPointF& p, quint32 forPartcode)
{
    const std::optional<PointRef> ref = pointRefFor(path, forPartcode);
    if (!ref)
        return;
    std::array<QPointF, 3> points = path.elementAt(ref->element).points;
    points[ref->index] = p;
    path.setAssociatedPoints(points, ref->element);
}

quint32 partcodeForLastPoint(const BezierPath& path)
{
    const int last = path.elementCount() - 1;
    if (last < 0)
        return 0;
    return partcodeForControlPoint(path.elementTypeAt(last) == Type::CurveTo ? 2 : 0, last);
}

// --- Hits -------------------------------------------------------------------------------

quint32 partcodeHitByPoint(const BezierPath& path, const QPointF& p, double tolerance)
{
    return partcodeHitByPoint(path, p, tolerance, 0);
}

quint32 partcodeHitByPoint(const BezierPath& path, const QPointF& p, double tolerance,
                           int startingFromElement)
{
    const int n = path.elementCount();
    if (n == 0)
        return 0;
    const QRectF reach = path.controlPointBounds().adjusted(-tolerance / 2, -tolerance / 2,
                                                            tolerance / 2, tolerance / 2);
    if (!closedRectContains(reach, p))
        return 0;
    const auto hitControls = [&](int element) -> quint32 {
        const BezierPath::Element e = path.elementAt(element);
        const int k = point(p, {e.points[0], e.points[1]}, tolerance);
        return k == kNotFound ? 0 : partcodeForControlPoint(k, element);
    };
    const int first = std::max(startingFromElement, 0);
    for (int i = first; i < n; ++i) {
        const BezierPath::Element e = path.elementAt(i);
        if (i == first && e.type == Type::CurveTo) {
            if (const quint32 hit = hitControls(i))
                return hit;
        }
        if (i + 1 < n && path.elementTypeAt(i + 1) == Type::CurveTo) {
            if (const quint32 hit = hitControls(i + 1))
                return hit;
        }
        if (e.type == Type::ClosePath)
            continue;
        const int k = e.type == Type::CurveTo ? 2 : 0;
        if (point(p, {e.points[k]}, tolerance) != kNotFound)
            return partcodeForControlPoint(k, i);
    }
    return 0;
}

int elementHitByPoint(const BezierPath& path, const QPointF& p, double tolerance, double* tValue,
                      QPointF* nearestPoint)
{
    const int n = path.elementCount();
    if (n == 0)
        return -1;
    const QRectF reach = path.bounds().adjusted(-tolerance, -tolerance, tolerance, tolerance);
    if (!closedRectContains(reach, p))
        return -1;
    // Candidates: boxes holding the point, then boxes within the tolerance of it.
    QList<int> candidates;
    for (int i = 1; i < n; ++i) {
        if (path.elementTypeAt(i) != Type::MoveTo
            && platform::pointInRect(p, boundingBoxForElement(path, i)))
            candidates.append(i);
    }
    for (int i = 1; i < n; ++i) {
        if (path.elementTypeAt(i) == Type::MoveTo || candidates.contains(i))
            continue;
        const QRectF box =
            boundingBoxForElement(path, i).adjusted(-tolerance, -tolerance, tolerance, tolerance);
        if (closedRectContains(box, p))
            candidates.append(i);
    }
    for (int i : std::as_const(candidates)) {
        const QPointF a = endPointOfElement(path, i - 1);
        const BezierPath::Element e = path.elementAt(i);
        double t = 0;
        QPointF nearest;
        if (e.type == Type::CurveTo)
            nearest = nearestPointOnCurve({a, e.points[0], e.points[1], e.points[2]}, p, &t);
        else if (e.type == Type::LineTo)
            nearest = nearestOnSegment(a, e.points[0], p, &t);
        else
            nearest = nearestOnSegment(a, subpathStartForElement(path, i), p, &t);
        if (distanceBetween(p, nearest) <= tolerance) {
            if (tValue)
                *tValue = t;
            if (nearestPoint)
                *nearestPoint = nearest;
            return i;
        }
    }
    return -1;
}

QPointF nearestPointToPoint(const BezierPath& path, const QPointF& p, double tolerance)
{
    QPointF nearest;
    if (elementHitByPoint(path, p, tolerance, nullptr, &nearest) < 0)
        return p;
    return nearest;
}

QPointF nearestPointOnCurve(const Cubic& q, const QPointF& p, double* tValue)
{
    static const double z[3][4] = {
        {1.0, 0.6, 0.3, 0.1},
        {0.4, 0.6, 0.6, 0.4},
        {0.1, 0.3, 0.6, 1.0},
    };
    QPointF c[4], d[3];
    for (int i = 0; i < 4; ++i)
        c[i] = q[i] - p;
    for (int j = 0; j < 3; ++j)
        d[j] = 3 * (q[j + 1] - q[j]);
    Control w;
    for (int k = 0; k <= kDegree; ++k)
        w[k] = QPointF(static_cast<double>(k) / kDegree, 0.0);
    for (int k = 0; k <= kDegree; ++k) {
        for (int i = std::max(0, k - 2); i <= std::min(k, 3); ++i) {
            const int j = k - i;
            const double dot = d[j].x() * c[i].x() + d[j].y() * c[i].y();
            w[k].ry() += dot * z[j][i];
        }
    }
    QList<double> candidates{0.0};
    findRoots(w, 0, candidates);
    candidates.append(1.0);

    const auto squaredDistance = [&](double t) {
        const QPointF v = LBPathGeometry::pointOnCubic(q, t) - p;
        return v.x() * v.x() + v.y() * v.y();
    };
    double bestT = 0;
    double best = squaredDistance(0);
    for (int i = 1; i < candidates.size(); ++i) {
        const double t = std::clamp(candidates[i], 0.0, 1.0);
        const double distance = squaredDistance(t);
        if (distance < best) {
            best = distance;
            bestT = t;
        }
    }
    if (tValue)
        *tValue = bestT;
    return LBPathGeometry::pointOnCubic(q, bestT);
}

int elementBoundsContainsPoint(const BezierPath& path, const QPointF& p, double tolerance)
{
    const int n = path.elementCount();
    for (int i = 1; i < n; ++i) {
        if (path.elementTypeAt(i) != Type::MoveTo
            && platform::pointInRect(p, boundingBoxForElement(path, i)))
            return i;
    }
    for (int i = 1; i < n; ++i) {
        if (path.elementTypeAt(i) == Type::MoveTo)
            continue;
        const QRectF box =
            boundingBoxForElement(path, i).adjusted(-tolerance, -tolerance, tolerance, tolerance);
        if (closedRectContains(box, p))
            return i;
    }
    return -1;
}

// --- Bounding boxes ---------------------------------------------------------------------

QRectF boundingBoxForElement(const BezierPath& path, int element)
{
    if (element < 0 || element >= path.elementCount())
        return QRectF(0, 0, 0, 0);
    const BezierPath::Element e = path.elementAt(element);
    const QPointF previous = endPointOfElement(path, element - 1);
    switch (e.type) {
    case Type::MoveTo: return QRectF(0, 0, 0, 0);
    case Type::LineTo: return rectOfPoints(previous, e.points[0]);
    case Type::ClosePath: return rectOfPoints(previous, subpathStartForElement(path, element));
    case Type::CurveTo: {
        const QRectF a = rectOfPoints(previous, e.points[0]);
        const QRectF b = rectOfPoints(e.points[1], e.points[2]);
        const double left = std::min(a.left(), b.left()), top = std::min(a.top(), b.top());
        return QRectF(left, top, std::max(a.right(), b.right()) - left,
                      std::max(a.bottom(), b.bottom()) - top);
    }
    }
    return QRectF(0, 0, 0, 0);
}

// An end point changes its own element and the next (which starts there); a curve's
// first control point also reaches the previous element (its colinear partner), the
// second the next one.
QList<QRectF> boundingBoxesForPartcode(const BezierPath& path, quint32 partcode)
{
    const std::optional<PointRef> ref = pointRefFor(path, partcode);
    if (!ref)
        return {};
    const bool curve = path.elementTypeAt(ref->element) == Type::CurveTo;
    QList<int> elements{ref->element};
    if (curve && ref->index == 0)
        elements.prepend(ref->element - 1);
    else
        elements.append(ref->element + 1);
    QList<QRectF> boxes;
    for (int i : std::as_const(elements)) {
        if (i < 0 || i >= path.elementCount())
            continue;
        const QRectF box = boundingBoxForElement(path, i);
        if (!boxes.contains(box))
            boxes.append(box);
    }
    return boxes;
}

QList<QRectF> allBoundingBoxes(const BezierPath& path)
{
    QList<QRectF> boxes;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QRectF box = boundingBoxForElement(path, i);
        if (!boxes.contains(box))
            boxes.append(box);
    }
    return boxes;
}

void drawElementsBoundingBoxes(const BezierPath& path)
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !context->painter())
        return;
    QPainter* painter = context->painter();
    painter->save();
    QPen pen(Qt::red);
    pen.setWidthF(0); // cosmetic: one device pixel whatever the zoom
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    for (const QRectF& box : allBoundingBoxes(path))
        painter->drawRect(box);
    painter->restore();
}

// --- Subpaths ---------------------------------------------------------------------------

double tangentAtStartOfSubpath(const BezierPath& path, int element)
{
    const int start = subpathStartingElementForElement(path, element);
    if (start < 0 || start + 1 >= path.elementCount())
        return 0.0;
    const BezierPath::Element next = path.elementAt(start + 1);
    const QPointF towards =
        next.type == Type::ClosePath ? path.elementAt(start).points[0] : next.points[0];
    return angleBetween(path.elementAt(start).points[0], towards) + LBPathGeometry::kHalfTurn;
}

// For a subpath ending with a close, the direction of the closing line.
double tangentAtEndOfSubpath(const BezierPath& path, int element)
{
    const int last = subpathEndingElementForElement(path, element);
    if (last <= 0)
        return 0.0;
    const BezierPath::Element e = path.elementAt(last);
    if (e.type == Type::CurveTo)
        return angleBetween(e.points[1], e.points[2]);
    if (e.type == Type::MoveTo)
        return 0.0;
    return angleBetween(endPointOfElement(path, last - 1), endPointOfElement(path, last));
}

int subpathStartingElementForElement(const BezierPath& path, int element)
{
    if (element < 0)
        return -1;
    for (int i = std::min(element, path.elementCount() - 1); i >= 0; --i) {
        if (path.elementTypeAt(i) == Type::MoveTo)
            return i;
    }
    return -1;
}

int subpathEndingElementForElement(const BezierPath& path, int element)
{
    const int n = path.elementCount();
    if (element < 0 || element >= n)
        return -1;
    int last = element;
    while (last + 1 < n && path.elementTypeAt(last + 1) != Type::MoveTo)
        ++last;
    return last;
}

// Only the subpath's own elements count: a close in a later subpath does not close this
// one. A subpath without drawing elements is not closed.
bool subpathContainingElementIsClosed(const BezierPath& path, int element)
{
    const int last = subpathEndingElementForElement(path, element);
    if (last < 0)
        return false;
    for (int i = element; i <= last; ++i) {
        if (path.elementTypeAt(i) == Type::ClosePath)
            return true;
    }
    const int first = subpathStartingElementForElement(path, element);
    if (last <= first)
        return false;
    return endPointOfElement(path, last) == subpathStartForElement(path, element);
}

bool isPathClosed(const BezierPath& path)
{
    return subpathContainingElementIsClosed(path, 0);
}

void getPathMoveToCount(const BezierPath& path, int* moveToCount, int* lineToCount,
                        int* curveToCount, int* closePathCount)
{
    int counts[4] = {0, 0, 0, 0};
    for (const BezierPath::Element& e : path.elements())
        ++counts[static_cast<int>(e.type)];
    if (moveToCount)
        *moveToCount = counts[static_cast<int>(Type::MoveTo)];
    if (lineToCount)
        *lineToCount = counts[static_cast<int>(Type::LineTo)];
    if (curveToCount)
        *curveToCount = counts[static_cast<int>(Type::CurveTo)];
    if (closePathCount)
        *closePathCount = counts[static_cast<int>(Type::ClosePath)];
}

// --- Checksum and clean-up ----------------------------------------------------------------

quint32 checksum(const BezierPath& path)
{
    // Coordinates rounded in single precision, wrapped to 32 bits (clamped far outside any
    // page so the conversion is defined).
    const auto rounded = [](double v) -> quint32 {
        const float f = static_cast<float>(std::clamp(v, -1e15, 1e15));
        if (std::isnan(f))
            return 0;
        return static_cast<quint32>(static_cast<quint64>(std::llround(f)));
    };
    const QList<BezierPath::Element>& els = path.elements();
    quint32 h = (static_cast<quint32>(els.size()) * 32u) ^ 0x95dd8b3u;
    for (const BezierPath::Element& e : els) {
        const int used = pointCountOf(e.type);
        h = (static_cast<quint32>(e.type) * 1024u) ^ h;
        for (int i = 0; i < 3; ++i) {
            const QPointF p = i < used ? e.points[i] : QPointF(0, 0);
            h ^= rounded(p.x()) ^ rounded(p.y());
        }
    }
    return h;
}

BezierPath bezierPathByRemovingTrailingElements(const BezierPath& path, int count)
{
    BezierPath out = emptyCopy(path);
    const int keep = path.elementCount() - std::max(count, 0);
    for (int i = 0; i < keep; ++i)
        appendElement(out, path.elementAt(i));
    return out;
}

BezierPath bezierPathByStrippingRedundantElements(const BezierPath& path)
{
    BezierPath out = emptyCopy(path);
    const int n = path.elementCount();
    QPointF current, start;
    for (int i = 0; i < n; ++i) {
        const BezierPath::Element e = path.elementAt(i);
        switch (e.type) {
        case Type::MoveTo:
            current = start = e.points[0];
            if (i == n - 1)
                continue;
            break;
        case Type::LineTo:
            if (e.points[0] == current)
                continue;
            current = e.points[0];
            break;
        case Type::CurveTo:
            if (e.points[0] == current && e.points[1] == current && e.points[2] == current)
                continue;
            current = e.points[2];
            break;
        case Type::ClosePath: current = start; break;
        }
        appendElement(out, e);
    }
    return out;
}

// --- Editing ----------------------------------------------------------------------------

namespace {

// Rounds the direction from the anchor to the nearest multiple of the constraint angle,
// keeping the distance.
QPointF snapped(const QPointF& anchor, const QPointF& p)
{
    const double step = g_constraintAngle;
    if (!(step > 0))
        return p;
    double angle = angleBetween(anchor, p);
    const double r = distanceBetween(anchor, p);
    const double m = std::fmod(angle, step);
    if (m > step / 2)
        angle += step - m;
    else if (m < -step / 2)
        angle -= step + m;
    else
        angle -= m;
    return anchor + polar(r, angle);
}

void moveBy(BezierPath& path, int element, int index, const QPointF& delta)
{
    std::array<QPointF, 3> points = path.elementAt(element).points;
    points[index] += delta;
    path.setAssociatedPoints(points, element);
}

void setPoint(BezierPath& path, int element, int index, const QPointF& p)
{
    std::array<QPointF, 3> points = path.elementAt(element).points;
    points[index] = p;
    path.setAssociatedPoints(points, element);
}

// The handle on the other side of a curve's control point, when the vertex between them
// joins two curves: (element, point index), or none.
std::optional<PointRef> oppositeHandle(const BezierPath& path, int element, int index)
{
    const int n = path.elementCount();
    const int start = subpathStartingElementForElement(path, element);
    if (index == 0) {
        if (element > 0 && path.elementTypeAt(element - 1) == Type::CurveTo)
            return PointRef{element - 1, 1};
        // The first curve of a closed subpath meets the last one at the start point.
        if (start >= 0 && element == start + 1 && subpathContainingElementIsClosed(path, element)) {
            const int last = lastDrawingElement(path, element);
            if (last > element && path.elementTypeAt(last) == Type::CurveTo
                && path.elementAt(last).points[2] == path.elementAt(start).points[0])
                return PointRef{last, 1};
        }
        return std::nullopt;
    }
    if (element + 1 < n && path.elementTypeAt(element + 1) == Type::CurveTo)
        return PointRef{element + 1, 0};
    if (start >= 0 && element == lastDrawingElement(path, element)
        && subpathContainingElementIsClosed(path, element)
        && path.elementAt(element).points[2] == path.elementAt(start).points[0]
        && start + 1 < element && path.elementTypeAt(start + 1) == Type::CurveTo)
        return PointRef{start + 1, 0};
    return std::nullopt;
}

void movePoint(BezierPath& path, quint32 partcode, QPointF p, bool colinear, bool coradial,
               bool constrainAngle, bool outermost)
{
    const std::optional<PointRef> ref = pointRefFor(path, partcode);
    if (!ref)
        return; // no such point (a close has none)
    const int i = ref->element, k = ref->index;
    const int n = path.elementCount();
    const BezierPath::Element e = path.elementAt(i);
    const bool curve = e.type == Type::CurveTo;
    const QPointF old = e.points[k];

    if (constrainAngle && !(curve && k == 2)) {
        if (curve && k == 1)
            p = snapped(e.points[2], p);
        else if (i > 0)
            p = snapped(endPointOfElement(path, i - 1), p);
    }
    // Handles travel with their anchor by the distance it actually moved.
    const QPointF delta = p - old;

    if (!curve) {
        setPoint(path, i, 0, p);
        if (i + 1 < n && path.elementTypeAt(i + 1) == Type::CurveTo)
            moveBy(path, i + 1, 0, delta);
        if (outermost && e.type == Type::MoveTo && subpathContainingElementIsClosed(path, i)) {
            const int last = lastDrawingElement(path, i);
            if (last > i && endPointOfElement(path, last) == old) {
                const bool lastIsCurve = path.elementTypeAt(last) == Type::CurveTo;
                movePoint(path, partcodeForControlPoint(lastIsCurve ? 2 : 0, last), p, colinear,
                          coradial, false, false);
            }
        }
        return;
    }
    if (k == 2) {
        if (i + 1 < n && path.elementTypeAt(i + 1) == Type::CurveTo)
            moveBy(path, i + 1, 0, delta);
        moveBy(path, i, 1, delta);
        setPoint(path, i, 2, p);
        return;
    }
    if (colinear) {
        if (const std::optional<PointRef> other = oppositeHandle(path, i, k)) {
            const QPointF centre = k == 0 ? endPointOfElement(path, i - 1) : e.points[2];
            const QPointF current = path.elementAt(other->element).points[other->index];
            const QPointF moved =
                coradial ? colinearPointForPoint(p, centre)
                         : colinearPointForPoint(p, centre, distanceBetween(centre, current));
            setPoint(path, other->element, other->index, moved);
        }
    }
    setPoint(path, i, k, p);
}

} // namespace

void moveControlPointPartcode(BezierPath& path, quint32 partcode, const QPointF& toPoint,
                              bool colinear, bool coradial, bool constrainAngle)
{
    movePoint(path, partcode, toPoint, colinear, coradial, constrainAngle, true);
}

BezierPath deleteControlPointForPartcode(const BezierPath& path, quint32 partcode)
{
    const std::optional<PointRef> ref = pointRefFor(path, partcode);
    const std::optional<Type> type = elementTypeForPartcode(path, partcode);
    if (!type)
        return path;
    // A close has no point but its partcode names it; deleting it opens the subpath.
    const int i = ref ? ref->element : static_cast<int>(partcode / 4) - 1;
    if (*type == Type::CurveTo && (!ref || ref->index != 2))
        return path;
    if (!ref && (*type != Type::ClosePath || partcode % 4 != 0))
        return path;
    const BezierPath::Element deleted = path.elementAt(i);
    BezierPath out = emptyCopy(path);
    for (int j = 0; j < path.elementCount(); ++j) {
        if (j == i)
            continue;
        BezierPath::Element e = path.elementAt(j);
        if (i == 0 && j == 1) {
            out.moveTo(endPointOfElement(path, 1));
            continue;
        }
        if (j == i + 1 && e.type == Type::CurveTo && deleted.type != Type::ClosePath)
            e.points[0] = deleted.points[0];
        appendElement(out, e);
    }
    return out;
}

std::optional<BezierPath> insertControlPointAtPoint(const BezierPath& path, const QPointF& p,
                                                    double tolerance, BezierPath::ElementType type)
{
    double t = 0;
    const int hit = elementHitByPoint(path, p, tolerance, &t, nullptr);
    if (hit < 0)
        return std::nullopt;
    const bool wantsCurves = type == Type::CurveTo || type == Type::ClosePath;
    const bool wantsLine = type == Type::LineTo || type == Type::ClosePath;
    const auto straightCurve = [](BezierPath& out, const QPointF& from, const QPointF& to) {
        out.curveTo(to, interpolate(from, to, 0.25), interpolate(from, to, 0.75));
    };
    BezierPath out = emptyCopy(path);
    for (int j = 0; j < path.elementCount(); ++j) {
        const BezierPath::Element e = path.elementAt(j);
        if (j != hit) {
            appendElement(out, e);
            continue;
        }
        const QPointF a = endPointOfElement(path, j - 1);
        switch (e.type) {
        case Type::CurveTo: {
            Cubic left, right;
            LBPathGeometry::splitCubic({a, e.points[0], e.points[1], e.points[2]}, t, &left,
                                       &right);
            if (wantsLine)
                out.lineTo(left[3]);
            else
                out.curveTo(left[3], left[1], left[2]);
            out.curveTo(right[3], right[1], right[2]);
            break;
        }
        case Type::LineTo: {
            const QPointF q = interpolate(a, e.points[0], t);
            if (wantsCurves) {
                straightCurve(out, a, q);
                straightCurve(out, q, e.points[0]);
            } else {
                out.lineTo(q);
                out.lineTo(e.points[0]);
            }
            break;
        }
        case Type::ClosePath: {
            // The new point goes on the closing line, which the close still draws after it.
            const QPointF q = interpolate(a, subpathStartForElement(path, j), t);
            if (wantsCurves)
                straightCurve(out, a, q);
            else
                out.lineTo(q);
            out.closePath();
            break;
        }
        case Type::MoveTo: appendElement(out, e); break;
        }
    }
    return out;
}

} // namespace LBPathEditing
