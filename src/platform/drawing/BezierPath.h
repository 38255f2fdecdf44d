#pragma once

// A path of Bezier elements in page coordinates (y grows downwards), with the stroke
// attributes that travel with it. The element model is explicit (move, line, cubic curve
// with two control points, close), so path geometry can walk and edit elements exactly.
// A value type: copying is cheap until one copy changes (implicitly shared).

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSharedDataPointer>
#include <Qt>

#include <array>
#include <memory>
#include <optional>

class QColor;
class QPainterPath;
class QPen;
class QTransform;

namespace platform {

class BezierPath
{
public:
    enum class ElementType { MoveTo, LineTo, CurveTo, ClosePath };
    enum class WindingRule { NonZero, EvenOdd };
    enum class LineCap { Butt, Round, Square };
    enum class LineJoin { Miter, Round, Bevel };

    // One element: MoveTo and LineTo use points[0]; CurveTo has control point 1 in
    // points[0], control point 2 in points[1] and the end point in points[2]; ClosePath
    // uses none.
    struct Element
    {
        ElementType type = ElementType::MoveTo;
        std::array<QPointF, 3> points{};
        bool operator==(const Element&) const = default;
    };

    BezierPath();
    BezierPath(const BezierPath&);
    BezierPath(BezierPath&&) noexcept;
    BezierPath& operator=(const BezierPath&);
    BezierPath& operator=(BezierPath&&) noexcept;
    ~BezierPath();

    // Element list and attributes equal.
    bool operator==(const BezierPath& other) const;
    bool operator!=(const BezierPath& other) const { return !(*this == other); }

    // --- Constructors as the platform builds them ---
    static BezierPath withRect(const QRectF& rect);
    static BezierPath withOvalInRect(const QRectF& rect);
    static BezierPath withRoundedRect(const QRectF& rect, qreal xRadius, qreal yRadius);
    // A subpath that ends at its start point comes back closed (a final line to the start
    // becomes the close), since QPainterPath keeps no close element.
    static BezierPath fromPainterPath(const QPainterPath& path);

    // --- Building ---
    // lineTo, curveTo and the relative forms on an empty path first add a move to the
    // current point, (0, 0). After closePath, drawing goes on from the start of the closed
    // subpath (no move element is added).
    void moveTo(const QPointF& point);
    void lineTo(const QPointF& point);
    void curveTo(const QPointF& endPoint, const QPointF& controlPoint1,
                 const QPointF& controlPoint2);
    void closePath();
    void relativeMoveTo(const QPointF& delta);
    void relativeLineTo(const QPointF& delta);
    void relativeCurveTo(const QPointF& endPoint, const QPointF& controlPoint1,
                         const QPointF& controlPoint2);
    void removeAllPoints();

    void appendBezierPath(const BezierPath& path);
    void appendBezierPathWithRect(const QRectF& rect);
    void appendBezierPathWithOvalInRect(const QRectF& rect);
    void appendBezierPathWithRoundedRect(const QRectF& rect, qreal xRadius, qreal yRadius);
    void appendBezierPathWithPoints(const QList<QPointF>& points);
    // Points at center + radius × (cos θ, sin θ) in path coordinates, angles in degrees;
    // not clockwise = increasing angle. Starts with a line from the current point (or a
    // move when the path is empty); the arc is made of cubic segments of at most 90°.
    void appendBezierPathWithArcWithCenter(const QPointF& center, qreal radius, qreal startAngle,
                                           qreal endAngle, bool clockwise = false);
    // The arc of the given radius tangent to the lines current point → point1 and
    // point1 → point2, joined to the current point by a line. Collinear points or a
    // radius of zero give a line to point1.
    void appendBezierPathWithArcFromPoint(const QPointF& point1, const QPointF& point2,
                                          qreal radius);

    // --- Elements ---
    int elementCount() const;
    // Out of range: a ClosePath element, which has no points.
    Element elementAt(int index) const;
    ElementType elementTypeAt(int index) const;
    const QList<Element>& elements() const;
    // Replaces the points of the element at index (as many as its type uses).
    void setAssociatedPoints(const std::array<QPointF, 3>& points, int index);
    bool isEmpty() const; // no elements
    // The end point of the last element; for a path ending in ClosePath, the start point
    // of its subpath. (0, 0) for an empty path.
    QPointF currentPoint() const;

    // --- Geometry ---
    // Tight bounds of the drawn curve (curve extrema, not control points).
    QRectF bounds() const;
    // Bounds of every point of every element, control points included.
    QRectF controlPointBounds() const;
    // Fill containment under the path's winding rule (open subpaths count as closed).
    bool containsPoint(const QPointF& point) const;
    void transformUsingAffineTransform(const QTransform& transform);
    BezierPath transformed(const QTransform& transform) const;
    BezierPath bezierPathByFlatteningPath() const; // lines only, within flatness
    BezierPath bezierPathByReversingPath() const;

    // --- Stroke and fill attributes ---
    qreal lineWidth() const; // default 1.0
    void setLineWidth(qreal width);
    LineCap lineCapStyle() const; // default Butt
    void setLineCapStyle(LineCap cap);
    LineJoin lineJoinStyle() const; // default Miter
    void setLineJoinStyle(LineJoin join);
    qreal miterLimit() const; // default 10.0
    void setMiterLimit(qreal limit);
    qreal flatness() const; // default 0.6
    void setFlatness(qreal flatness);
    WindingRule windingRule() const; // default NonZero
    void setWindingRule(WindingRule rule);
    // Dash lengths in points (empty = solid line) and the phase into the pattern.
    void setLineDash(const QList<qreal>& pattern, qreal phase = 0.0);
    QList<qreal> lineDash() const;
    qreal lineDashPhase() const;

    // --- Qt interop ---
    // The same outline as a QPainterPath, with the winding rule as its fill rule.
    QPainterPath toPainterPath() const;
    // The area the stroke covers, using width, cap, join, miter limit and dash.
    QPainterPath strokedOutline() const;
    // A rectangle holding all a stroke of the path covers (a line at least a point wide),
    // worked out from the elements without making the stroke's outline: the control
    // points grown by the farthest a join or cap reaches. It may be a little larger.
    QRectF strokeBounds() const;
    // The rectangle the path outlines when it is one, with sides along the axes: a move and
    // three lines, closed, or a fourth line back to the start; nothing otherwise.
    std::optional<QRectF> rectangle() const;
    // The rectangle of the oval the path is when it is exactly withOvalInRect(rectangle);
    // nothing otherwise.
    std::optional<QRectF> oval() const;
    // A pen in the colour that strokes as this path's attributes say (a width of 0 is the
    // thinnest line the device can show).
    QPen strokePen(const QColor& color) const;

    // --- Work derived from the path ---
    // A value worked out from the path alone (its lengths along it, say), kept with it
    // until it changes: copies share it while they share the path. `kind` names the kind
    // of value, by the address of something of the caller's own. Null when none is kept.
    // Main thread only.
    std::shared_ptr<const void> derivedValue(const void* kind) const;
    void setDerivedValue(const void* kind, std::shared_ptr<const void> value) const;

private:
    class Data;
    // Copied on write, as QSharedDataPointer; every write drops the derived values.
    class DataPointer
    {
    public:
        explicit DataPointer(Data* data);
        DataPointer(const DataPointer& other);
        DataPointer(DataPointer&& other) noexcept;
        DataPointer& operator=(const DataPointer& other);
        DataPointer& operator=(DataPointer&& other) noexcept;
        ~DataPointer();
        const Data* operator->() const;
        Data* operator->();
        bool operator==(const DataPointer& other) const;

    private:
        QSharedDataPointer<Data> _data;
    };
    DataPointer d;
};

} // namespace platform
