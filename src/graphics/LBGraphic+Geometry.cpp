// Geometry of a graphic beyond its plain bounds: own and group rotation, points and
// rectangles converted between the unrotated frame and the page, the areas drawing and
// redrawing must cover, zoom, mirroring and the effect-location knobs.

#include "graphics/LBGraphic.h"

#include "graphics/EffectEntry.h"
#include "platform/core/TextForms.h"

#include <QTransform>

#include <cmath>

namespace {

// The bounding box of `rect` turned by `degrees` about its own centre.
QRectF rotatedRectBounds(const QRectF& rect, double degrees)
{
    return platform::BezierPath::withRect(rect)
        .transformed(LBGraphic::rotationAbout(rect.center(), degrees))
        .bounds();
}

} // namespace

QTransform LBGraphic::rotationAbout(const QPointF& center, double degrees)
{
    QTransform transform;
    transform.translate(center.x(), center.y());
    transform.rotate(degrees);
    transform.translate(-center.x(), -center.y());
    return transform;
}

// --- Rotation ---

void LBGraphic::setRotation(double degrees)
{
    if (degrees == _rotationDegrees) {
        clearCachedImage();
        return;
    }
    const double old = _rotationDegrees;
    registerUndo([old](LBGraphic& g) { g.setRotation(old); });
    _rotationDegrees = degrees;
    didChange();
    clearCachedImage();
}

void LBGraphic::setGroupRotation(double degrees)
{
    if (degrees == _groupRotationDegrees) {
        clearCachedImage();
        return;
    }
    const double old = _groupRotationDegrees;
    registerUndo([old](LBGraphic& g) { g.setGroupRotation(old); });
    _groupRotationDegrees = degrees;
    didChange();
    clearCachedImage();
}

QPointF LBGraphic::rotatedPoint(const QPointF& point, const QRectF& withBounds,
                                bool groupOnly) const
{
    const double angle =
        groupOnly ? _groupRotationDegrees : _groupRotationDegrees + _rotationDegrees;
    if (angle == 0.0)
        return point;
    return LBGraphic::rotationAbout(withBounds.center(), angle).map(point);
}

QPointF LBGraphic::unrotatedPoint(const QPointF& point, const QRectF& withBounds,
                                  bool groupOnly) const
{
    const double angle =
        groupOnly ? _groupRotationDegrees : _groupRotationDegrees + _rotationDegrees;
    if (angle == 0.0)
        return point;
    return LBGraphic::rotationAbout(withBounds.center(), -angle).map(point);
}

QPointF LBGraphic::rotatedPoint(const QPointF& point, bool groupOnly) const
{
    return rotatedPoint(point, groupOnly ? _groupBounds : bounds(), groupOnly);
}

QPointF LBGraphic::unrotatedPoint(const QPointF& point, bool groupOnly) const
{
    return unrotatedPoint(point, groupOnly ? _groupBounds : bounds(), groupOnly);
}

platform::BezierPath LBGraphic::rotatedPathFromRect(const QRectF& rect,
                                                    const QPointF* centerPoint) const
{
    platform::BezierPath path = platform::BezierPath::withRect(rect);
    if (_rotationDegrees == 0.0 && _groupRotationDegrees == 0.0)
        return path;
    const QPointF center = centerPoint ? *centerPoint : rect.center();
    return path.transformed(
        LBGraphic::rotationAbout(center, _rotationDegrees + _groupRotationDegrees));
}

QRectF LBGraphic::rotatedDrawingBounds() const
{
    if (_rotationDegrees == 0.0 && _groupRotationDegrees == 0.0)
        return bounds();
    return rotatedRectBounds(bounds(), _rotationDegrees + _groupRotationDegrees);
}

QRectF LBGraphic::rotatedBounds() const
{
    return rotatedDrawingBounds();
}

QRectF LBGraphic::groupRotatedDrawingBounds() const
{
    if (_groupRotationDegrees == 0.0)
        return _groupBounds;
    return rotatedRectBounds(_groupBounds, _groupRotationDegrees);
}

QRectF LBGraphic::unrotatedBoundsFromRotatedBounds(const QRectF& rect) const
{
    if (_rotationDegrees == 0.0 && _groupRotationDegrees == 0.0)
        return rect;
    return rotatedRectBounds(rect, -(_rotationDegrees + _groupRotationDegrees));
}

QRectF LBGraphic::groupUnrotatedDrawingBoundsFromRotatedBounds(const QRectF& rect) const
{
    if (_groupRotationDegrees == 0.0)
        return rect;
    return rotatedRectBounds(rect, -_groupRotationDegrees);
}

// --- Drawing extents ---

namespace {

// Room around the outline for the handles, or for a stroke wider than six points.
double drawingMargin(bool drawsStroke, double lineWidth)
{
    if (drawsStroke && lineWidth / 2.0 + 1.0 > 4.0)
        return lineWidth / 2.0 + 2.0;
    return 5.0;
}

} // namespace

QRectF LBGraphic::drawingBounds() const
{
    const double margin = drawingMargin(drawsStroke(), _lineWidth);
    return rotatedDrawingBounds().adjusted(-margin, -margin, margin, margin);
}

QRectF LBGraphic::groupDrawingBounds() const
{
    const double margin = drawingMargin(drawsStroke(), _lineWidth);
    return groupRotatedDrawingBounds().adjusted(-margin, -margin, margin, margin);
}

QRectF LBGraphic::shadowDrawingBoundsWithHandles(bool withHandles) const
{
    QRectF rect;
    if (withHandles) {
        rect = drawingBounds();
    } else {
        const double grow = drawsStroke() ? _lineWidth / 2.0 : 0.0;
        rect = rotatedDrawingBounds().adjusted(-grow, -grow, grow, grow);
    }

    if (_shadowType == 1) {
        const qint64 d = _shadowHeight + _shadowRadius / 2;
        rect.moveTopLeft(rect.topLeft() - QPointF(double(d) + 0.5, double(d) + 0.5));
        rect.setSize(rect.size() + QSizeF(2.0 * double(d), 2.0 * double(d)));
    }

    if (_reflectionEnabled && !_loadingReflection) {
        const QRectF b = bounds();
        if (_reflectionHOffset < 0.0) {
            // The reflection lies to the left: the rectangle grows leftwards.
            const double t = std::trunc(b.width() * _reflectionHOffset);
            rect.setX(rect.x() + t);
        } else {
            rect.setWidth(rect.width() + std::trunc(_reflectionHOffset * b.width()));
        }
        rect.setHeight(rect.height()
                       + std::trunc((_reflectionHeight + _reflectionVOffset) * b.height()));
    }
    return rect;
}

// --- Zoom ---

void LBGraphic::setZoomFactor(double zoomFactor)
{
    const double previous = _zoomFactor;
    _zoomFactor = zoomFactor;
    if (_shadow) {
        if (previous != 0.0) {
            // Keep the shadow's size on the page.
            const double scale = zoomFactor / previous;
            _shadow->offset *= scale;
            _shadow->blurRadius *= scale;
        } else {
            rebuildShadow();
        }
    }
    clearCachedImage();
}

// --- Flips ---

void LBGraphic::setFlippedHorizontally(bool flipped)
{
    if (!changeValue(_flippedHorizontally, flipped, &LBGraphic::setFlippedHorizontally))
        return;
    mirrorFillImage(true);
    clearCachedImage();
    didChange();
}

void LBGraphic::setFlippedVertically(bool flipped)
{
    if (!changeValue(_flippedVertically, flipped, &LBGraphic::setFlippedVertically))
        return;
    mirrorFillImage(false);
    clearCachedImage();
    didChange();
}

void LBGraphic::mirrorFillImage(bool horizontally)
{
    if (!hasFillImage())
        return;
    // The picture inside mirrors with the outline, within the rectangle it was cropped to.
    const QRectF& g = _origCropGraphicBounds;
    QRectF& i = _origCropImageBounds;
    if (horizontally) {
        _fillImageFlippedHorizontally = !_fillImageFlippedHorizontally;
        i.moveLeft(2.0 * g.x() + g.width() - i.x() - i.width());
    } else {
        _fillImageFlippedVertically = !_fillImageFlippedVertically;
        i.moveTop(2.0 * g.y() + g.height() - i.y() - i.height());
    }
}

void LBGraphic::flipHorizontally()
{
    setFlippedHorizontally(!_flippedHorizontally);
}

void LBGraphic::flipVertically()
{
    setFlippedVertically(!_flippedVertically);
}

qint64 LBGraphic::flipKnob(qint64 knob, bool horizontal)
{
    // Resize knobs: 1 top-left, 2 top-middle, 3 top-right, 4 middle-left, 5 middle-right,
    // 6 bottom-left, 7 bottom-middle, 8 bottom-right.
    static constexpr qint64 horizontalKnobs[9] = {0, 3, 2, 1, 5, 4, 8, 7, 6};
    static constexpr qint64 verticalKnobs[9] = {0, 6, 7, 8, 4, 5, 1, 2, 3};
    if (knob < 0 || knob > 8)
        return knob;
    return horizontal ? horizontalKnobs[knob] : verticalKnobs[knob];
}

// --- Knobs ---

qint64 LBGraphic::moveModifierKnob(qint64 knob, const QPointF& toPoint, bool constrainProportions)
{
    Q_UNUSED(knob);
    Q_UNUSED(toPoint);
    Q_UNUSED(constrainProportions);
    return 0;
}

QPointF* LBGraphic::origEffectLocation(qint64 index)
{
    switch (index) {
    case 0: return &_origEffectLocation0;
    case 1: return &_origEffectLocation1;
    case 2: return &_origEffectLocation2;
    case 3: return &_origEffectLocation3;
    default: return nullptr;
    }
}

void LBGraphic::saveOriginalEffectLocations()
{
    const QVariantMap effect = effectDictionaryAtIndex(_effectIndexForEffectKnob);
    const QRectF b = bounds();
    const bool crop = isImageCrop();
    for (qint64 k = 0; k < 4; ++k) {
        // Effect locations are fractions of the bounds, y measured up from the bottom
        // edge, except in a crop, where y is measured down from the top.
        const QPointF location =
            platform::pointFromString(effect.value(effectentry::locationKey(int(k))).toString());
        const double x = b.x() + location.x() * b.width();
        const double y = crop ? b.y() + location.y() * b.height()
                              : b.y() + b.height() - location.y() * b.height();
        *origEffectLocation(k) = QPointF(x, y);
    }
}

qint64 LBGraphic::moveEffectKnob(qint64 knob, const QPointF& toPoint, bool constrainProportions)
{
    const QRectF b = bounds();
    QPointF point = toPoint;
    if (constrainProportions) {
        const QPointF* saved = origEffectLocation(knob - 12);
        const QPointF start = saved ? *saved : QPointF();
        if (std::abs(point.y() - start.y()) > std::abs(point.x() - start.x()))
            point.setX(start.x());
        else
            point.setY(start.y());
    }
    point = pinPoint(point, b);
    const double x = (point.x() - b.x()) / b.width();
    const double y = isImageCrop() ? (point.y() - b.y()) / b.height()
                                   : (b.y() + b.height() - point.y()) / b.height();
    if (knob >= 12 && knob <= 15)
        setEffectLocation(QPointF(x, y), effectentry::locationKey(int(knob - 12)),
                          _effectIndexForEffectKnob);
    return knob;
}

QPointF LBGraphic::pinPoint(const QPointF& point, const QRectF& inRect)
{
    return QPointF(std::min(std::max(inRect.x(), point.x()), inRect.x() + inRect.width()),
                   std::min(std::max(inRect.y(), point.y()), inRect.y() + inRect.height()));
}

void LBGraphic::setEffectLocationKnobType(qint64 type, qint64 forEffectIndex)
{
    const qint64 oldType = _effectLocationKnobType;
    const qint64 oldIndex = _effectIndexForEffectKnob;
    registerUndo(
        [oldType, oldIndex](LBGraphic& g) { g.setEffectLocationKnobType(oldType, oldIndex); });
    _effectLocationKnobType = type;
    _effectIndexForEffectKnob = forEffectIndex;
}

// --- Capabilities and size helpers ---

void LBGraphic::makeNaturalSize()
{
    QRectF rect = bounds();
    if (rect.height() > rect.width())
        rect.setHeight(rect.width());
    else if (rect.width() > rect.height())
        rect.setWidth(rect.height());
    else
        return;
    setBounds(rect);
}

bool LBGraphic::shouldCreateHiResImageWhenPrinting() const
{
    return fillType() > 1;
}

void LBGraphic::scaleOtherSettingsByFactor(double factor)
{
    Q_UNUSED(factor);
}

QSizeF LBGraphic::croppedImageSizeForZoomFactor(double zoomFactor) const
{
    const QRectF& g = _origCropGraphicBounds;
    const QRectF& i = _origCropImageBounds;
    // Without crop rectangles there is no cropped picture to size.
    if (g.width() == 0.0 || g.height() == 0.0)
        return QSizeF();
    const QRectF b = bounds();
    return QSizeF(b.width() / g.width() * i.width() * zoomFactor,
                  b.height() / g.height() * i.height() * zoomFactor);
}

std::optional<platform::BezierPath> LBGraphic::bezierPathForStrokeWidth(double width) const
{
    Q_UNUSED(width);
    return std::nullopt;
}
