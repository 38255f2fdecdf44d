// Drawing a graphic into the current graphics context: the order of stroke, fill,
// pictures and shadow, the mirroring and turning transform, and the shadow bracket.

#include "graphics/LBGraphic.h"

#include "graphics/CanvasView.h"
#include "graphics/LBGradientFill.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <optional>

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
        // (A change of hints costs the painter a state update: none when there is none.)
        if (!_was)
            _painter->setRenderHint(QPainter::Antialiasing, true);
    }
    ~SmoothEdges()
    {
        if (!_was)
            _painter->setRenderHint(QPainter::Antialiasing, false);
    }
    SmoothEdges(const SmoothEdges&) = delete;
    SmoothEdges& operator=(const SmoothEdges&) = delete;

private:
    QPainter* _painter;
    bool _was;
};

// The graphic's outline as the painter takes it: turned into a QPainterPath once for all
// that draws it, and a rectangle or an oval told apart, which the painter draws its own
// quicker ways (a rectangle's fill goes the painter's way for rectangles; strokes and oval
// fills come out the same as through the path).
class Outline
{
public:
    explicit Outline(const platform::BezierPath& path)
        : _path(path), _rectangle(path.rectangle()), _oval(_rectangle ? std::nullopt : path.oval())
    {
        // The painter strokes a closed rectangle from its top-left corner rightwards: only
        // a path that runs so, and is closed (not ended at its start), is stroked as one.
        _rectangleRunsAsPainters =
            _rectangle && path.elementAt(0).points[0] == _rectangle->topLeft()
            && path.elementAt(1).points[0] == _rectangle->topRight()
            && path.elementTypeAt(4) == platform::BezierPath::ElementType::ClosePath;
    }
    const platform::BezierPath& path() const { return _path; }
    const QPainterPath& painterPath() const
    {
        if (!_painterPath)
            _painterPath = _path.toPainterPath();
        return *_painterPath;
    }

    void fill(QPainter& painter, const QColor& color) const
    {
        if (_rectangle) {
            painter.fillRect(*_rectangle, color);
        } else if (_oval) {
            const Pen pen(painter, Qt::NoPen, color);
            painter.drawEllipse(*_oval);
        } else {
            painter.fillPath(painterPath(), color);
        }
    }

    // A rectangle or an oval filled and stroked in one drawing (the same as one after the
    // other); false, drawing nothing, for any other outline.
    bool fillAndStroke(QPainter& painter, const QColor& fill, const QColor& stroke) const
    {
        if (!fill.isValid() || !stroke.isValid() || (!_rectangleRunsAsPainters && !_oval))
            return false;
        const Pen pen(painter, _path.strokePen(stroke), fill);
        if (_oval)
            painter.drawEllipse(*_oval);
        else
            painter.drawRect(*_rectangle);
        return true;
    }

    void stroke(QPainter& painter, const QColor& color) const
    {
        if (_rectangleRunsAsPainters) {
            const Pen pen(painter, _path.strokePen(color), Qt::NoBrush);
            painter.drawRect(*_rectangle);
        } else if (_oval) {
            const Pen pen(painter, _path.strokePen(color), Qt::NoBrush);
            painter.drawEllipse(*_oval);
        } else {
            painter.strokePath(painterPath(), _path.strokePen(color));
        }
    }

private:
    // The painter's pen and brush for one drawing, its own put back after.
    class Pen
    {
    public:
        Pen(QPainter& painter, const QPen& pen, const QBrush& brush)
            : _painter(painter), _pen(painter.pen()), _brush(painter.brush())
        {
            _painter.setPen(pen);
            _painter.setBrush(brush);
        }
        ~Pen()
        {
            _painter.setPen(_pen);
            _painter.setBrush(_brush);
        }
        Pen(const Pen&) = delete;
        Pen& operator=(const Pen&) = delete;

    private:
        QPainter& _painter;
        const QPen _pen;
        const QBrush _brush;
    };

    const platform::BezierPath& _path;
    std::optional<QRectF> _rectangle;
    std::optional<QRectF> _oval;
    bool _rectangleRunsAsPainters = false;
    mutable std::optional<QPainterPath> _painterPath;
};

// The painter is asked for at every step: a shadow bracket hands out its own.
void strokePath(const Outline& outline, const QColor& color)
{
    QPainter* painter = activePainter(platform::GraphicsContext::current());
    if (painter && color.isValid())
        outline.stroke(*painter, color);
}

void fillPath(const Outline& outline, const QColor& color)
{
    QPainter* painter = activePainter(platform::GraphicsContext::current());
    if (painter && color.isValid())
        outline.fill(*painter, color);
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
    const bool textPlaceholder = _isPlaceholder && _drawPlaceholderText;
    // A hidden placeholder outline still shows on the canvas, not in output.
    const bool stroke = drawsStroke() && !(!view && textPlaceholder && _hidePlaceholderOutline);
    const ImagePtr image = imageOfType(FillImageType);
    const qint64 type = fillType();
    // Without a stroke, fill, picture, colour mask or placeholder text nothing is painted
    // along the outline (a plain text box on every label of a sheet): it is not made.
    const bool paintsOutline =
        stroke || type != 0 || image || _colorMaskType != 0 || textPlaceholder;
    const bool reflects = _reflectionEnabled && _reflectionHeight != 0.0;
    std::optional<SmoothEdges> smooth;
    if (paintsOutline || reflects)
        smooth.emplace(context->painter());
    std::optional<platform::BezierPath> path = paintsOutline ? bezierPath() : std::nullopt;
    QRectF b = bounds();
    // Unturned graphics are painted on whole points.
    if (_rotationDegrees == 0.0 && _groupRotationDegrees == 0.0)
        b = roundRectToIntegerBoundaries(b);

    if (paintsOutline && (path || _isPlaceholder)) {
        if (!path) {
            const double inset = drawsStroke() ? _lineWidth / 2.0 : 0.0;
            path = platform::BezierPath::withRect(b.adjusted(inset, inset, -inset, -inset));
            path->setLineWidth(_lineWidth);
            applyDrawingDash(*path);
        }

        const bool isPhoto = _placeholderTypeString == QLatin1String("Photo");
        const bool patternInView = textPlaceholder && view && _placeholderPatternIndex != 0;
        const bool fillWithShadow =
            type == 1 || (textPlaceholder && !isPhoto) || (_shadowType == 1 && type != 0);

        platform::GraphicsContext* transformed = applyTransformForBounds(
            b, _flippedVertically, _flippedHorizontally, _rotationDegrees + _groupRotationDegrees);

        const Outline outline(*path);
        // Most graphics are a fill and a stroke in a row, with no shadow, picture or
        // gradient between them: a rectangle or an oval the painter draws at once.
        const bool drawnAtOnce =
            fillWithShadow && stroke && _shadowType < 1 && !image && type != 2 && type != 3
            && !textPlaceholder && _colorMaskType == 0
            && outline.fillAndStroke(*context->painter(), fillColor(), strokeColor());

        // With shadow type 1 the outline casts the shadow; whatever is painted over it
        // afterwards needs the stroke again on top.
        bool strokeAgain = true;
        if (stroke && _shadowType == 1) {
            startShadow(path->strokeBounds());
            strokePath(outline, strokeColor());
            stopShadow();
            drawArrowsInView(view, true);
            strokeAgain = image || fillWithShadow || arrow1Type() != 0 || arrow2Type() != 0;
        }

        if (fillWithShadow && !drawnAtOnce) {
            startShadow(path->controlPointBounds());
            fillPath(outline, textPlaceholder ? _placeholderColor : fillColor());
            stopShadow();
        }

        if (image || type == 2 || type == 3 || textPlaceholder || _colorMaskType != 0) {
            context->saveGraphicsState();
            ImagePtr fill;
            if (image) {
                fill = fillImage();
            } else if (type == 2 || type == 3) {
                context->painter()->setClipPath(outline.painterPath(), Qt::IntersectClip);
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
            if (!drawnAtOnce)
                strokePath(outline, strokeColor());
            drawArrowsInView(view, false);
        }

        if (textPlaceholder)
            drawPlaceholderText();

        if (transformed)
            transformed->restoreGraphicsState();
    }

    // The reflection lies below the graphic on the page, untransformed.
    if (reflects) {
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

// --- Hooks of the arrow code ---

void LBGraphic::drawArrowsInView(CanvasView* view, bool drawShadow)
{
    Q_UNUSED(view);
    Q_UNUSED(drawShadow);
}
