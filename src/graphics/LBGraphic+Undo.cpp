// Attribute changes of a graphic: every visible attribute changes through a setter that
// ignores an unchanged value, records the inverse call on the document's undo manager,
// stores the new value and announces the change with didChange().

#include "graphics/LBGraphic.h"

#include "graphics/LBGradientFill.h"
#include "graphics/LBProcessState.h"
#include "platform/core/NotificationCenter.h"

#include <QList>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

// Width and height of a graphic never fall below one point.
QRectF withMinimumSize(QRectF rect)
{
    if (rect.width() < 1.0)
        rect.setWidth(1.0);
    if (rect.height() < 1.0)
        rect.setHeight(1.0);
    return rect;
}

// The colour with its alpha multiplied by the graphic's overall opacity.
QColor withAlphaMultiplied(const QColor& color, double alpha)
{
    if (!color.isValid() || alpha == 1.0)
        return color;
    QColor result = color;
    result.setAlphaF(static_cast<float>(color.alphaF() * alpha));
    return result;
}

} // namespace

// --- Change announcement ---

void LBGraphic::didChange()
{
    // While the reflection picture is being built, drawing itself changes attributes for a
    // moment; none of that is a change.
    if (_loadingReflection)
        return;
    if (!LBProcessState::isDraggingOut())
        setReflectionImage(nullptr);
    invalidate();
    platform::NotificationCenter::defaultCenter().post(LBGraphicDidChange, this);
}

void LBGraphic::refreshGraphic(bool clearCache)
{
    if (clearCache)
        clearCachedImage();
    invalidate();
}

// --- Bounds ---

void LBGraphic::setBounds(const QRectF& newBounds)
{
    if (newBounds == _bounds)
        return;
    const bool manipulating = _gFlags.manipulatingBounds;
    if (manipulating && _imageWasDownsampled)
        _downSampledImageBoundsWereChanged = true;
    if (!manipulating) {
        didChange();
        const QRectF old = _bounds;
        registerUndo([old](LBGraphic& g) { g.setBounds(old); });
    }
    if (newBounds.size() != _bounds.size()) {
        clearCachedImage();
        _colorMaskImage.reset();
    }
    _bounds = withMinimumSize(newBounds);
    if (!manipulating)
        didChange();
}

void LBGraphic::setBoundsNoOtherChanges(const QRectF& newBounds)
{
    if (_isGrouped)
        _groupBounds.translate(newBounds.topLeft() - _bounds.topLeft());
    _bounds = withMinimumSize(newBounds);
}

QRectF LBGraphic::bounds() const
{
    _bounds = withMinimumSize(_bounds);
    return _bounds;
}

QRectF LBGraphic::roundRectToIntegerBoundaries(const QRectF& rect)
{
    return QRectF(std::floor(rect.x() + 0.5), std::floor(rect.y() + 0.5),
                  std::floor(rect.width() + 0.5), std::floor(rect.height() + 0.5));
}

void LBGraphic::moveBy(const QPointF& delta)
{
    setBounds(bounds().translated(delta));
    if (_isGrouped)
        setGroupBounds(_groupBounds.translated(delta));
}

void LBGraphic::startBoundsManipulation()
{
    _gFlags.manipulatingBounds = 1;
    _origBounds = bounds();
    if (_isGrouped)
        _origGroupBounds = _groupBounds;
}

void LBGraphic::stopBoundsManipulation()
{
    if (_gFlags.manipulatingBounds) {
        _gFlags.manipulatingBounds = 0;
        // Put the starting values back for a moment and set the final ones through the
        // undoable setters, so the whole drag becomes one step from start to end.
        if (_isGrouped && _groupBounds != _origGroupBounds) {
            const QRectF finalGroupBounds = _groupBounds;
            _groupBounds = _origGroupBounds;
            setGroupBounds(finalGroupBounds);
        }
        if (_bounds != _origBounds) {
            const QRectF finalBounds = _bounds;
            _bounds = _origBounds;
            setBounds(finalBounds);
        }
    }
    platform::NotificationCenter::defaultCenter().post(LBStopBoundsManipulationNotification, this);
}

// --- Paint ---

void LBGraphic::setFillType(qint64 fillType)
{
    if (qint64(_gFlags.fillType) == fillType)
        return;
    const qint64 old = _gFlags.fillType;
    registerUndo([old](LBGraphic& g) { g.setFillType(old); });
    _gFlags.fillType = static_cast<unsigned>(fillType) & 0x7;
    // The painter gets the type as stored, so it never paints a kind the graphic lacks.
    if (_gradientFill)
        _gradientFill->setGradientType(_gFlags.fillType, gradientCenter(), gradientCenterSize(),
                                       gradientAngle());
    didChange();
}

QColor LBGraphic::fillColor() const
{
    return withAlphaMultiplied(_fillColor, _graphicAlpha);
}

void LBGraphic::setFillColor(const QColor& color)
{
    if (!changeValue(_fillColor, color, &LBGraphic::setFillColor))
        return;
    passGradientColors();
    if (_colorMaskType != 0)
        updateColorMask();
    didChange();
}

void LBGraphic::passGradientColors()
{
    // Both colours with the overall opacity, as the painter got them when it was made:
    // the gradient fades with the rest of the graphic.
    if (_gradientFill)
        _gradientFill->setStartColor(fillColor(), fillColor1());
}

QColor LBGraphic::fillColor1() const
{
    return withAlphaMultiplied(_fillColor1, _graphicAlpha);
}

void LBGraphic::setFillColor1(const QColor& color)
{
    if (!changeValue(_fillColor1, color, &LBGraphic::setFillColor1))
        return;
    passGradientColors();
    didChange();
}

QColor LBGraphic::strokeColor() const
{
    return withAlphaMultiplied(_strokeColor, _graphicAlpha);
}

void LBGraphic::setStrokeColor(const QColor& color)
{
    if (color != _strokeColor) {
        const QColor old = _strokeColor;
        registerUndo([old](LBGraphic& g) { g.setStrokeColor(old); });
        _strokeColor = color;
        didChange();
    }
    setDrawsStroke(color.isValid());
}

void LBGraphic::setDrawsStroke(bool drawsStroke)
{
    if (bool(_gFlags.drawsStroke) == drawsStroke)
        return;
    // Turning the outline off redraws first, while the area still includes the outline.
    if (!drawsStroke)
        didChange();
    const bool old = _gFlags.drawsStroke;
    registerUndo([old](LBGraphic& g) { g.setDrawsStroke(old); });
    _gFlags.drawsStroke = drawsStroke ? 1 : 0;
    if (drawsStroke)
        didChange();
}

void LBGraphic::setStrokeLineWidth(double width)
{
    if (width == _lineWidth)
        return;
    const double old = _lineWidth;
    registerUndo([old](LBGraphic& g) { g.setStrokeLineWidth(old); });
    // A narrower outline must erase the wider old one.
    if (_lineWidth > width)
        invalidate();
    if (width < 0.0 || std::isnan(width)) {
        setDrawsStroke(false);
        _lineWidth = 0.0;
    } else {
        _lineWidth = width;
    }
    didChange();
}

void LBGraphic::setLineDash(const DashPattern& lengths, qint64 count)
{
    if (count == _lineDashCount && lengths == _lineDashPattern)
        return;
    const DashPattern oldLengths = _lineDashPattern;
    const qint64 oldCount = _lineDashCount;
    registerUndo([oldLengths, oldCount](LBGraphic& g) { g.setLineDash(oldLengths, oldCount); });
    _lineDashPattern = lengths;
    _lineDashCount = count;
    didChange();
}

LBGraphic::DashPattern LBGraphic::getLineDashPatternForDrawing() const
{
    DashPattern pattern = _lineDashPattern;
    for (double& length : pattern)
        length *= _lineWidth;
    return pattern;
}

void LBGraphic::applyDrawingDash(platform::BezierPath& path) const
{
    if (_lineDashCount <= 0)
        return;
    const DashPattern dash = getLineDashPatternForDrawing();
    const qint64 count = std::min<qint64>(_lineDashCount, 4);
    path.setLineDash(QList<qreal>(dash.cbegin(), dash.cbegin() + count), 0.0);
}

void LBGraphic::setGraphicAlpha(double alpha)
{
    recordValue(_graphicAlpha, alpha, &LBGraphic::setGraphicAlpha);
    passGradientColors();
    didChange();
}

// --- Shadow ---

void LBGraphic::setShadowInfo(qint64 type, qint64 height, qint64 radius, qint64 azimuth,
                              double alpha, const QColor& color)
{
    clearCachedImage();
    const qint64 oldType = _shadowType;
    const qint64 oldHeight = _shadowHeight;
    const qint64 oldRadius = _shadowRadius;
    const qint64 oldAzimuth = _shadowAzimuth;
    const double oldAlpha = _shadowAlpha;
    const QColor oldColor = _shadowColor;
    registerUndo([oldType, oldHeight, oldRadius, oldAzimuth, oldAlpha, oldColor](LBGraphic& g) {
        g.setShadowInfo(oldType, oldHeight, oldRadius, oldAzimuth, oldAlpha, oldColor);
    });

    // A shadow that goes away, shrinks or turns must erase its old area now; a larger one
    // is covered by the final announcement.
    const bool shrinks = type == 0 || (height != -1 && height < _shadowHeight)
                         || (radius != -1 && radius < _shadowRadius) || azimuth != -1;
    if (shrinks)
        invalidate();

    if (type != -1)
        _shadowType = type;
    if (height != -1)
        _shadowHeight = height;
    if (radius != -1)
        _shadowRadius = radius;
    if (azimuth != -1)
        _shadowAzimuth = azimuth >= 360 ? azimuth - 360 : azimuth;
    if (alpha != -1.0)
        _shadowAlpha = alpha;
    if (color.isValid())
        _shadowColor = color;

    if (_shadowType >= 1)
        rebuildShadow();
    didChange();
}

void LBGraphic::rebuildShadow()
{
    // The angle uses 3.14159 rather than the full pi, as the stored shadows always have.
    const double angle = 2.0 * (double(_shadowAzimuth) / 360.0 * 3.14159);
    Shadow shadow;
    shadow.offset = QSizeF(-(double(_shadowHeight) * std::cos(angle) * _zoomFactor),
                           -(double(_shadowHeight) * std::sin(angle) * _zoomFactor));
    shadow.blurRadius = double(_shadowRadius) * _zoomFactor;
    shadow.color = _shadowColor;
    shadow.color.setAlphaF(static_cast<float>(1.0 - _shadowAlpha));
    _shadow = shadow;
}

qint64 LBGraphic::shadowInfo(qint64* height, qint64* radius, qint64* azimuth, double* alpha,
                             QColor* color) const
{
    if (height)
        *height = _shadowHeight;
    if (radius)
        *radius = _shadowRadius;
    if (azimuth)
        *azimuth = _shadowAzimuth;
    if (alpha)
        *alpha = _shadowAlpha;
    if (color)
        *color = _shadowColor;
    return _shadowType;
}
