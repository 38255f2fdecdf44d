#include "shapes/LBCurvedLine.h"

#include "graphics/GraphicDictionary.h"
#include "platform/core/TextForms.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QPainter>
#include <QPen>
#include <QTimer>
#include <QTransform>

#include <algorithm>
#include <cmath>

using platform::BezierPath;

namespace {

const QString kControlPoints = QStringLiteral("ControlPoints");
const QString kModifierRects = QStringLiteral("ModifierRects");
const QString kClosedPath = QStringLiteral("ClosedPath");

QRectF atLeast(QRectF r, double side)
{
    r.setWidth(std::max(r.width(), side));
    r.setHeight(std::max(r.height(), side));
    return r;
}

// The smallest rectangle holding r and the point.
QRectF including(const QRectF& r, const QPointF& p)
{
    const double left = std::min(r.left(), p.x());
    const double top = std::min(r.top(), p.y());
    return QRectF(left, top, std::max(r.right(), p.x()) - left, std::max(r.bottom(), p.y()) - top);
}

QRectF including(const QRectF& r, const QRectF& other)
{
    return including(including(r, other.topLeft()), other.bottomRight());
}

QPainter* activePainter()
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    QPainter* painter = context ? context->painter() : nullptr;
    return painter && painter->isActive() ? painter : nullptr;
}

} // namespace

// --- Coordinates ---

QPointF LBCurvedLine::toPage(const QPointF& unit, const QRectF& b)
{
    return {b.x() + unit.x() * b.width(), b.y() + unit.y() * b.height()};
}

QPointF LBCurvedLine::toUnit(const QPointF& page, const QRectF& b)
{
    return {(page.x() - b.x()) / b.width(), (page.y() - b.y()) / b.height()};
}

QPointF LBCurvedLine::controlPointAtIndex(qsizetype index, bool convertToViewCoordinates) const
{
    if (!validIndex(index))
        return {};
    return convertToViewCoordinates ? toPage(_controlPoints[index], bounds())
                                    : _controlPoints[index];
}

QRectF LBCurvedLine::modifierRectAtIndex(qsizetype index, bool convertToViewCoordinates) const
{
    if (!validIndex(index))
        return {};
    return convertToViewCoordinates ? pagePair(index) : _modifierRects[index];
}

QRectF LBCurvedLine::pagePair(qsizetype index) const
{
    const QRectF b = bounds();
    const QRectF& unit = _modifierRects[index];
    return pair(toPage(handle1(unit), b), toPage(handle2(unit), b));
}

void LBCurvedLine::setPagePair(qsizetype index, const QRectF& page)
{
    const QRectF b = bounds();
    _modifierRects[index] = pair(toUnit(handle1(page), b), toUnit(handle2(page), b));
}

void LBCurvedLine::setControlPoints(const QList<QPointF>& points)
{
    _controlPoints = points;
}

void LBCurvedLine::setModifierRects(const QList<QRectF>& rects)
{
    _modifierRects = rects;
}

// --- Copying and the property list ---

std::shared_ptr<LBGraphic> LBCurvedLine::copy() const
{
    std::shared_ptr<LBGraphic> graphic = LBLine::copy();
    auto& curve = static_cast<LBCurvedLine&>(*graphic);
    curve.setControlPoints(_controlPoints);
    curve.setModifierRects(_modifierRects);
    // Stored directly: the copy keeps the bounds it was given, as the original does.
    curve._closedPath = _closedPath;
    return graphic;
}

QVariantMap LBCurvedLine::propertyListRepresentation() const
{
    QVariantMap dictionary = LBLine::propertyListRepresentation();
    QVariantList points, rects;
    for (const QPointF& point : _controlPoints)
        points.append(platform::stringFromPoint(point));
    for (const QRectF& rect : _modifierRects)
        rects.append(platform::stringFromRect(rect));
    GraphicDictionaryWriter w(dictionary);
    w.setArray(kControlPoints, points);
    w.setArray(kModifierRects, rects);
    w.setBool(kClosedPath, _closedPath);
    return dictionary;
}

void LBCurvedLine::loadPropertyListRepresentation(const QVariantMap& dictionary)
{
    LBLine::loadPropertyListRepresentation(dictionary);
    const GraphicDictionaryReader r(dictionary, graphicType());
    const QVariantList points = r.array(kControlPoints).value_or(QVariantList());
    const QVariantList rects = r.array(kModifierRects).value_or(QVariantList());
    // The two lists go in step: a point without its handles gets them collapsed onto it;
    // an entry that is no text, and handles without a point, are passed over.
    for (qsizetype i = 0; i < std::max(points.size(), rects.size()); ++i) {
        const auto point =
            i < points.size() ? GraphicDictionaryReader::textOf(points[i]) : std::nullopt;
        if (!point) {
            r.logSkipped(i < points.size() ? kControlPoints : kModifierRects,
                         i < points.size() ? QStringLiteral("entry %1 is not a point").arg(i)
                                           : QStringLiteral("entry %1 has no point").arg(i));
            continue;
        }
        const QPointF p = platform::pointFromString(*point);
        const auto rect =
            i < rects.size() ? GraphicDictionaryReader::textOf(rects[i]) : std::nullopt;
        if (!rect)
            r.logSkipped(kModifierRects,
                         QStringLiteral("entry %1 is missing or not a rectangle; its point's "
                                        "handles are collapsed")
                             .arg(i));
        _controlPoints.append(p);
        _modifierRects.append(rect ? platform::rectFromString(*rect) : pair(p, p));
    }
    if (const auto closed = r.boolValue(kClosedPath))
        _closedPath = *closed;
}

// --- Changing points and handles ---

void LBCurvedLine::pointsChanged()
{
    clearCachedFillImage();
    updateBounds();
    didChange();
}

void LBCurvedLine::registerPairUndo(qsizetype index, const QRectF& oldPage)
{
    const QRectF b = bounds();
    const QRectF unit = pair(toUnit(handle1(oldPage), b), toUnit(handle2(oldPage), b));
    registerUndo([unit, index](LBGraphic& g) {
        static_cast<LBCurvedLine&>(g).setModifierRect(unit, index);
    });
}

void LBCurvedLine::addControlPointAndModifiersAtPoint(const QPointF& point)
{
    const QPointF unit = toUnit(point, bounds());
    insertControlPoint(unit, pair(unit, unit), numControlPoints());
}

void LBCurvedLine::insertControlPoint(const QPointF& point, const QRectF& modifierRect,
                                      qsizetype atIndex)
{
    const qsizetype index = std::clamp<qsizetype>(atIndex, 0, numControlPoints());
    _controlPoints.insert(index, point);
    _modifierRects.insert(index, modifierRect);
    registerUndo(
        [index](LBGraphic& g) { static_cast<LBCurvedLine&>(g).removeControlPointAtIndex(index); });
    pointsChanged();
}

void LBCurvedLine::setModifierRect(const QRectF& modifierRect, qsizetype forControlPointAtIndex)
{
    const qsizetype index = forControlPointAtIndex;
    if (!validIndex(index))
        return;
    const QRectF old = pagePair(index);
    _modifierRects[index] = modifierRect;
    pointsChanged();
    registerPairUndo(index, old);
}

void LBCurvedLine::removeControlPointOrModifierAtIndex(qsizetype index)
{
    if (!validIndex(index))
        return;
    clearCachedFillImage();
    didChange();
    if (_selectedModifier == -1)
        removeControlPointAtIndex(index);
    else
        removeFirstModifier(_selectedModifier == 0, _selectedModifier == 1, index);
}

void LBCurvedLine::removeControlPointAtIndex(qsizetype index)
{
    if (!validIndex(index))
        return;
    const QPointF point = controlPointAtIndex(index, true);
    const QRectF handles = pagePair(index);
    _controlPoints.removeAt(index);
    _modifierRects.removeAt(index);
    pointsChanged();
    // Put back where it was on the page, in the bounds of the moment.
    const QRectF b = bounds();
    const QPointF unit = toUnit(point, b);
    const QRectF unitPair = pair(toUnit(handle1(handles), b), toUnit(handle2(handles), b));
    registerUndo([unit, unitPair, index](LBGraphic& g) {
        static_cast<LBCurvedLine&>(g).insertControlPoint(unit, unitPair, index);
    });
}

void LBCurvedLine::removeFirstModifier(bool firstModifier, bool secondModifier,
                                       qsizetype forControlPointAtIndex)
{
    const qsizetype index = forControlPointAtIndex;
    if (!validIndex(index))
        return;
    const QPointF p = controlPointAtIndex(index, true);
    const QRectF old = pagePair(index);
    setPagePair(index, pair(firstModifier ? p : handle1(old), secondModifier ? p : handle2(old)));
    pointsChanged();
    registerPairUndo(index, old);
}

void LBCurvedLine::moveControlPointAtIndex(qsizetype index, const QPointF& toPoint)
{
    if (!validIndex(index))
        return;
    const QPointF old = controlPointAtIndex(index, true);
    registerUndo([index, old](LBGraphic& g) {
        static_cast<LBCurvedLine&>(g).moveControlPointAtIndex(index, old);
    });
    const QPointF delta = toPoint - old;
    const QRectF handles = pagePair(index);
    _controlPoints[index] = toUnit(toPoint, bounds());
    setPagePair(index, pair(handle1(handles) + delta, handle2(handles) + delta));
    pointsChanged();
}

void LBCurvedLine::moveControlPointAtIndex(qsizetype index, double byH, double byV)
{
    if (validIndex(index))
        moveControlPointAtIndex(index, controlPointAtIndex(index, true) + QPointF(byH, byV));
}

void LBCurvedLine::moveModifier(qint64 modifier, qsizetype atIndex, const QPointF& toPoint,
                                bool keepSameDistance)
{
    if (!validIndex(atIndex) || (modifier != 0 && modifier != 1))
        return;
    const QPointF p = controlPointAtIndex(atIndex, true);
    const QRectF old = pagePair(atIndex);
    const QPointF q = toPoint;
    QPointF other = modifier == 0 ? handle2(old) : handle1(old);
    const double dx = q.x() - p.x();
    const double dy = q.y() - p.y();
    if (dx == 0.0 && dy == 0.0) {
        // Onto the point: there is no direction to mirror. Mirrored at the same distance,
        // the other handle is on the point too; at its own distance it stays.
        if (keepSameDistance)
            other = p;
    } else {
        const double a = std::atan(std::abs(dy) / std::abs(dx));
        const double d = keepSameDistance ? std::hypot(dx, dy)
                                          : std::hypot(other.x() - p.x(), other.y() - p.y());
        other = {q.x() > p.x() ? p.x() - d * std::cos(a) : p.x() + d * std::cos(a),
                 q.y() > p.y() ? p.y() - d * std::sin(a) : p.y() + d * std::sin(a)};
    }
    setPagePair(atIndex, modifier == 0 ? pair(q, other) : pair(other, q));
    pointsChanged();
    registerPairUndo(atIndex, old);
}

void LBCurvedLine::resetModifiersForControlPoint(qsizetype index)
{
    if (!validIndex(index))
        return;
    const QPointF p = controlPointAtIndex(index, true);
    const QRectF old = pagePair(index);
    const bool firstOut = handle1(old) != p;
    const bool secondOut = handle2(old) != p;
    if (firstOut && secondOut)
        return;
    const QPointF kept = !firstOut && !secondOut ? p + QPointF(SmoothHandleLength, 0.0)
                         : secondOut             ? handle2(old)
                                                 : handle1(old);
    const QPointF mirrored = 2.0 * p - kept;
    setPagePair(index, firstOut ? pair(kept, mirrored) : pair(mirrored, kept));
    pointsChanged();
    registerUndo([index, firstOut, secondOut](LBGraphic& g) {
        static_cast<LBCurvedLine&>(g).removeFirstModifier(!firstOut, !secondOut, index);
    });
}

void LBCurvedLine::setClosedPath(bool closedPath)
{
    recordValue(_closedPath, closedPath, &LBCurvedLine::setClosedPath);
    // Closing adds a segment and drops the heads: the bounds follow the curve.
    pointsChanged();
}

// --- Selection and hit testing ---

void LBCurvedLine::selectControlPointAtIndex(qsizetype index, bool clearSelection,
                                             bool resetModifiers)
{
    if (clearSelection)
        _selectedPoints.clear();
    if (index >= 0 && !_selectedPoints.contains(index))
        _selectedPoints.append(index);
    std::sort(_selectedPoints.begin(), _selectedPoints.end());
    selectModifier(-1);
    if (resetModifiers)
        resetModifiersForControlPoint(index);
}

void LBCurvedLine::selectModifier(qint64 modifier)
{
    changeValue(_selectedModifier, modifier, &LBCurvedLine::selectModifier);
}

namespace {

bool inHitSquare(const QPointF& point, const QPointF& center, double half)
{
    return platform::pointInRect(point,
                                 QRectF(center.x() - half, center.y() - half, 2 * half, 2 * half));
}

} // namespace

qsizetype LBCurvedLine::controlPointUnderPoint(const QPointF& point) const
{
    if (isGrouped())
        return -1;
    const double half = HitHalfSide / (zoomFactor() > 0.0 ? zoomFactor() : 1.0);
    for (qsizetype i = 0; i < numControlPoints(); ++i) {
        if (inHitSquare(point, rotatedPoint(controlPointAtIndex(i, true), false), half))
            return i;
    }
    return -1;
}

qsizetype LBCurvedLine::modifierPointUnderPoint(const QPointF& point, bool* isFirstModifier) const
{
    if (isGrouped())
        return -1;
    const double half = HitHalfSide / (zoomFactor() > 0.0 ? zoomFactor() : 1.0);
    for (const qsizetype i : _selectedPoints) {
        if (!validIndex(i))
            continue;
        const QPointF p = controlPointAtIndex(i, true);
        const QRectF handles = pagePair(i);
        for (const bool first : {true, false}) {
            const QPointF h = first ? handle1(handles) : handle2(handles);
            if (h != p && inHitSquare(point, rotatedPoint(h, false), half)) {
                if (isFirstModifier)
                    *isFirstModifier = first;
                return i;
            }
        }
    }
    return -1;
}

// --- Outline and bounds ---

std::optional<BezierPath> LBCurvedLine::outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const
{
    const qsizetype n = numControlPoints();
    if (n == 0)
        return std::nullopt;
    BezierPath path;
    path.setLineWidth(strokeWidth);
    const auto point = [&](qsizetype i) { return toPage(_controlPoints[i], bounds); };
    const auto in = [&](qsizetype i) { return toPage(handle1(_modifierRects[i]), bounds); };
    const auto out = [&](qsizetype i) { return toPage(handle2(_modifierRects[i]), bounds); };
    path.moveTo(point(0));
    for (qsizetype i = 1; i < n; ++i)
        path.curveTo(point(i), out(i - 1), in(i));
    if (_closedPath && n > 1) {
        path.curveTo(point(0), out(n - 1), in(0));
        path.closePath();
    }
    applyDrawingDash(path);
    return path;
}

QRectF LBCurvedLine::bezierPathBoundsWithModifierRects(bool withModifierRects) const
{
    const std::optional<BezierPath> outline = bezierPathForStrokeWidth(strokeLineWidth());
    if (!outline)
        return atLeast(QRectF(bounds().topLeft(), QSizeF()), MinimumSide);
    QRectF r = withModifierRects ? outline->controlPointBounds() : outline->bounds();
    std::optional<BezierPath> heads[2];
    arrow1Path(&heads[0], &heads[1]);
    for (const auto& head : heads) {
        if (head)
            r = including(r, head->bounds());
    }
    r = atLeast(r, MinimumSide);
    if (withModifierRects) {
        const QRectF first = pagePair(0);
        const QRectF last = pagePair(numControlPoints() - 1);
        for (const QPointF& h : {handle1(first), handle2(first), handle2(last), handle1(last)})
            r = including(r, h);
    }
    return r;
}

void LBCurvedLine::updateBounds()
{
    const QRectF b = bezierPathBoundsWithModifierRects(false);
    if (b == bounds())
        return;
    updateAllPointsForNewBounds(b);
    // Quietly: the bounds follow the points, which are what changed.
    const unsigned manipulating = _gFlags.manipulatingBounds;
    _gFlags.manipulatingBounds = 1;
    setBounds(b);
    _gFlags.manipulatingBounds = manipulating;
}

void LBCurvedLine::updateAllPointsForNewBounds(const QRectF& newBounds)
{
    const QRectF b = bounds();
    for (qsizetype i = 0; i < numControlPoints(); ++i) {
        _controlPoints[i] = toUnit(toPage(_controlPoints[i], b), newBounds);
        const QRectF& unit = _modifierRects[i];
        _modifierRects[i] = pair(toUnit(toPage(handle1(unit), b), newBounds),
                                 toUnit(toPage(handle2(unit), b), newBounds));
    }
}

QRectF LBCurvedLine::rotatedDrawingBounds() const
{
    const QRectF r = bezierPathBoundsWithModifierRects(_includeModifierRectsInBounds);
    const double angle = _rotationDegrees + _groupRotationDegrees;
    if (angle == 0.0)
        return r;
    QTransform rotation;
    rotation.translate(r.center().x(), r.center().y());
    rotation.rotate(angle);
    rotation.translate(-r.center().x(), -r.center().y());
    return rotation.mapRect(r);
}

void LBCurvedLine::arrow1Path(std::optional<BezierPath>* arrow1Path,
                              std::optional<BezierPath>* arrow2Path) const
{
    if (arrow1Path)
        *arrow1Path = std::nullopt;
    if (arrow2Path)
        *arrow2Path = std::nullopt;
    const qsizetype n = numControlPoints();
    if (_closedPath || n < 2 || (arrow1Type() == 0 && arrow2Type() == 0))
        return;
    // A head points along the tangent at its end: from the end's own handle towards the
    // curve, or where that handle is collapsed the neighbour's handle facing it, or the
    // neighbour itself.
    const auto head = [this](qsizetype end, QPointF handle, qsizetype neighbour,
                             QPointF neighbourHandle, qint64 type, double size) {
        QPointF at = controlPointAtIndex(end, true);
        QPointF from = handle;
        if (from == at)
            from = neighbourHandle;
        if (from == at)
            from = controlPointAtIndex(neighbour, true);
        std::optional<BezierPath> path =
            arrowPathForPoint(&at, from, type, size * arrowUnit(), false);
        if (path)
            path->setLineWidth(strokeLineWidth());
        return path;
    };
    if (arrow1Path) {
        *arrow1Path =
            head(0, handle2(pagePair(0)), 1, handle1(pagePair(1)), arrow1Type(), arrow1Size());
    }
    if (arrow2Path) {
        *arrow2Path = head(n - 1, handle1(pagePair(n - 1)), n - 2, handle2(pagePair(n - 2)),
                           arrow2Type(), arrow2Size());
    }
}

// --- Drawing the points and handles ---

void LBCurvedLine::drawHandlesInView(CanvasView* view, const QRectF& drawRect)
{
    if (!_movingBezierPoint)
        LBLine::drawHandlesInView(view, drawRect);
    if (!isGrouped() && !manipulatingBounds())
        drawControlAndModifierPointsInView(view);
}

void LBCurvedLine::drawControlAndModifierPointsInView(CanvasView* view)
{
    if (isGrouped() || locked())
        return;
    QPainter* painter = activePainter();
    if (!painter)
        return;
    const double z = zoomFactor() > 0.0 ? zoomFactor() : 1.0;
    const auto knob = [z](const char* name, const QPointF& at) {
        if (const platform::ImagePtr image = platform::Image::imageNamed(QLatin1String(name)))
            image->compositeToPoint({at.x() - 4.0 / z, at.y() + 4.0 / z});
    };
    QColor lineColor(Qt::red);
    lineColor.setAlphaF(0.4f);
    QPen pen(lineColor, 0.0);
    pen.setCosmetic(true);

    for (qsizetype i = 0; i < numControlPoints(); ++i) {
        const QPointF p = controlPointAtIndex(i, true);
        const QPointF at = rotatedPoint(p, false);
        if (!_selectedPoints.contains(i)) {
            drawModifierHandleAtPoint(at, view);
            continue;
        }
        const QRectF handles = pagePair(i);
        for (const qint64 m : {0, 1}) {
            const QPointF h = m == 0 ? handle1(handles) : handle2(handles);
            if (h == p)
                continue;
            const QPointF hAt = rotatedPoint(h, false);
            painter = activePainter();
            painter->save();
            painter->setPen(pen);
            painter->drawLine(at, hAt);
            painter->restore();
            knob(_selectedModifier == m ? "Knob4" : "Knob3", hAt);
        }
        knob(_selectedModifier == -1 ? "Knob2" : "Knob1", at);
    }
}

LBGraphic::ImagePtr LBCurvedLine::copyToImageWithScale(double scale, double alphaScaleFactor,
                                                       bool flipVertically, bool isTextBox)
{
    _includeModifierRectsInBounds = false;
    ImagePtr image;
    if (numControlPoints() == 1) {
        if (const platform::ImagePtr knob = platform::Image::imageNamed(QStringLiteral("Knob1")))
            image = knob->copy();
    } else {
        image = LBLine::copyToImageWithScale(scale, alphaScaleFactor, flipVertically, isTextBox);
    }
    _includeModifierRectsInBounds = true;
    return image;
}

// --- Flips ---

void LBCurvedLine::flipHorizontally()
{
    flip(true);
}

void LBCurvedLine::flipVertically()
{
    flip(false);
}

void LBCurvedLine::flip(bool horizontally)
{
    // With points selected, the selection clears first and the points move a moment later.
    // The curve may be gone by then: only a weak reference waits.
    if (_selectedPoints.isEmpty()) {
        mirror(horizontally);
        return;
    }
    _selectedPoints.clear();
    const std::weak_ptr<LBGraphic> weak = weak_from_this();
    if (weak.expired()) {
        mirror(horizontally);
        return;
    }
    QTimer::singleShot(DelayedFlipMilliseconds, [weak, horizontally] {
        if (const std::shared_ptr<LBGraphic> graphic = weak.lock())
            static_cast<LBCurvedLine&>(*graphic).mirror(horizontally);
    });
}

void LBCurvedLine::doFlipHorizontally()
{
    mirror(true);
}

void LBCurvedLine::doFlipVertically()
{
    mirror(false);
}

void LBCurvedLine::mirror(bool horizontally)
{
    // A mirror is its own inverse.
    registerUndo(
        [horizontally](LBGraphic& g) { static_cast<LBCurvedLine&>(g).mirror(horizontally); });
    const auto flip = [horizontally](const QPointF& u) {
        return horizontally ? QPointF(1.0 - u.x(), u.y()) : QPointF(u.x(), 1.0 - u.y());
    };
    for (qsizetype i = 0; i < numControlPoints(); ++i) {
        _controlPoints[i] = flip(_controlPoints[i]);
        const QRectF& unit = _modifierRects[i];
        _modifierRects[i] = pair(flip(handle1(unit)), flip(handle2(unit)));
    }
    mirrorFillImage(horizontally);
    clearCachedImage();
    didChange();
}
