// Selection handles (knobs) of a graphic: which are offered, where they sit, which one a
// point lands on, how they and the drag-target outline are drawn; and the hit test that
// decides whether a click lands on the graphic at all.

#include "graphics/LBGraphic.h"

#include "graphics/InspectorPalette.h"
#include "graphics/LBProcessState.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPen>
#include <QTransform>

namespace {

const QString kTrimToPage = QStringLiteral("Trim To Page");

constexpr qint64 kResizeKnobsMask = 0xFF;
constexpr qint64 kEffectPointMask = 0x800;
constexpr qint64 kPerspectiveMask = 0x7800;

bool knobAllowed(qint64 mask, qint64 knob)
{
    return (mask & (qint64(1) << (knob - 1))) != 0;
}

// The frame the knobs sit on and how their points are turned: a group's first member
// shows the group's frame, turned by the group rotation about the group's centre; any
// other graphic its own bounds, turned by own + group rotation about its centre.
struct KnobFrame
{
    QRectF rect;
    bool groupOnly = false;
};

KnobFrame knobFrame(const LBGraphic& graphic)
{
    if (graphic.groupedChildrenCount() != 0)
        return {graphic.groupBounds(), true};
    return {graphic.bounds(), false};
}

QPointF turned(const LBGraphic& graphic, const KnobFrame& frame, const QPointF& point)
{
    return graphic.rotatedPoint(point, frame.rect, frame.groupOnly);
}

// Resize knob points before turning.
QPointF resizeKnobPoint(const QRectF& r, qint64 knob)
{
    switch (knob) {
    case 1: return {r.left(), r.top()};
    case 2: return {r.center().x(), r.top()};
    case 3: return {r.left() + r.width(), r.top()};
    case 4: return {r.left(), r.center().y()};
    case 5: return {r.left() + r.width(), r.center().y()};
    case 6: return {r.left(), r.top() + r.height()};
    case 7: return {r.center().x(), r.top() + r.height()};
    case 8: return {r.left() + r.width(), r.top() + r.height()};
    default: return {};
    }
}

// Handle sizes and hit squares are divided by the zoom so they keep their size on screen.
double zoomOf(const LBGraphic& graphic)
{
    const double z = graphic.zoomFactor();
    return z > 0.0 ? z : 1.0;
}

QPainter* activePainter(platform::GraphicsContext* context)
{
    QPainter* painter = context ? context->painter() : nullptr;
    return painter && painter->isActive() ? painter : nullptr;
}

void compositeNamedImage(const QString& name, const QPointF& lowerLeft)
{
    if (const platform::ImagePtr image = platform::Image::imageNamed(name))
        image->compositeToPoint(lowerLeft, QPainter::CompositionMode_SourceOver);
}

} // namespace

qint64 LBGraphic::knobMask() const
{
    switch (_effectLocationKnobType) {
    case 1: return kResizeKnobsMask | kEffectPointMask;
    case 2: return kResizeKnobsMask | kPerspectiveMask;
    default: return kResizeKnobsMask;
    }
}

QPointF LBGraphic::effectLocationKnobPointForIndex(qint64 index) const
{
    const QRectF b = bounds();
    // An index past the list reads an empty entry: the location (0, 0).
    const QVariantMap effect = effectDictionaryAtIndex(_effectIndexForEffectKnob);
    const QPointF location =
        platform::pointFromString(effect.value(QStringLiteral("location%1").arg(index)).toString());
    const double x = b.x() + location.x() * b.width();
    // Locations are measured up from the bottom edge, except in a crop.
    const double y = isImageCrop() ? b.y() + location.y() * b.height()
                                   : b.y() + b.height() - location.y() * b.height();
    return {x, y};
}

qint64 LBGraphic::knobUnderPoint(const QPointF& point) const
{
    const KnobFrame frame = knobFrame(*this);
    const qint64 mask = knobMask();
    const double z = zoomOf(*this);
    const double h = 4.0 / z;
    const double e = _effectLocationKnobType == 2   ? 8.0 / z
                     : _effectLocationKnobType == 1 ? 9.5 / z
                                                    : 0.0;
    // The knob's square grown by one screen pixel on every side; the low edges belong to
    // it, the high edges do not.
    const auto hits = [&](const QPointF& knobPoint, double half) {
        const QPointF q = turned(*this, frame, knobPoint);
        const QRectF square(q.x() - half - 1.0 / z, q.y() - half - 1.0 / z, 2.0 * half + 2.0 / z,
                            2.0 * half + 2.0 / z);
        return platform::pointInRect(point, square);
    };

    if (!_isGrouped) {
        if (knobAllowed(mask, 9) && hits(modifierKnob1Point(), h))
            return 9;
        if (knobAllowed(mask, 10) && hits(modifierKnob2Point(), h))
            return 10;
        for (qint64 knob = 12; knob <= 15; ++knob) {
            if (knobAllowed(mask, knob) && hits(effectLocationKnobPointForIndex(knob - 12), e))
                return knob;
        }
    }
    for (qint64 knob = 1; knob <= 8; ++knob) {
        if (knobAllowed(mask, knob) && hits(resizeKnobPoint(frame.rect, knob), h))
            return knob;
    }
    return 0;
}

void LBGraphic::drawHandlesInView(CanvasView* view, const QRectF& drawRect)
{
    if (manipulatingBounds() || _hidden)
        return;
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!activePainter(context))
        return;

    const bool trim = platform::UserDefaults::standardUserDefaults().boolForKey(kTrimToPage);
    if (trim) {
        context->saveGraphicsState();
        context->painter()->setClipRect(drawRect, Qt::ReplaceClip);
    }

    const QRectF b = bounds();
    const double z = zoomOf(*this);
    const double angle = _rotationDegrees + _groupRotationDegrees;

    if (_isDragTarget) {
        // Outlined instead of knobs, once.
        if (angle != 0.0) {
            context->saveGraphicsState();
            QTransform rotation;
            rotation.translate(b.center().x(), b.center().y());
            rotation.rotate(angle);
            rotation.translate(-b.center().x(), -b.center().y());
            context->painter()->setWorldTransform(rotation, true);
        }
        // The highlight is solid whatever the graphic's own dash.
        const DashPattern dash = _lineDashPattern;
        const qint64 dashCount = _lineDashCount;
        _lineDashPattern = {};
        _lineDashCount = 0;
        std::optional<platform::BezierPath> path = bezierPathForStrokeWidth(3.0 / z);
        _lineDashPattern = dash;
        _lineDashCount = dashCount;
        if (!path)
            path = platform::BezierPath::withRect(b);
        path->setLineWidth(3.0 / z);
        const QColor highlight = QGuiApplication::palette().color(QPalette::Highlight);
        context->saveGraphicsState();
        context->painter()->setRenderHint(QPainter::Antialiasing);
        context->painter()->strokePath(path->toPainterPath(), path->strokePen(highlight));
        context->restoreGraphicsState();
        _isDragTarget = false;
        if (angle != 0.0)
            context->restoreGraphicsState();
    } else {
        const KnobFrame frame = knobFrame(*this);
        const bool isLocked = _locked;
        const qint64 mask = knobMask();
        for (qint64 knob = 1; knob <= 8; ++knob) {
            if (!knobAllowed(mask, knob))
                continue;
            const bool corner = knob == 1 || knob == 3 || knob == 6 || knob == 8;
            // Perspective corners take the corner knobs' places; a locked graphic shows
            // its corners only.
            if (corner ? _effectLocationKnobType == 2 : isLocked)
                continue;
            drawHandleAtPoint(turned(*this, frame, resizeKnobPoint(frame.rect, knob)), view);
        }
        if (!isLocked && !_isGrouped) {
            if (knobAllowed(mask, 9))
                drawModifierHandleAtPoint(turned(*this, frame, modifierKnob1Point()), view);
            if (knobAllowed(mask, 10))
                drawModifierHandleAtPoint(turned(*this, frame, modifierKnob2Point()), view);
            for (qint64 knob = 12; knob <= 15; ++knob) {
                if (knobAllowed(mask, knob)) {
                    drawEffectLocationHandleAtPoint(
                        turned(*this, frame, effectLocationKnobPointForIndex(knob - 12)), knob - 12,
                        view);
                }
            }
        }
        if (isShapeWithText()) {
            // A thin outline shows the shape under its text.
            context->saveGraphicsState();
            context->painter()->setRenderHint(QPainter::Antialiasing);
            if (angle != 0.0) {
                const QPointF c = frame.rect.center();
                QTransform rotation;
                rotation.translate(c.x(), c.y());
                rotation.rotate(angle);
                rotation.translate(-c.x(), -c.y());
                context->painter()->setWorldTransform(rotation, true);
            }
            if (std::optional<platform::BezierPath> path = bezierPathForStrokeWidth(0.0)) {
                path->setLineWidth(0.0);
                QColor black(Qt::black);
                black.setAlphaF(0.5f);
                context->painter()->strokePath(path->toPainterPath(), path->strokePen(black));
            }
            context->restoreGraphicsState();
        }
    }

    if (trim)
        context->restoreGraphicsState();
}

void LBGraphic::drawHandleAtPoint(const QPointF& point, CanvasView* view)
{
    Q_UNUSED(view);
    const double z = zoomOf(*this);
    if (_locked) {
        compositeNamedImage(QStringLiteral("KnobLocked"),
                            {point.x() - 4.0 / z - 2.0, point.y() + 4.0 / z + 1.0});
        return;
    }
    compositeNamedImage(_isGrouped ? QStringLiteral("KnobGroup") : QStringLiteral("Knob"),
                        {point.x() - 4.0 / z, point.y() + 4.0 / z});
}

void LBGraphic::drawModifierHandleAtPoint(const QPointF& point, CanvasView* view)
{
    Q_UNUSED(view);
    const double z = zoomOf(*this);
    compositeNamedImage(QStringLiteral("Knob1"), {point.x() - 4.0 / z, point.y() + 4.0 / z});
}

void LBGraphic::drawEffectLocationHandleAtPoint(const QPointF& point, qint64 knobIndex,
                                                CanvasView* view)
{
    Q_UNUSED(view);
    const double z = zoomOf(*this);
    if (_effectLocationKnobType == 1) {
        compositeNamedImage(QStringLiteral("EffectLocationKnob"),
                            {point.x() - 14.5 / z, point.y() + 14.5 / z});
        return;
    }
    if (_effectLocationKnobType != 2)
        return;
    // Each corner picture is shifted so its corner mark sits on the point.
    struct Corner
    {
        const char* name;
        double dx;
        double dy;
    };
    static constexpr Corner corners[4] = {{"PerspectiveKnobUpperLeft", 4.0, 5.0},
                                          {"PerspectiveKnobUpperRight", -4.0, 5.0},
                                          {"PerspectiveKnobLowerLeft", 4.0, -4.0},
                                          {"PerspectiveKnobLowerRight", -4.0, -4.0}};
    if (knobIndex < 0 || knobIndex > 3)
        return;
    const Corner& corner = corners[knobIndex];
    compositeNamedImage(QLatin1String(corner.name), {point.x() + corner.dx / z - 11.0 / z,
                                                     point.y() + corner.dy / z + 11.0 / z});
}

bool LBGraphic::hitTest(const QPointF& point, bool isSelected, LBGraphic* shapeGraphicForCrop)
{
    Q_UNUSED(shapeGraphicForCrop);
    if (isSelected && knobUnderPoint(point) != 0)
        return true;
    // A turned graphic is hit inside its turned frame, whatever its outline.
    if (_rotationDegrees != 0.0 || _groupRotationDegrees != 0.0)
        return rotatedPathFromRect(bounds(), nullptr).containsPoint(point);
    if (const std::optional<platform::BezierPath> path = shapeBezierPath())
        return path->containsPoint(point);
    return platform::pointInRect(point, bounds());
}

bool LBGraphic::isEditable() const
{
    return isImageCrop() && _fillImageScaling != 1;
}

void LBGraphic::startEditingWithEvent(QMouseEvent* event, CanvasView* view, bool selectContents)
{
    Q_UNUSED(event);
    Q_UNUSED(view);
    Q_UNUSED(selectContents);
    if (!isImageCrop())
        return;
    if (InspectorPalette* palette = LBProcessState::inspectorPalette())
        palette->forceSelectCropTools(true, false);
}

void LBGraphic::endEditingInView(CanvasView* view)
{
    Q_UNUSED(view);
}
