// Drawing a graphic into the current graphics context: the order of stroke, fill,
// pictures and shadow, the mirroring and turning transform, and the shadow bracket.

#include "graphics/LBGraphic.h"

#include "graphics/CanvasView.h"
#include "graphics/LBGradientFill.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

QPainter* activePainter(platform::GraphicsContext* context)
{
    QPainter* painter = context ? context->painter() : nullptr;
    return painter && painter->isActive() ? painter : nullptr;
}

// Graphics are painted with smooth edges, whatever the painter was set to; the setting
// is put back afterwards.
class SmoothEdges
{
public:
    explicit SmoothEdges(QPainter* painter)
        : _painter(painter), _was(painter->testRenderHint(QPainter::Antialiasing))
    {
        _painter->setRenderHint(QPainter::Antialiasing, true);
    }
    ~SmoothEdges() { _painter->setRenderHint(QPainter::Antialiasing, _was); }
    SmoothEdges(const SmoothEdges&) = delete;
    SmoothEdges& operator=(const SmoothEdges&) = delete;

private:
    QPainter* _painter;
    bool _was;
};

// The painter is asked for at every step: a shadow bracket hands out its own.
void strokePath(const platform::BezierPath& path, const QColor& color)
{
    QPainter* painter = activePainter(platform::GraphicsContext::current());
    if (!painter || !color.isValid())
        return;
    painter->strokePath(path.toPainterPath(), path.strokePen(color));
}

void fillPath(const platform::BezierPath& path, const QColor& color)
{
    QPainter* painter = activePainter(platform::GraphicsContext::current());
    if (!painter || !color.isValid())
        return;
    painter->fillPath(path.toPainterPath(), color);
}

// What a stroke of the path covers (a hairline at least a point wide).
QRectF strokeExtent(const platform::BezierPath& path)
{
    return path.strokedOutline().boundingRect().adjusted(-0.5, -0.5, 0.5, 0.5);
}

} // namespace

void LBGraphic::drawPictureUnflipped(const platform::Image& image, const QRectF& rect,
                                     double fraction)
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    QPainter* painter = activePainter(context);
    if (!painter)
        return;
    context->saveGraphicsState();
    QTransform mirror;
    mirror.translate(0.0, rect.top() + rect.bottom());
    mirror.scale(1.0, -1.0);
    painter->setWorldTransform(mirror, true);
    image.drawInRect(rect, QRectF(), QPainter::CompositionMode_SourceOver, fraction);
    context->restoreGraphicsState();
}

void LBGraphic::drawInView(CanvasView* view, bool isSelected)
{
    Q_UNUSED(isSelected);
    if (isShapeWithText() || _hidden)
        return;
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!activePainter(context))
        return;
    const SmoothEdges smooth(context->painter());

    std::optional<platform::BezierPath> path = bezierPath();
    QRectF b = bounds();
    // Unturned graphics are painted on whole points.
    if (_rotationDegrees == 0.0 && _groupRotationDegrees == 0.0)
        b = roundRectToIntegerBoundaries(b);

    if (path || _isPlaceholder) {
        if (!path) {
            const double inset = drawsStroke() ? _lineWidth / 2.0 : 0.0;
            path = platform::BezierPath::withRect(b.adjusted(inset, inset, -inset, -inset));
            path->setLineWidth(_lineWidth);
            applyDrawingDash(*path);
        }

        const bool textPlaceholder = _isPlaceholder && _drawPlaceholderText;
        const bool isPhoto = _placeholderTypeString == QLatin1String("Photo");
        const bool patternInView = textPlaceholder && view && _placeholderPatternIndex != 0;
        // A hidden placeholder outline still shows on the canvas, not in output.
        const bool stroke = drawsStroke() && !(!view && textPlaceholder && _hidePlaceholderOutline);
        const ImagePtr image = imageOfType(FillImageType);
        const qint64 type = fillType();
        const bool fillWithShadow =
            type == 1 || (textPlaceholder && !isPhoto) || (_shadowType == 1 && type != 0);

        platform::GraphicsContext* transformed = applyTransformForBounds(
            b, _flippedVertically, _flippedHorizontally, _rotationDegrees + _groupRotationDegrees);

        // With shadow type 1 the outline casts the shadow; whatever is painted over it
        // afterwards needs the stroke again on top.
        bool strokeAgain = true;
        if (stroke && _shadowType == 1) {
            startShadow(strokeExtent(*path));
            strokePath(*path, strokeColor());
            stopShadow();
            drawArrowsInView(view, true);
            strokeAgain = image || fillWithShadow || arrow1Type() != 0 || arrow2Type() != 0;
        }

        if (fillWithShadow) {
            startShadow(path->controlPointBounds());
            fillPath(*path, textPlaceholder ? _placeholderColor : fillColor());
            stopShadow();
        }

        if (image || type == 2 || type == 3 || textPlaceholder || _colorMaskType != 0) {
            context->saveGraphicsState();
            ImagePtr fill;
            if (image) {
                fill = fillImage();
            } else if (type == 2 || type == 3) {
                context->painter()->setClipPath(path->toPainterPath(), Qt::IntersectClip);
                gradientFillForDrawing().drawGradientInRect(b);
            }
            const ImagePtr mask = _colorMaskType != 0 ? colorMaskImage() : nullptr;
            context->restoreGraphicsState();

            if (fill && !isTextBox()) {
                if (!patternInView)
                    startShadow(b);
                // Image graphics draw their picture upright (they respect the flipped
                // page); fill pictures are made to be drawn the platform's plain way. A
                // graphic with a picture that is not shown through an outline (not an
                // image crop) is an image graphic.
                if (isImageCrop())
                    drawPictureUnflipped(*fill, b);
                else
                    fill->drawInRect(b, QRectF(), QPainter::CompositionMode_SourceOver, 1.0);
                if (!patternInView)
                    stopShadow();
            }
            if (mask) {
                startShadow(b);
                drawPictureUnflipped(*mask, b);
                stopShadow();
            }
        }

        if (strokeAgain && stroke) {
            strokePath(*path, strokeColor());
            drawArrowsInView(view, false);
        }

        if (textPlaceholder)
            drawPlaceholderText();

        if (transformed)
            transformed->restoreGraphicsState();
    }

    // The reflection lies below the graphic on the page, untransformed.
    if (_reflectionEnabled && _reflectionHeight != 0.0) {
        if (!_reflectionImage && !_loadingReflection) {
            _loadingReflection = true;
            setReflectionImage(
                reflectionWithTransparency(_reflectionTransparency, _reflectionHeight, true));
        }
        _loadingReflection = true;
        const QRectF s = shadowDrawingBoundsWithHandles(false);
        _loadingReflection = false;

        double margin = drawsStroke() ? _lineWidth : 0.0;
        if (_shadowType == 1)
            margin += 2.0 * double(_shadowHeight + _shadowRadius / 2);
        const QRectF target(
            std::trunc(s.x() + std::trunc(s.width() * _reflectionHOffset)),
            std::trunc(s.y() + s.height() + std::trunc(s.height() * _reflectionVOffset) - margin),
            std::trunc(s.width()), std::trunc(s.height() * _reflectionHeight));
        if (_reflectionImage)
            drawPictureUnflipped(*_reflectionImage, target);
    }
}

platform::GraphicsContext* LBGraphic::applyTransformForBounds(const QRectF& bounds, bool vFlip,
                                                              bool hFlip, double rotation)
{
    if (!vFlip && !hFlip && rotation == 0.0)
        return nullptr;
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    QPainter* painter = activePainter(context);
    if (!painter)
        return nullptr;
    context->saveGraphicsState();
    painter->setWorldTransform(transformForBounds(bounds, vFlip, hFlip, rotation), true);
    return context;
}

QTransform LBGraphic::transformForBounds(const QRectF& bounds, bool vFlip, bool hFlip,
                                         double rotation)
{
    // Each operation applies before those already in the transform, so a point is first
    // turned about the centre, then mirrored.
    QTransform transform;
    const QPointF c = bounds.center();
    if (vFlip) {
        transform.scale(1.0, -1.0);
        transform.translate(0.0, -2.0 * c.y());
    }
    if (hFlip) {
        transform.scale(-1.0, 1.0);
        transform.translate(-2.0 * c.x(), 0.0);
    }
    if (rotation != 0.0) {
        // Mirrored once, the turn is reversed so the graphic turns the same way on the page.
        const double sign = vFlip != hFlip ? -1.0 : 1.0;
        transform.translate(c.x(), c.y());
        transform.rotate(rotation * sign);
        transform.translate(-c.x(), -c.y());
    }
    return transform;
}

void LBGraphic::startShadow(const QRectF& drawnBounds)
{
    if (_shadowType < 1)
        return;
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    if (!_shadow)
        rebuildShadow();
    context->saveGraphicsState();
    // The graphic's shadow offset is measured with y growing upwards, the context's
    // with y growing downwards.
    context->setShadow({QSizeF(_shadow->offset.width(), -_shadow->offset.height()),
                        _shadow->blurRadius, _shadow->color});
    context->beginTransparencyLayer(drawnBounds);
}

void LBGraphic::stopShadow()
{
    if (_shadowType < 1)
        return;
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    context->endTransparencyLayer();
    context->restoreGraphicsState();
}

// --- Hooks of the fill picture, arrow and reflection code ---

LBGraphic::ImagePtr LBGraphic::fillImage()
{
    return nullptr;
}

LBGraphic::ImagePtr LBGraphic::colorMaskImage()
{
    return nullptr;
}

void LBGraphic::drawArrowsInView(CanvasView* view, bool drawShadow)
{
    Q_UNUSED(view);
    Q_UNUSED(drawShadow);
}

LBGraphic::ImagePtr LBGraphic::copyToImageWithScale(double scale, double alphaScaleFactor,
                                                    bool flipVertically, bool isTextBox)
{
    Q_UNUSED(scale);
    Q_UNUSED(alphaScaleFactor);
    Q_UNUSED(flipVertically);
    Q_UNUSED(isTextBox);
    return nullptr;
}

LBGraphic::ImagePtr LBGraphic::reflectionWithTransparency(double transparency, double height,
                                                          bool inverted)
{
    Q_UNUSED(transparency);
    Q_UNUSED(height);
    Q_UNUSED(inverted);
    return nullptr;
}
