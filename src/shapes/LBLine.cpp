#include "shapes/LBLine.h"

#include "graphics/GraphicDictionary.h"
#include "platform/drawing/GraphicsContext.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

using platform::BezierPath;

namespace {

const QString kAngle = QStringLiteral("LineAngle");
const QString kStartsAtLowerLeft = QStringLiteral("LineStartsAtLowerLeft");
const QString kArrow1Type = QStringLiteral("LineArrow1Type");
const QString kArrow2Type = QStringLiteral("LineArrow2Type");
const QString kArrow1Size = QStringLiteral("LineArrow1Size");
const QString kArrow2Size = QStringLiteral("LineArrow2Size");

bool isKnownAngle(qint64 angle)
{
    return angle == 0 || angle == 45 || angle == 90 || angle == 135;
}

// The union of two rectangles by their coordinates alone: a line's outline has no width or
// no height, which QRectF::united() would pass over.
QRectF unite(const QRectF& a, const QRectF& b)
{
    const double left = std::min(a.left(), b.left());
    const double top = std::min(a.top(), b.top());
    return QRectF(left, top, std::max(a.right(), b.right()) - left,
                  std::max(a.bottom(), b.bottom()) - top);
}

// Heads filled with the stroke colour; the white ones are 2, 6, 8 and 10; 4 and 11 are
// lines only.
bool filledWithStrokeColor(qint64 type)
{
    return type == 1 || type == 3 || type == 5 || type == 7 || type == 9;
}

bool filledWithWhite(qint64 type)
{
    return type == 2 || type == 6 || type == 8 || type == 10;
}

QPainter* activePainter()
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    QPainter* painter = context ? context->painter() : nullptr;
    return painter && painter->isActive() ? painter : nullptr;
}

QRectF headExtent(const BezierPath& head)
{
    const double w = std::max(head.lineWidth(), 1.0);
    return head.controlPointBounds().adjusted(-w, -w, w, w);
}

} // namespace

std::shared_ptr<LBGraphic> LBLine::copy() const
{
    std::shared_ptr<LBGraphic> graphic = LBShape::copy();
    auto& line = static_cast<LBLine&>(*graphic);
    line.setStartsAtLowerLeft(_startsAtLowerLeft);
    line.setAngle(_angle);
    line.setArrow1Type(_arrow1Type);
    line.setArrow2Type(_arrow2Type);
    line.setArrow1Size(_arrow1Size);
    line.setArrow2Size(_arrow2Size);
    return graphic;
}

QVariantMap LBLine::propertyListRepresentation() const
{
    QVariantMap dictionary = LBShape::propertyListRepresentation();
    GraphicDictionaryWriter w(dictionary);
    w.setInteger(kAngle, _angle);
    w.setBool(kStartsAtLowerLeft, _startsAtLowerLeft);
    w.setInteger(kArrow1Type, _arrow1Type);
    w.setInteger(kArrow2Type, _arrow2Type);
    w.setReal6(kArrow1Size, _arrow1Size);
    w.setReal6(kArrow2Size, _arrow2Size);
    return dictionary;
}

void LBLine::loadPropertyListRepresentation(const QVariantMap& dictionary)
{
    LBShape::loadPropertyListRepresentation(dictionary);
    const GraphicDictionaryReader r(dictionary, graphicType());
    if (const auto angle = r.integerValue(kAngle))
        setAngle(*angle);
    if (const auto starts = r.boolValue(kStartsAtLowerLeft))
        setStartsAtLowerLeft(*starts);
    if (const auto type = r.integerValue(kArrow1Type))
        setArrow1Type(*type);
    if (const auto type = r.integerValue(kArrow2Type))
        setArrow2Type(*type);
    if (const auto size = r.floatValue(kArrow1Size))
        setArrow1Size(*size);
    if (const auto size = r.floatValue(kArrow2Size))
        setArrow2Size(*size);
}

// --- Direction and ends ---

qint64 LBLine::effectiveAngle() const
{
    return isKnownAngle(_angle) ? _angle : 0;
}

void LBLine::setStartsAtLowerLeft(bool startsAtLowerLeft)
{
    if (startsAtLowerLeft == _startsAtLowerLeft)
        return;
    _startsAtLowerLeft = startsAtLowerLeft;
    didChange();
}

void LBLine::endPointsInBounds(const QRectF& b, QPointF* start, QPointF* end) const
{
    const double x = b.x(), y = b.y(), w = b.width(), h = b.height();
    switch (effectiveAngle()) {
    case 45:
        *start = {x, y + h};
        *end = {x + w, y};
        break;
    case 90:
        *start = {x + w / 2.0, y};
        *end = {x + w / 2.0, y + h};
        break;
    case 135:
        *start = {x, y};
        *end = {x + w, y + h};
        break;
    default:
        *start = {x, y + h / 2.0};
        *end = {x + w, y + h / 2.0};
        break;
    }
    if (!_startsAtLowerLeft)
        std::swap(*start, *end);
}

void LBLine::startPoint(QPointF* startPoint, QPointF* endPoint) const
{
    QPointF start, end;
    endPointsInBounds(bounds(), &start, &end);
    if (startPoint)
        *startPoint = start;
    if (endPoint)
        *endPoint = end;
}

double LBLine::lineLength() const
{
    QPointF start, end;
    startPoint(&start, &end);
    return std::hypot(end.x() - start.x(), end.y() - start.y());
}

void LBLine::setLineLength(double length)
{
    if (!std::isfinite(length) || length < 0.0)
        return;
    const QRectF b = bounds();
    QRectF r = b;
    switch (effectiveAngle()) {
    case 90: r.setHeight(length); break;
    case 45:
    case 135: {
        const double a = std::atan(b.height() / b.width());
        const double height = length * std::sin(a);
        // The 45-degree line keeps its lower-left end where it is.
        const double y = effectiveAngle() == 45 ? b.y() - (height - b.height()) : b.y();
        r = QRectF(b.x(), y, length * std::cos(a), height);
        break;
    }
    default: r.setWidth(length); break;
    }
    setBounds(r);
}

void LBLine::flipHorizontally()
{
    // A flip is its own inverse.
    registerUndo([](LBGraphic& g) { g.flipHorizontally(); });
    setStartsAtLowerLeft(!_startsAtLowerLeft);
    if (_angle == 45 || _angle == 135)
        setAngle(180 - _angle);
    didChange();
}

void LBLine::flipVertically()
{
    if (_angle != 45 && _angle != 135)
        return;
    registerUndo([](LBGraphic& g) { g.flipVertically(); });
    setAngle(180 - _angle);
    didChange();
}

// --- Arrow heads ---

void LBLine::setArrow1Type(qint64 type)
{
    if (changeValue(_arrow1Type, type, &LBLine::setArrow1Type))
        didChange();
}

void LBLine::setArrow2Type(qint64 type)
{
    if (changeValue(_arrow2Type, type, &LBLine::setArrow2Type))
        didChange();
}

void LBLine::setArrow1Size(double size)
{
    if (changeValue(_arrow1Size, size, &LBLine::setArrow1Size))
        didChange();
}

void LBLine::setArrow2Size(double size)
{
    if (changeValue(_arrow2Size, size, &LBLine::setArrow2Size))
        didChange();
}

void LBLine::setArrowSizesForRendering(double arrow1Size, double arrow2Size)
{
    _arrow1Size = arrow1Size;
    _arrow2Size = arrow2Size;
}

void LBLine::arrow1Path(std::optional<BezierPath>* arrow1Path,
                        std::optional<BezierPath>* arrow2Path) const
{
    QPointF start, end;
    startPoint(&start, &end);
    const auto head = [this](QPointF at, const QPointF& from, qint64 type, double size) {
        std::optional<BezierPath> path =
            arrowPathForPoint(&at, from, type, size * arrowUnit(), false);
        if (path)
            path->setLineWidth(strokeLineWidth());
        return path;
    };
    if (arrow1Path)
        *arrow1Path = head(end, start, _arrow1Type, _arrow1Size);
    if (arrow2Path)
        *arrow2Path = head(start, end, _arrow2Type, _arrow2Size);
}

std::optional<BezierPath> LBLine::arrowPathForPoint(QPointF* point, const QPointF& relativeToPoint,
                                                    qint64 arrowType, double arrowSize,
                                                    bool slideArrow) const
{
    if (arrowType < 1 || arrowType > 11)
        return std::nullopt;
    const QPointF p = *point;
    const QPointF q = relativeToPoint;
    const double s = arrowSize;
    const double h = s / 2.0;
    const double x0 = p.x() - h;
    const double y0 = p.y() - h;

    // The head pointing towards +x in the square of side s centred on p.
    BezierPath path;
    switch (arrowType) {
    case 1:
    case 2:
        path.moveTo({x0, y0});
        path.lineTo({x0 + s, y0 + h});
        path.lineTo({x0, y0 + s});
        path.closePath();
        break;
    case 3:
        path.moveTo({x0, y0});
        path.lineTo({x0 + s, y0 + h});
        path.lineTo({x0, y0 + s});
        path.lineTo({x0 + 0.3 * s, y0 + h});
        path.closePath();
        break;
    case 4:
        path.moveTo({x0, y0});
        path.lineTo({x0 + s, y0 + h});
        path.lineTo({x0, y0 + s});
        path.moveTo({x0, y0 + h});
        path.lineTo({x0 + s, y0 + h});
        break;
    case 5:
    case 6: path = BezierPath::withOvalInRect(QRectF(x0, y0, s, s)); break;
    case 7:
    case 8: path = BezierPath::withRect(QRectF(x0, y0, s, s)); break;
    case 9:
    case 10:
        path.moveTo({x0 + h, y0});
        path.lineTo({x0 + s, y0 + h});
        path.lineTo({x0 + h, y0 + s});
        path.lineTo({x0, y0 + h});
        path.closePath();
        break;
    default: // 11
        path.moveTo({x0 + h, y0});
        path.lineTo({x0 + h, y0 + s});
        break;
    }

    // Turned about p so that +x runs from q towards p.
    double a = 0.0;
    if (p.x() == q.x())
        a = p.y() > q.y() ? std::numbers::pi / 2.0 : 3.0 * std::numbers::pi / 2.0;
    else if (p.y() == q.y())
        a = q.x() > p.x() ? std::numbers::pi : 0.0;
    else
        a = std::atan(-(q.x() - p.x()) / (q.y() - p.y()))
            + (0.5 + (q.y() > p.y() ? 1.0 : 0.0)) * std::numbers::pi;
    if (a != 0.0) {
        QTransform rotation;
        rotation.translate(p.x(), p.y());
        rotation.rotateRadians(a);
        rotation.translate(-p.x(), -p.y());
        path.transformUsingAffineTransform(rotation);
    }
    if (!slideArrow || arrowType == 11)
        return path;

    // The slide: back along the line by half the head and the part of the stroke that would
    // stand out past the point.
    const QRectF r = path.bounds();
    const QRectF g = bounds();
    const double w = strokeLineWidth();
    const double d = arrowType <= 4 ? h + w : h + w / 2.0;
    QPointF move;
    if (p.y() == q.y()) {
        move = {q.x() > p.x() ? d : -d, 0.0};
    } else if (g.width() == 0.0 || p.x() == q.x()) {
        move = {0.0, q.y() > p.y() ? d : -d};
    } else {
        const double ratio = g.width() / g.height();
        if (ratio > 1.0) {
            const double dx = g.x() > r.x() ? d : -d;
            const double dy = std::abs(dx / ratio);
            move = {dx, r.y() > g.y() ? -dy : dy};
        } else {
            const double dy = g.y() > r.y() ? d : -d;
            const double dx = std::abs(ratio * dy);
            move = {r.x() > g.x() ? -dx : dx, dy};
        }
    }
    path.transformUsingAffineTransform(QTransform::fromTranslate(move.x(), move.y()));
    *point += move;
    return path;
}

void LBLine::drawArrowsInView(CanvasView* view, bool drawShadow)
{
    Q_UNUSED(view);
    if (arrow1Type() == 0 && arrow2Type() == 0)
        return;
    std::optional<BezierPath> heads[2];
    arrow1Path(&heads[0], &heads[1]);
    const qint64 types[2] = {arrow1Type(), arrow2Type()};
    if (!activePainter())
        return;

    QRectF extent;
    for (const auto& head : heads) {
        if (head)
            extent = extent.isNull() ? headExtent(*head) : unite(extent, headExtent(*head));
    }
    // White heads take the graphic's opacity, as its own colours do.
    QColor white(Qt::white);
    white.setAlphaF(float(graphicAlpha()));
    const QColor stroke = strokeColor();

    if (drawShadow)
        startShadow(extent);
    for (int i = 0; i < 2; ++i) {
        if (!heads[i])
            continue;
        const QColor fill = filledWithStrokeColor(types[i]) ? stroke
                            : filledWithWhite(types[i])     ? white
                                                            : QColor();
        if (fill.isValid())
            activePainter()->fillPath(heads[i]->toPainterPath(), fill);
    }
    if (drawShadow)
        stopShadow();

    for (const auto& head : heads) {
        if (!head)
            continue;
        if (drawShadow)
            startShadow(headExtent(*head));
        if (QPainter* painter = activePainter(); painter && stroke.isValid())
            painter->strokePath(head->toPainterPath(), head->strokePen(stroke));
        if (drawShadow)
            stopShadow();
    }
}

// --- Capabilities, knobs and extents ---

void LBLine::scaleOtherSettingsByFactor(double factor)
{
    LBShape::scaleOtherSettingsByFactor(factor);
    if (!std::isfinite(factor) || factor <= 0.0)
        return;
    const double old1 = _arrow1Size;
    const double old2 = _arrow2Size;
    registerUndo([old1, old2](LBGraphic& g) {
        auto& line = static_cast<LBLine&>(g);
        line.setArrow1Size(old1);
        line.setArrow2Size(old2);
    });
    _arrow1Size *= factor;
    _arrow2Size *= factor;
}

qint64 LBLine::knobMask() const
{
    if (isGrouped())
        return 0xff;
    switch (effectiveAngle()) {
    case 45: return 0x24;  // top right, bottom left
    case 90: return 0x42;  // top middle, bottom middle
    case 135: return 0x81; // top left, bottom right
    default: return 0x18;  // middle left, middle right
    }
}

double LBLine::arrowExtent() const
{
    const double w = strokeLineWidth();
    return std::max(_arrow1Type != 0 ? w * _arrow1Size : 0.0,
                    _arrow2Type != 0 ? w * _arrow2Size : 0.0);
}

QRectF LBLine::drawingBounds() const
{
    const double e = arrowExtent();
    return LBShape::drawingBounds().adjusted(-e, -e, e, e);
}

QRectF LBLine::shadowDrawingBoundsWithHandles(bool withHandles) const
{
    const double e = arrowExtent();
    return LBShape::shadowDrawingBoundsWithHandles(withHandles).adjusted(-e, -e, e, e);
}

QRectF LBLine::rotatedBounds() const
{
    const double w = strokeLineWidth();
    std::optional<BezierPath> paths[3];
    paths[0] = shapeBezierPath();
    arrow1Path(&paths[1], &paths[2]);

    const double angle = _rotationDegrees + _groupRotationDegrees;
    QTransform rotation;
    if (angle != 0.0) {
        const QPointF c = bounds().center();
        rotation.translate(c.x(), c.y());
        rotation.rotate(angle);
        rotation.translate(-c.x(), -c.y());
    }
    std::optional<QRectF> result;
    for (std::optional<BezierPath>& path : paths) {
        if (!path)
            continue;
        path->setLineWidth(w);
        const QRectF r = angle != 0.0 ? path->transformed(rotation).bounds() : path->bounds();
        result = result ? unite(*result, r) : r;
    }
    QRectF r = result.value_or(QRectF(bounds().center(), QSizeF()));
    if (r.width() <= 0.0)
        r.adjust(-w / 2.0, 0.0, w / 2.0, 0.0);
    if (r.height() <= 0.0)
        r.adjust(0.0, -w / 2.0, 0.0, w / 2.0);
    return r;
}

std::optional<BezierPath> LBLine::outlineInBounds(const QRectF& bounds, double strokeWidth) const
{
    Q_UNUSED(strokeWidth);
    QPointF start, end;
    endPointsInBounds(bounds, &start, &end);
    BezierPath path;
    path.moveTo(start);
    path.lineTo(end);
    path.setLineWidth(strokeLineWidth());
    applyDrawingDash(path);
    return path;
}
