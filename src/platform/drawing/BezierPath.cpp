#include "platform/drawing/BezierPath.h"

#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPen>
#include <QSharedData>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <utility>

namespace platform {

namespace {

// Distance of the control points from the ends of a cubic quarter circle of radius 1.
constexpr qreal kQuarterArcKappa = 0.5522847498;

// An oval's start, then each quarter arc's two control points and end.
using OvalPoints = std::array<QPointF, 13>;

OvalPoints ovalPoints(const QRectF& rect)
{
    const qreal rx = rect.width() / 2, ry = rect.height() / 2;
    const qreal cx = rect.left() + rx, cy = rect.top() + ry;
    const qreal kx = rx * kQuarterArcKappa, ky = ry * kQuarterArcKappa;
    return {QPointF(cx + rx, cy), QPointF(cx + rx, cy + ky), QPointF(cx + kx, cy + ry),
            QPointF(cx, cy + ry), QPointF(cx - kx, cy + ry), QPointF(cx - rx, cy + ky),
            QPointF(cx - rx, cy), QPointF(cx - rx, cy - ky), QPointF(cx - kx, cy - ry),
            QPointF(cx, cy - ry), QPointF(cx + kx, cy - ry), QPointF(cx + rx, cy - ky),
            QPointF(cx + rx, cy)};
}
constexpr qreal kPi = 3.14159265358979323846;

QPointF endPointOf(const BezierPath::Element& element)
{
    return element.type == BezierPath::ElementType::CurveTo ? element.points[2] : element.points[0];
}

int pointCountOf(BezierPath::ElementType type)
{
    switch (type) {
    case BezierPath::ElementType::MoveTo:
    case BezierPath::ElementType::LineTo: return 1;
    case BezierPath::ElementType::CurveTo: return 3;
    case BezierPath::ElementType::ClosePath: return 0;
    }
    return 0;
}

// Running minimum and maximum of points; unlike QRectF::united it keeps rectangles of zero
// width or height (a lone point, a straight horizontal line).
struct Extent
{
    qreal minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool any = false;

    void add(const QPointF& p)
    {
        if (!any) {
            minX = maxX = p.x();
            minY = maxY = p.y();
            any = true;
            return;
        }
        minX = std::min(minX, p.x());
        maxX = std::max(maxX, p.x());
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    }
    QRectF rect() const { return any ? QRectF(minX, minY, maxX - minX, maxY - minY) : QRectF(); }
};

QPointF cubicPoint(const QPointF& p0, const QPointF& p1, const QPointF& p2, const QPointF& p3,
                   qreal t)
{
    const qreal u = 1 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

// Parameters in (0, 1) where one coordinate of the cubic has a zero derivative.
void addCubicExtremaParameters(qreal a0, qreal a1, qreal a2, qreal a3, QList<qreal>& out)
{
    // B'(t)/3 = A t² + B t + C
    const qreal A = -a0 + 3 * a1 - 3 * a2 + a3;
    const qreal B = 2 * (a0 - 2 * a1 + a2);
    const qreal C = a1 - a0;
    const auto keep = [&out](qreal t) {
        if (t > 0 && t < 1)
            out.append(t);
    };
    const qreal scale = std::max({std::abs(A), std::abs(B), std::abs(C)});
    if (scale == 0)
        return;
    if (std::abs(A) <= 1e-12 * scale) {
        if (B != 0)
            keep(-C / B);
        return;
    }
    const qreal disc = B * B - 4 * A * C;
    if (disc < 0)
        return;
    const qreal root = std::sqrt(disc);
    keep((-B + root) / (2 * A));
    keep((-B - root) / (2 * A));
}

void flattenCubic(const QPointF& p0, const QPointF& p1, const QPointF& p2, const QPointF& p3,
                  qreal flatness, int depth, QList<QPointF>& out)
{
    // Distance of the control points from the chord bounds the deviation of the curve.
    const QPointF chord = p3 - p0;
    const qreal chordLength = std::hypot(chord.x(), chord.y());
    qreal deviation;
    if (chordLength > 0) {
        const auto distance = [&](const QPointF& p) {
            const QPointF d = p - p0;
            return std::abs(d.x() * chord.y() - d.y() * chord.x()) / chordLength;
        };
        deviation = std::max(distance(p1), distance(p2));
    } else {
        deviation = std::max(std::hypot(p1.x() - p0.x(), p1.y() - p0.y()),
                             std::hypot(p2.x() - p0.x(), p2.y() - p0.y()));
    }
    if (deviation <= flatness || depth >= 16) {
        out.append(p3);
        return;
    }
    const QPointF m01 = (p0 + p1) / 2, m12 = (p1 + p2) / 2, m23 = (p2 + p3) / 2;
    const QPointF m012 = (m01 + m12) / 2, m123 = (m12 + m23) / 2;
    const QPointF m = (m012 + m123) / 2;
    flattenCubic(p0, m01, m012, m, flatness, depth + 1, out);
    flattenCubic(m, m123, m23, p3, flatness, depth + 1, out);
}

} // namespace

class BezierPath::Data : public QSharedData
{
public:
    QList<Element> elements;
    // Index of the move that started the last subpath, -1 before the first move.
    int lastMoveIndex = -1;
    qreal lineWidth = 1.0;
    LineCap lineCap = LineCap::Butt;
    LineJoin lineJoin = LineJoin::Miter;
    qreal miterLimit = 10.0;
    qreal flatness = 0.6;
    WindingRule windingRule = WindingRule::NonZero;
    QList<qreal> dashPattern;
    qreal dashPhase = 0.0;

    // Values derived from the path, by kind. A copy of the data is made to be changed, so
    // it starts without them.
    struct Derived
    {
        QList<std::pair<const void*, std::shared_ptr<const void>>> values;
        Derived() = default;
        Derived(const Derived&) {}
        Derived& operator=(const Derived&)
        {
            values.clear();
            return *this;
        }
    };
    mutable Derived derived;
};

BezierPath::DataPointer::DataPointer(Data* data) : _data(data)
{}
BezierPath::DataPointer::DataPointer(const DataPointer&) = default;
BezierPath::DataPointer::DataPointer(DataPointer&&) noexcept = default;
BezierPath::DataPointer& BezierPath::DataPointer::operator=(const DataPointer&) = default;
BezierPath::DataPointer& BezierPath::DataPointer::operator=(DataPointer&&) noexcept = default;
BezierPath::DataPointer::~DataPointer() = default;

const BezierPath::Data* BezierPath::DataPointer::operator->() const
{
    return _data.constData();
}

BezierPath::Data* BezierPath::DataPointer::operator->()
{
    Data* data = _data.data(); // copies shared data
    data->derived.values.clear();
    return data;
}

bool BezierPath::DataPointer::operator==(const DataPointer& other) const
{
    return _data == other._data;
}

BezierPath::BezierPath() : d(new Data)
{}
BezierPath::BezierPath(const BezierPath&) = default;
BezierPath::BezierPath(BezierPath&&) noexcept = default;
BezierPath& BezierPath::operator=(const BezierPath&) = default;
BezierPath& BezierPath::operator=(BezierPath&&) noexcept = default;
BezierPath::~BezierPath() = default;

bool BezierPath::operator==(const BezierPath& other) const
{
    if (d == other.d)
        return true;
    return d->elements == other.d->elements && d->lineWidth == other.d->lineWidth
           && d->lineCap == other.d->lineCap && d->lineJoin == other.d->lineJoin
           && d->miterLimit == other.d->miterLimit && d->flatness == other.d->flatness
           && d->windingRule == other.d->windingRule && d->dashPattern == other.d->dashPattern
           && d->dashPhase == other.d->dashPhase;
}

// --- Constructors -------------------------------------------------------------------------

BezierPath BezierPath::withRect(const QRectF& rect)
{
    BezierPath path;
    path.appendBezierPathWithRect(rect);
    return path;
}

BezierPath BezierPath::withOvalInRect(const QRectF& rect)
{
    BezierPath path;
    path.appendBezierPathWithOvalInRect(rect);
    return path;
}

BezierPath BezierPath::withRoundedRect(const QRectF& rect, qreal xRadius, qreal yRadius)
{
    BezierPath path;
    path.appendBezierPathWithRoundedRect(rect, xRadius, yRadius);
    return path;
}

BezierPath BezierPath::fromPainterPath(const QPainterPath& painterPath)
{
    BezierPath path;
    path.setWindingRule(painterPath.fillRule() == Qt::WindingFill ? WindingRule::NonZero
                                                                  : WindingRule::EvenOdd);
    // A subpath that returns to its start is closed. QPainterPath keeps no close element,
    // so a final line back to the start stands for the close itself.
    QPointF start;
    int subpathMove = -1;
    const auto closeIfReturned = [&]() {
        if (subpathMove < 0 || path.d->elements.size() - subpathMove < 2)
            return;
        const Element last = path.d->elements.last();
        if (endPointOf(last) != start)
            return;
        if (last.type == ElementType::LineTo && path.d->elements.size() - subpathMove > 2)
            path.d->elements.removeLast();
        path.closePath();
    };
    const int count = painterPath.elementCount();
    // Room for them all at once: glyph outlines, made by the hundred for a line of text,
    // would otherwise each grow their list a few times over.
    path.d->elements.reserve(count + 1);
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element e = painterPath.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            closeIfReturned();
            path.moveTo(e);
            start = e;
            subpathMove = path.d->elements.size() - 1;
            break;
        case QPainterPath::LineToElement: path.lineTo(e); break;
        case QPainterPath::CurveToElement:
            if (i + 2 < count) {
                path.curveTo(painterPath.elementAt(i + 2), e, painterPath.elementAt(i + 1));
                i += 2;
            }
            break;
        case QPainterPath::CurveToDataElement: break;
        }
    }
    closeIfReturned();
    return path;
}

// --- Building -----------------------------------------------------------------------------

void BezierPath::moveTo(const QPointF& point)
{
    Element e;
    e.type = ElementType::MoveTo;
    e.points[0] = point;
    d->elements.append(e);
    d->lastMoveIndex = d->elements.size() - 1;
}

// Drawing on an empty path starts it as if a move to the current point, (0, 0), came first.
void BezierPath::lineTo(const QPointF& point)
{
    if (d->elements.isEmpty())
        moveTo(QPointF(0, 0));
    Element e;
    e.type = ElementType::LineTo;
    e.points[0] = point;
    d->elements.append(e);
}

void BezierPath::curveTo(const QPointF& endPoint, const QPointF& controlPoint1,
                         const QPointF& controlPoint2)
{
    if (d->elements.isEmpty())
        moveTo(QPointF(0, 0));
    Element e;
    e.type = ElementType::CurveTo;
    e.points = {controlPoint1, controlPoint2, endPoint};
    d->elements.append(e);
}

// Closing an empty path adds nothing. Drawing after a close continues from the start of
// the closed subpath, without a move of its own.
void BezierPath::closePath()
{
    if (d->elements.isEmpty())
        return;
    Element e;
    e.type = ElementType::ClosePath;
    d->elements.append(e);
}

void BezierPath::relativeMoveTo(const QPointF& delta)
{
    moveTo(currentPoint() + delta);
}

void BezierPath::relativeLineTo(const QPointF& delta)
{
    lineTo(currentPoint() + delta);
}

void BezierPath::relativeCurveTo(const QPointF& endPoint, const QPointF& controlPoint1,
                                 const QPointF& controlPoint2)
{
    const QPointF origin = currentPoint();
    curveTo(origin + endPoint, origin + controlPoint1, origin + controlPoint2);
}

void BezierPath::removeAllPoints()
{
    d->elements.clear();
    d->lastMoveIndex = -1;
}

void BezierPath::appendBezierPath(const BezierPath& path)
{
    if (path.d->elements.isEmpty())
        return;
    const int base = d->elements.size();
    d->elements.append(path.d->elements);
    if (path.d->lastMoveIndex >= 0)
        d->lastMoveIndex = base + path.d->lastMoveIndex;
}

void BezierPath::appendBezierPathWithRect(const QRectF& rect)
{
    const qreal minX = rect.left(), minY = rect.top();
    const qreal maxX = rect.left() + rect.width(), maxY = rect.top() + rect.height();
    // As moveTo, three lineTo and closePath, in one go.
    Data& data = *d.operator->();
    data.elements.reserve(data.elements.size() + 5);
    data.lastMoveIndex = int(data.elements.size());
    data.elements.append(Element{ElementType::MoveTo, {QPointF(minX, minY)}});
    data.elements.append(Element{ElementType::LineTo, {QPointF(maxX, minY)}});
    data.elements.append(Element{ElementType::LineTo, {QPointF(maxX, maxY)}});
    data.elements.append(Element{ElementType::LineTo, {QPointF(minX, maxY)}});
    data.elements.append(Element{ElementType::ClosePath, {}});
}

// Four quarter arcs from the rightmost point through the bottom (larger y), the left and
// the top, in the direction of increasing angle like the rectangle.
void BezierPath::appendBezierPathWithOvalInRect(const QRectF& rect)
{
    const OvalPoints p = ovalPoints(rect);
    // As moveTo, four curveTo and closePath, in one go.
    Data& data = *d.operator->();
    data.elements.reserve(data.elements.size() + 6);
    data.lastMoveIndex = int(data.elements.size());
    data.elements.append(Element{ElementType::MoveTo, {p[0]}});
    for (int arc = 0; arc < 4; ++arc)
        data.elements.append(
            Element{ElementType::CurveTo, {p[3 * arc + 1], p[3 * arc + 2], p[3 * arc + 3]}});
    data.elements.append(Element{ElementType::ClosePath, {}});
}

// Starts after the top-left corner and runs like the rectangle: top edge, top-right
// corner, right edge, ... The radii are clamped to half the width and height; a radius of
// zero gives the plain rectangle.
void BezierPath::appendBezierPathWithRoundedRect(const QRectF& rect, qreal xRadius, qreal yRadius)
{
    const QRectF r = rect.normalized();
    const qreal rx = std::clamp(xRadius, 0.0, r.width() / 2);
    const qreal ry = std::clamp(yRadius, 0.0, r.height() / 2);
    if (!(rx > 0) || !(ry > 0)) {
        appendBezierPathWithRect(r);
        return;
    }
    const qreal minX = r.left(), minY = r.top(), maxX = r.right(), maxY = r.bottom();
    const qreal kx = rx * kQuarterArcKappa, ky = ry * kQuarterArcKappa;
    moveTo(QPointF(minX + rx, minY));
    lineTo(QPointF(maxX - rx, minY));
    curveTo(QPointF(maxX, minY + ry), QPointF(maxX - rx + kx, minY), QPointF(maxX, minY + ry - ky));
    lineTo(QPointF(maxX, maxY - ry));
    curveTo(QPointF(maxX - rx, maxY), QPointF(maxX, maxY - ry + ky), QPointF(maxX - rx + kx, maxY));
    lineTo(QPointF(minX + rx, maxY));
    curveTo(QPointF(minX, maxY - ry), QPointF(minX + rx - kx, maxY), QPointF(minX, maxY - ry + ky));
    lineTo(QPointF(minX, minY + ry));
    curveTo(QPointF(minX + rx, minY), QPointF(minX, minY + ry - ky), QPointF(minX + rx - kx, minY));
    closePath();
}

void BezierPath::appendBezierPathWithPoints(const QList<QPointF>& points)
{
    for (int i = 0; i < points.size(); ++i) {
        if (i == 0 && d->elements.isEmpty())
            moveTo(points[i]);
        else
            lineTo(points[i]);
    }
}

// The angles are adjusted as PostScript's arc and arcn do: counter-clockwise (increasing
// angle) the end angle is raised by whole turns until it is not below the start,
// clockwise lowered until it is not above. The sweep is then cut into pieces of 90° and a
// remainder.
void BezierPath::appendBezierPathWithArcWithCenter(const QPointF& center, qreal radius,
                                                   qreal startAngle, qreal endAngle, bool clockwise)
{
    if (!std::isfinite(startAngle) || !std::isfinite(endAngle) || !std::isfinite(radius))
        return;
    if (clockwise) {
        if (startAngle < endAngle)
            endAngle -= std::ceil((endAngle - startAngle) / 360.0) * 360.0;
    } else {
        if (endAngle < startAngle)
            endAngle += std::ceil((startAngle - endAngle) / 360.0) * 360.0;
    }
    const auto pointAt = [&](qreal radians) {
        return center + radius * QPointF(std::cos(radians), std::sin(radians));
    };
    const qreal startRadians = startAngle * kPi / 180.0;
    const QPointF start = pointAt(startRadians);
    if (d->elements.isEmpty())
        moveTo(start);
    else
        lineTo(start);

    const qreal sweep = endAngle - startAngle;
    const qreal direction = sweep < 0 ? -1.0 : 1.0;
    qreal remaining = std::abs(sweep);
    qreal angle = startRadians;
    // A remainder below a millionth of a degree is rounding noise, not another segment.
    constexpr qreal kNoise = 1e-6;
    while (remaining > kNoise) {
        const qreal step = (remaining > 90.0 + kNoise ? 90.0 : remaining) * kPi / 180.0;
        const qreal next = angle + direction * step;
        const qreal k = radius * 4.0 / 3.0 * std::tan(step / 4.0) * direction;
        const QPointF p0 = pointAt(angle);
        const QPointF p3 = pointAt(next);
        const QPointF c1 = p0 + k * QPointF(-std::sin(angle), std::cos(angle));
        const QPointF c2 = p3 - k * QPointF(-std::sin(next), std::cos(next));
        curveTo(p3, c1, c2);
        angle = next;
        remaining -= step * 180.0 / kPi;
    }
}

// On an empty path the current point is (0, 0), as for lineTo. Collinear points or a radius
// of zero give just a line to point1.
void BezierPath::appendBezierPathWithArcFromPoint(const QPointF& point1, const QPointF& point2,
                                                  qreal radius)
{
    if (d->elements.isEmpty())
        moveTo(QPointF(0, 0));
    const QPointF p0 = currentPoint();
    const QPointF u = p0 - point1, v = point2 - point1;
    const qreal lu = std::hypot(u.x(), u.y()), lv = std::hypot(v.x(), v.y());
    const qreal cross = u.x() * v.y() - u.y() * v.x();
    if (!(radius > 0) || lu == 0 || lv == 0 || std::abs(cross) <= 1e-12 * lu * lv) {
        lineTo(point1);
        return;
    }
    const QPointF ud = u / lu, vd = v / lv;
    const qreal cosTheta = std::clamp(ud.x() * vd.x() + ud.y() * vd.y(), -1.0, 1.0);
    const qreal theta = std::acos(cosTheta); // angle between the two legs
    const qreal tangentDistance = radius / std::tan(theta / 2);
    const QPointF t1 = point1 + ud * tangentDistance;
    const QPointF t2 = point1 + vd * tangentDistance;
    QPointF bisector = ud + vd;
    bisector /= std::hypot(bisector.x(), bisector.y());
    const QPointF center = point1 + bisector * (radius / std::sin(theta / 2));
    const qreal a1 = std::atan2(t1.y() - center.y(), t1.x() - center.x()) * 180.0 / kPi;
    const qreal a2 = std::atan2(t2.y() - center.y(), t2.x() - center.x()) * 180.0 / kPi;
    // The arc turns the way the path turns at point1: cross < 0 means increasing angle.
    appendBezierPathWithArcWithCenter(center, radius, a1, a2, cross > 0);
}

// --- Elements -----------------------------------------------------------------------------

int BezierPath::elementCount() const
{
    return d->elements.size();
}

BezierPath::Element BezierPath::elementAt(int index) const
{
    if (index < 0 || index >= d->elements.size())
        return Element{ElementType::ClosePath, {}};
    return d->elements.at(index);
}

BezierPath::ElementType BezierPath::elementTypeAt(int index) const
{
    return elementAt(index).type;
}

const QList<BezierPath::Element>& BezierPath::elements() const
{
    return d->elements;
}

void BezierPath::setAssociatedPoints(const std::array<QPointF, 3>& points, int index)
{
    if (index < 0 || index >= d->elements.size())
        return;
    Element& e = d->elements[index];
    const int n = pointCountOf(e.type);
    for (int i = 0; i < n; ++i)
        e.points[i] = points[i];
}

bool BezierPath::isEmpty() const
{
    return d->elements.isEmpty();
}

QPointF BezierPath::currentPoint() const
{
    if (d->elements.isEmpty())
        return QPointF(0, 0);
    const Element& last = d->elements.last();
    if (last.type == ElementType::ClosePath)
        return d->lastMoveIndex >= 0 ? d->elements.at(d->lastMoveIndex).points[0] : QPointF(0, 0);
    return endPointOf(last);
}

// --- Geometry -----------------------------------------------------------------------------

QRectF BezierPath::bounds() const
{
    Extent extent;
    QPointF current;
    QPointF subpathStart;
    QList<qreal> ts;
    for (const Element& e : d->elements) {
        switch (e.type) {
        case ElementType::MoveTo:
            extent.add(e.points[0]);
            current = subpathStart = e.points[0];
            break;
        case ElementType::LineTo:
            extent.add(e.points[0]);
            current = e.points[0];
            break;
        case ElementType::CurveTo: {
            const QPointF &p1 = e.points[0], &p2 = e.points[1], &p3 = e.points[2];
            extent.add(current);
            extent.add(p3);
            ts.clear();
            addCubicExtremaParameters(current.x(), p1.x(), p2.x(), p3.x(), ts);
            addCubicExtremaParameters(current.y(), p1.y(), p2.y(), p3.y(), ts);
            for (qreal t : std::as_const(ts))
                extent.add(cubicPoint(current, p1, p2, p3, t));
            current = p3;
            break;
        }
        case ElementType::ClosePath:
            // The closing line ends at a point already counted; drawing goes on from there.
            current = subpathStart;
            break;
        }
    }
    return extent.rect();
}

QRectF BezierPath::controlPointBounds() const
{
    Extent extent;
    for (const Element& e : d->elements) {
        const int n = pointCountOf(e.type);
        for (int i = 0; i < n; ++i)
            extent.add(e.points[i]);
    }
    return extent.rect();
}

bool BezierPath::containsPoint(const QPointF& point) const
{
    if (d->elements.isEmpty())
        return false;
    return toPainterPath().contains(point);
}

void BezierPath::transformUsingAffineTransform(const QTransform& transform)
{
    for (Element& e : d->elements) {
        const int n = pointCountOf(e.type);
        for (int i = 0; i < n; ++i)
            e.points[i] = transform.map(e.points[i]);
    }
}

BezierPath BezierPath::transformed(const QTransform& transform) const
{
    BezierPath copy(*this);
    copy.transformUsingAffineTransform(transform);
    return copy;
}

BezierPath BezierPath::bezierPathByFlatteningPath() const
{
    BezierPath flat(*this);
    flat.removeAllPoints();
    // A flatness of zero or below would never be reached; a hundredth of a point is
    // finer than any output device.
    const qreal flatness = d->flatness > 0.01 ? d->flatness : 0.01;
    QPointF current;
    QList<QPointF> points;
    for (const Element& e : d->elements) {
        switch (e.type) {
        case ElementType::MoveTo:
            flat.moveTo(e.points[0]);
            current = e.points[0];
            break;
        case ElementType::LineTo:
            flat.lineTo(e.points[0]);
            current = e.points[0];
            break;
        case ElementType::CurveTo:
            points.clear();
            flattenCubic(current, e.points[0], e.points[1], e.points[2], flatness, 0, points);
            for (const QPointF& p : std::as_const(points))
                flat.lineTo(p);
            current = e.points[2];
            break;
        case ElementType::ClosePath:
            flat.closePath();
            current = flat.currentPoint();
            break;
        }
    }
    return flat;
}

// Each stretch of drawing (from a move, or from a close that more drawing follows, up to the
// next move or close) is walked backwards from its last point; a closed stretch stays
// closed. Stretches keep their order.
BezierPath BezierPath::bezierPathByReversingPath() const
{
    BezierPath reversed(*this);
    reversed.removeAllPoints();
    const QList<Element>& els = d->elements;
    const int n = els.size();
    QPointF start(0, 0);
    QList<QPointF> points;
    int i = 0;
    while (i < n) {
        int k = i;
        const bool hasMove = els[k].type == ElementType::MoveTo;
        if (hasMove)
            start = els[k++].points[0];
        const int partBegin = k;
        while (k < n && els[k].type != ElementType::MoveTo && els[k].type != ElementType::ClosePath)
            ++k;
        const bool closed = k < n && els[k].type == ElementType::ClosePath;
        points.clear();
        points.append(start);
        for (int j = partBegin; j < k; ++j)
            points.append(endPointOf(els[j]));
        if (partBegin < k || hasMove)
            reversed.moveTo(points.last());
        for (int j = k - 1, p = points.size() - 2; j >= partBegin; --j, --p) {
            const Element& e = els[j];
            if (e.type == ElementType::CurveTo)
                reversed.curveTo(points[p], e.points[1], e.points[0]);
            else
                reversed.lineTo(points[p]);
        }
        if (closed)
            reversed.closePath();
        i = closed ? k + 1 : k;
    }
    return reversed;
}

// --- Derived values -----------------------------------------------------------------------

std::shared_ptr<const void> BezierPath::derivedValue(const void* kind) const
{
    for (const auto& [key, value] : d->derived.values) {
        if (key == kind)
            return value;
    }
    return nullptr;
}

void BezierPath::setDerivedValue(const void* kind, std::shared_ptr<const void> value) const
{
    auto& values = d->derived.values;
    for (auto& entry : values) {
        if (entry.first == kind) {
            entry.second = std::move(value);
            return;
        }
    }
    values.append({kind, std::move(value)});
}

// --- Attributes ---------------------------------------------------------------------------

qreal BezierPath::lineWidth() const
{
    return d->lineWidth;
}
void BezierPath::setLineWidth(qreal width)
{
    d->lineWidth = width;
}
BezierPath::LineCap BezierPath::lineCapStyle() const
{
    return d->lineCap;
}
void BezierPath::setLineCapStyle(LineCap cap)
{
    d->lineCap = cap;
}
BezierPath::LineJoin BezierPath::lineJoinStyle() const
{
    return d->lineJoin;
}
void BezierPath::setLineJoinStyle(LineJoin join)
{
    d->lineJoin = join;
}
qreal BezierPath::miterLimit() const
{
    return d->miterLimit;
}
void BezierPath::setMiterLimit(qreal limit)
{
    d->miterLimit = limit;
}
qreal BezierPath::flatness() const
{
    return d->flatness;
}
void BezierPath::setFlatness(qreal flatness)
{
    d->flatness = flatness;
}
BezierPath::WindingRule BezierPath::windingRule() const
{
    return d->windingRule;
}
void BezierPath::setWindingRule(WindingRule rule)
{
    d->windingRule = rule;
}

void BezierPath::setLineDash(const QList<qreal>& pattern, qreal phase)
{
    d->dashPattern = pattern;
    d->dashPhase = phase;
}

QList<qreal> BezierPath::lineDash() const
{
    return d->dashPattern;
}
qreal BezierPath::lineDashPhase() const
{
    return d->dashPhase;
}

// --- Qt interop ---------------------------------------------------------------------------

QPainterPath BezierPath::toPainterPath() const
{
    QPainterPath out;
    out.setFillRule(d->windingRule == WindingRule::NonZero ? Qt::WindingFill : Qt::OddEvenFill);
    QPointF subpathStart;
    bool needsMove = false; // after a close, drawing restarts at the subpath's start
    for (const Element& e : d->elements) {
        if (needsMove && (e.type == ElementType::LineTo || e.type == ElementType::CurveTo)) {
            out.moveTo(subpathStart);
            needsMove = false;
        }
        switch (e.type) {
        case ElementType::MoveTo:
            out.moveTo(e.points[0]);
            subpathStart = e.points[0];
            needsMove = false;
            break;
        case ElementType::LineTo: out.lineTo(e.points[0]); break;
        case ElementType::CurveTo: out.cubicTo(e.points[0], e.points[1], e.points[2]); break;
        case ElementType::ClosePath:
            out.closeSubpath();
            needsMove = true;
            break;
        }
    }
    return out;
}

QPen BezierPath::strokePen(const QColor& color) const
{
    QPen pen(color);
    const qreal width = d->lineWidth;
    pen.setWidthF(width);
    switch (d->lineCap) {
    case LineCap::Butt: pen.setCapStyle(Qt::FlatCap); break;
    case LineCap::Round: pen.setCapStyle(Qt::RoundCap); break;
    case LineCap::Square: pen.setCapStyle(Qt::SquareCap); break;
    }
    switch (d->lineJoin) {
    // Beyond the limit a mitre falls back to a bevel, which is SvgMiterJoin in Qt.
    case LineJoin::Miter: pen.setJoinStyle(Qt::SvgMiterJoin); break;
    case LineJoin::Round: pen.setJoinStyle(Qt::RoundJoin); break;
    case LineJoin::Bevel: pen.setJoinStyle(Qt::BevelJoin); break;
    }
    pen.setMiterLimit(d->miterLimit);
    // Dash lengths are in points here and in units of the line width for Qt. A pattern
    // without any positive length, or with a negative one, draws solid.
    bool dashed = !d->dashPattern.isEmpty();
    qreal total = 0;
    for (qreal length : d->dashPattern) {
        if (!(length >= 0))
            dashed = false;
        else
            total += length;
    }
    if (dashed && total > 0) {
        const qreal unit = width > 0 ? width : 1.0;
        QList<qreal> pattern;
        for (qreal length : d->dashPattern)
            pattern.append(length / unit);
        if (pattern.size() % 2 == 1)
            pattern.append(pattern); // an odd pattern repeats with on and off swapped
        pen.setDashPattern(pattern);
        pen.setDashOffset(d->dashPhase / unit);
    }
    return pen;
}

QPainterPath BezierPath::strokedOutline() const
{
    QPainterPathStroker stroker(strokePen(Qt::black));
    return stroker.createStroke(toPainterPath());
}

// Along a curve or line a stroke reaches half its width from the path (a cap at an open
// end half the width's diagonal, for a square cap); at a corner a mitre reaches half the
// width over the sine of half the corner's angle, unless it passes the limit and falls
// back to a bevel.
QRectF BezierPath::strokeBounds() const
{
    const qreal halfWidth = (d->lineWidth > 0 ? d->lineWidth : 1.0) / 2;
    qreal reach = d->lineCap == LineCap::Square ? std::sqrt(2.0) : 1.0;
    if (d->lineJoin == LineJoin::Miter) {
        // Where each segment starts and ends heading; zero-length segments turn nothing.
        QPointF current, start, inward, first;
        bool hasInward = false, hasFirst = false;
        const auto heading = [](std::initializer_list<QPointF> candidates) {
            for (const QPointF& v : candidates) {
                if (v != QPointF(0, 0))
                    return v;
            }
            return QPointF(0, 0);
        };
        const auto corner = [&](const QPointF& in, const QPointF& out) {
            // The turn between the headings: half the corner's angle has a sine of
            // sqrt((1 + cos turn) / 2).
            const qreal cosine = (in.x() * out.x() + in.y() * out.y())
                                 / (std::hypot(in.x(), in.y()) * std::hypot(out.x(), out.y()));
            const qreal sine = std::sqrt(std::max(qreal(0), (1 + cosine) / 2));
            const qreal miter = sine > 0 ? 1 / sine : std::numeric_limits<qreal>::infinity();
            // Qt counts the limit in widths or half widths: beyond twice it, a bevel.
            if (miter <= 2 * std::max(d->miterLimit, qreal(1)))
                reach = std::max(reach, miter);
        };
        const auto segment = [&](const QPointF& from, const QPointF& to) {
            if (from == QPointF(0, 0))
                return;
            if (hasInward)
                corner(inward, from);
            if (!hasFirst) {
                first = from;
                hasFirst = true;
            }
            inward = to;
            hasInward = true;
        };
        for (const Element& e : d->elements) {
            switch (e.type) {
            case ElementType::MoveTo:
                current = start = e.points[0];
                hasInward = hasFirst = false;
                break;
            case ElementType::LineTo:
                segment(e.points[0] - current, e.points[0] - current);
                current = e.points[0];
                break;
            case ElementType::CurveTo: {
                const QPointF p0 = current, p1 = e.points[0], p2 = e.points[1], p3 = e.points[2];
                const QPointF from = heading({p1 - p0, p2 - p0, p3 - p0});
                segment(from, heading({p3 - p2, p3 - p1, p3 - p0}));
                current = p3;
                break;
            }
            case ElementType::ClosePath:
                segment(start - current, start - current);
                if (hasInward && hasFirst)
                    corner(inward, first);
                current = start;
                hasInward = hasFirst = false;
                break;
            }
        }
    }
    // A little more, for the arcs of round joins and caps (cubics bulging past the circle)
    // and rounding.
    const qreal margin = halfWidth * reach * 1.001 + 0.5;
    return controlPointBounds().adjusted(-margin, -margin, margin, margin);
}

std::optional<QRectF> BezierPath::oval() const
{
    const QList<Element>& e = d->elements;
    if (e.size() != 6 || e.at(0).type != ElementType::MoveTo
        || e.at(5).type != ElementType::ClosePath)
        return std::nullopt;
    // The rectangle through the four ends of the quarter arcs, then every point as an oval
    // in it has them.
    const QPointF right = e.at(0).points[0];
    const QPointF left = e.at(2).points[2];
    const QPointF bottom = e.at(1).points[2];
    const QPointF top = e.at(3).points[2];
    const QRectF rect(QPointF(left.x(), top.y()), QPointF(right.x(), bottom.y()));
    const OvalPoints p = ovalPoints(rect);
    if (e.at(0).points[0] != p[0])
        return std::nullopt;
    for (int arc = 0; arc < 4; ++arc) {
        const Element& curve = e.at(arc + 1);
        if (curve.type != ElementType::CurveTo || curve.points[0] != p[3 * arc + 1]
            || curve.points[1] != p[3 * arc + 2] || curve.points[2] != p[3 * arc + 3])
            return std::nullopt;
    }
    return rect;
}

std::optional<QRectF> BezierPath::rectangle() const
{
    const QList<Element>& e = d->elements;
    const bool closedByLine = e.size() == 5 && e.at(4).type == ElementType::LineTo
                              && e.at(4).points[0] == e.at(0).points[0];
    const bool closed = e.size() == 5 && e.at(4).type == ElementType::ClosePath;
    if ((!closed && !closedByLine) || e.at(0).type != ElementType::MoveTo)
        return std::nullopt;
    for (int i = 1; i < 4; ++i) {
        if (e.at(i).type != ElementType::LineTo)
            return std::nullopt;
    }
    // Corners in turn, each side along one axis, the sides alternating.
    const QPointF a = e.at(0).points[0], b = e.at(1).points[0], c = e.at(2).points[0],
                  d4 = e.at(3).points[0];
    const bool horizontalFirst =
        a.y() == b.y() && b.x() == c.x() && c.y() == d4.y() && d4.x() == a.x();
    const bool verticalFirst =
        a.x() == b.x() && b.y() == c.y() && c.x() == d4.x() && d4.y() == a.y();
    if (!horizontalFirst && !verticalFirst)
        return std::nullopt;
    return QRectF(a, c).normalized();
}

} // namespace platform
