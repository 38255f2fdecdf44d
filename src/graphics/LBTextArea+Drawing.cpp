// Drawing a text box: the outline and tab, straight text with block alignment, curved and
// spiral text, glyph outlines filled with the fill image or the text gradient, and the
// live-address badge.

#include "graphics/LBTextArea.h"

#include "graphics/CanvasView.h"
#include "graphics/LBGradientFill.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPen>
#include <QTransform>

#include <cmath>
#include <functional>
#include <numbers>

using platform::GraphicsContext;
using platform::LayoutManager;
using platform::Range;

namespace {

// Curved text lays each paragraph out on one line.
constexpr double CurvedContainerSide = 10000000.0;

// The colour of selection knobs, which also marks the box being edited.
QColor knobColor()
{
    return QGuiApplication::palette().color(QPalette::Highlight);
}

QPainter* activePainter(GraphicsContext* context)
{
    QPainter* painter = context ? context->painter() : nullptr;
    return painter && painter->isActive() ? painter : nullptr;
}

bool isObliqueAngle(double degrees)
{
    for (double right : {0.0, 90.0, 180.0, 270.0, -90.0, -180.0, -270.0})
        if (degrees == right)
            return false;
    return true;
}

// A line of one device pixel around the rectangle.
void strokeHairline(const QRectF& rect, const QColor& color, const QList<qreal>& dash = {})
{
    QPainter* painter = activePainter(GraphicsContext::current());
    if (!painter)
        return;
    QPen pen(color, 0.0);
    if (!dash.isEmpty())
        pen.setDashPattern(dash);
    painter->save();
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect);
    painter->restore();
}

// The picture in the mask (SourceIn): each pixel of the picture scaled by the alpha of the
// mask's pixel, rounded as QPainter rounds it. Most of a glyph mask is empty or solid, which
// this passes over or copies instead of compositing every pixel.
void paintIn(QImage& mask, const QImage& picture)
{
    const int width = mask.width();
    for (int y = 0; y < mask.height(); ++y) {
        QRgb* out = reinterpret_cast<QRgb*>(mask.scanLine(y));
        const QRgb* in = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            // Empty stretches four pixels at a time (a transparent premultiplied pixel is 0).
            while (x + 4 <= width && (out[x] | out[x + 1] | out[x + 2] | out[x + 3]) == 0)
                x += 4;
            if (x >= width)
                break;
            const quint32 alpha = qAlpha(out[x]);
            if (alpha == 0)
                continue;
            if (alpha == 255) {
                out[x] = in[x];
                continue;
            }
            quint64 t = ((quint64(in[x]) | (quint64(in[x]) << 24)) & 0x00ff00ff00ff00ffULL) * alpha;
            t = (t + ((t >> 8) & 0x00ff00ff00ff00ffULL) + 0x0080008000800080ULL) >> 8;
            t &= 0x00ff00ff00ff00ffULL;
            out[x] = quint32(t) | quint32(t >> 24);
        }
    }
}

// Draws a picture the way the platform draws one that does not respect the flipped page,
// as fill pictures are made to be drawn: its last pixel row at the top of the rectangle.
void drawImageUnflipped(GraphicsContext& context, const platform::Image& image, const QRectF& rect)
{
    context.saveGraphicsState();
    QTransform mirror;
    mirror.translate(0.0, rect.top() + rect.bottom());
    mirror.scale(1.0, -1.0);
    context.painter()->setWorldTransform(mirror, true);
    image.drawInRect(rect, QRectF(), QPainter::CompositionMode_SourceOver, 1.0);
    context.restoreGraphicsState();
}

} // namespace

void LBTextArea::drawInView(CanvasView* view, bool isSelected)
{
    // Fill, stroke and shadow of the outline (nothing for a shape that carries text).
    LBGraphic::drawInView(view, isSelected);
    GraphicsContext* context = GraphicsContext::current();
    if (_hidden || !activePainter(context))
        return;

    const QRectF b = bounds();
    const double rotation = _rotationDegrees + _groupRotationDegrees;
    const bool oblique = isObliqueAngle(rotation);
    const bool beingEdited = view && view->editingGraphic() == this;

    context->saveGraphicsState();
    context->painter()->setRenderHint(QPainter::Antialiasing, true);
    if (beingEdited && (oblique || _isCurved)) {
        // The editor shows such text unturned and straight; the frame marks the box.
        strokeHairline(b.adjusted(-0.5, -0.5, 0.5, 0.5), knobColor());
    }
    GraphicsContext* transformed =
        applyTransformForBounds(b, _flippedVertically, _flippedHorizontally, rotation);

    if (beingEdited) {
        // The editor shows the text.
        if (!oblique && !_isCurved)
            strokeHairline(b, knobColor());
    } else {
        drawTextContent(view, isSelected);
    }

    if (transformed)
        transformed->restoreGraphicsState();
    context->restoreGraphicsState();
    if (_drawAddressPopup && _textBoxType != 0 && context->isDrawingToScreen())
        drawAddressPopup();
}

void LBTextArea::drawTextContent(CanvasView* view, bool isSelected)
{
    GraphicsContext& context = *GraphicsContext::current();
    const QRectF b = bounds();

    // The outline and tab of a selected box, where the user can see and edit them.
    if (view || !_textIsLocked || _drawAddressPopup || _forceDrawTextOutline) {
        if (isSelected && !drawsStroke())
            strokeHairline(b, QColor::fromRgbF(0.8f, 0.8f, 0.8f, 0.7f),
                           _textBoxType == OrdinaryTextBox ? QList<qreal>{2, 2} : QList<qreal>{});
        if (isSelected && _textBoxType != 0 && context.isDrawingToScreen())
            drawTab();
    }

    if (!hasText())
        return;
    // A box whose fill casts the shadow: its text must not cast another.
    const bool shadowCovered = fillType() == 1 || (fillType() != 0 && _shadowType == 1);

    if (isShapeWithText()) {
        // The glyph outlines laid along the shape's outline.
        const std::optional<platform::BezierPath> path = bezierPath();
        if (!path)
            return;
        const QVariant first =
            _contents->attributedString().attribute(platform::ForegroundColorAttributeName, 0);
        const QColor color = first.typeId() == QMetaType::QColor && first.value<QColor>().isValid()
                                 ? first.value<QColor>()
                                 : QColor(Qt::black);
        const QPainterPath outline = path->toPainterPath();
        if (!shadowCovered)
            startShadow(outline.boundingRect());
        context.painter()->fillPath(outline, color);
        if (!shadowCovered)
            stopShadow();
        return;
    }

    const bool painted = imageOfType(FillImageType) || _textGradientType != 0;
    const SharedLayout layout(*_contents, QSizeF(b.width(), b.height() + 1000.0));
    LayoutManager& manager = layout.layoutManager();
    const Range whole(0, _contents->length());
    const QList<Range> fields = fieldsOverlappingRange(whole);
    if (!fields.isEmpty()) {
        // Fields show grey; the text itself keeps its colours.
        manager.removeTemporaryAttribute(platform::ForegroundColorAttributeName, whole);
        for (const Range& field : fields)
            manager.addTemporaryAttribute(platform::ForegroundColorAttributeName,
                                          QColor::fromRgbF(0.5f, 0.5f, 0.5f), field);
    }
    const Range glyphs = layout.glyphRange();

    // Straight text is cut at the box; curved text may reach past it (text on the
    // outside of the circle always does). Straight lines inside the box (their used rect
    // keeps the line padding clear at both ends) need no cut, which spares a printed sheet
    // a clipping path for every label.
    const bool straight = !_isCurved && !painted && glyphs.length > 0;
    double height = 0.0;
    const QPointF origin = straight ? blockAlignedOrigin(layout, &height) : QPointF();
    const bool inside =
        straight
        && b.contains(manager.usedRectForTextContainer(layout.container()).translated(origin));
    if ((!_isCurved || painted) && !inside)
        context.painter()->setClipRect(b, Qt::IntersectClip);

    if (!shadowCovered)
        startShadow(b);
    // (The text system draws no glyph backgrounds: text has no background colour.)
    if (glyphs.length > 0) {
        if (painted) {
            // Straight outlines: curves and block alignment do not apply.
            drawFillImageForGlyphRange();
        } else if (_isCurved) {
            drawCurvedText();
            _blockAlignmentDelta = QSizeF(0.0, 0.0);
            if (_textBoxType == DeliveryAddressBox)
                _recipientTextHeight = 0.0;
        } else {
            manager.drawGlyphsForGlyphRange(glyphs, origin, *context.painter());
            _blockAlignmentDelta = QSizeF(origin.x() - b.x(), origin.y() - b.y());
            if (_textBoxType == DeliveryAddressBox)
                _recipientTextHeight = height;
        }
    }
    if (!shadowCovered)
        stopShadow();
}

void LBTextArea::drawCurvedText() const
{
    GraphicsContext& context = *GraphicsContext::current();
    QPainter& painter = *context.painter();
    const SharedLayout layout(*_contents, QSizeF(CurvedContainerSide, CurvedContainerSide));
    const LayoutManager& manager = layout.layoutManager();
    const Range glyphs = layout.glyphRange();
    const QRectF b = bounds();
    const QPointF centre = b.center();

    const double startRadius = std::min(b.width(), b.height()) / 2.0;
    // A spiral shrinks the radius by startRadius × rate × 0.9 over the whole text.
    const double step = _isSpiral && glyphs.end() > 0
                            ? startRadius / double(glyphs.end()) * _spiralRate * 0.9
                            : 0.0;
    const double usedHeight = manager.usedRectForTextContainer(layout.container()).height();
    const double startAngle = _drawsOnInsideOfCurve ? 180.0 : 360.0;
    double radius = startRadius;

    for (qsizetype g = glyphs.location; g < glyphs.end(); ++g) {
        const QRectF line = manager.lineFragmentRectForGlyphAtIndex(g);
        const QPointF location = manager.locationForGlyphAtIndex(g);
        const double x = location.x() + line.x();
        const double y = location.y() + line.y();
        // Outside the circle the radius counts negative, which also turns the glyphs
        // to face outwards and run clockwise.
        double r = usedHeight + radius - y;
        if (!_drawsOnInsideOfCurve)
            r = -r;
        radius -= step;
        if (r == 0.0 || manager.notShownAttributeForGlyphAtIndex(g))
            continue;
        const double theta =
            x / r + 2.0 * std::numbers::pi * (startAngle - double(_curveStartingAngle)) / 360.0;
        const QPointF point(centre.x() + r * std::sin(theta), centre.y() + r * std::cos(theta));

        painter.save();
        QTransform placement;
        placement.translate(point.x(), point.y());
        placement.rotateRadians(-theta);
        painter.setTransform(placement, true);
        manager.drawGlyphsForGlyphRange(Range(g, 1), QPointF(-x, -y), painter);
        painter.restore();
    }
}

void LBTextArea::drawFillImageForGlyphRange()
{
    GraphicsContext* context = GraphicsContext::current();
    if (!activePainter(context))
        return;
    // The glyph outlines of textPath(), one by one: a path of hundreds of glyphs is
    // filled many times faster a glyph at a time.
    const QRectF b = bounds();
    const std::optional<QList<QPainterPath>> glyphs = glyphOutlines(b.topLeft());
    if (!glyphs || glyphs->isEmpty())
        return;
    QRectF extent;
    for (const QPainterPath& glyph : *glyphs)
        extent |= glyph.boundingRect();

    context->saveGraphicsState();
    // White letters under the picture cast the shadow that the painted letters would not.
    if (_shadowType > 0) {
        QColor white(Qt::white);
        white.setAlphaF(float(_graphicAlpha));
        for (const QPainterPath& glyph : std::as_const(*glyphs))
            context->painter()->fillPath(glyph, white);
    }
    const ImagePtr picture = imageOfType(FillImageType);
    if (!picture && !_textGradientFill) {
        _textGradientFill = std::make_shared<LBGradientFill>();
        _textGradientFill->setGradientType(_textGradientType, _textGradientCenter,
                                           textGradientCenterSize(), _textGradientAngle);
        updateTextGradientFillColors();
    }
    fillPathsWithPainting(*glyphs, extent, [&](GraphicsContext& layer) {
        if (picture) {
            // The processed fill picture is made to be drawn the platform's plain way;
            // the stored picture itself is drawn upright while there is none.
            if (const ImagePtr fill = fillImage())
                drawImageUnflipped(layer, *fill, b);
            else
                picture->drawInRect(b, QRectF(), QPainter::CompositionMode_SourceOver, 1.0);
        } else {
            _textGradientFill->drawGradientInRect(extent);
        }
    });
    context->restoreGraphicsState();
}

void LBTextArea::fillPathsWithPainting(const QList<QPainterPath>& paths, const QRectF& extent,
                                       const std::function<void(GraphicsContext&)>& paint)
{
    // Painted once into a picture of the paths' extent on the device; the paths filled
    // into one mask over the same pixels, the picture composited into it (SourceIn) and the
    // mask drawn: the pixels of filling each path with the picture as a texture, without
    // rasterising the painting as a clip, or setting up a texture, for every path.
    QPainter& painter = *GraphicsContext::current()->painter();
    const QTransform toDevice = painter.combinedTransform();
    QRect area = toDevice.mapRect(extent).toAlignedRect();
    if (const QPaintDevice* device = painter.device())
        area &= QRect(0, 0, device->width(), device->height());
    if (area.isEmpty() || !toDevice.isInvertible())
        return;
    QImage picture(area.size(), QImage::Format_ARGB32_Premultiplied);
    QImage mask(area.size(), QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull() || mask.isNull())
        return;
    const QTransform toLayer = toDevice * QTransform::fromTranslate(-area.x(), -area.y());
    picture.fill(Qt::transparent);
    {
        QPainter layerPainter(&picture);
        layerPainter.setRenderHints(painter.renderHints());
        layerPainter.setWorldTransform(toLayer);
        GraphicsContext layer(&layerPainter, GraphicsContext::current()->isDrawingToScreen());
        const GraphicsContext::Scope scope(layer);
        paint(layer);
    }
    mask.fill(Qt::transparent);
    {
        QPainter maskPainter(&mask);
        maskPainter.setRenderHints(painter.renderHints());
        maskPainter.setWorldTransform(toLayer);
        for (const QPainterPath& path : paths)
            maskPainter.fillPath(path, Qt::black);
    }
    paintIn(mask, picture);
    // The mask's pixels are the device's: placed at the area's corner, unscaled.
    painter.save();
    painter.setWorldTransform(QTransform::fromTranslate(area.x(), area.y()) * toDevice.inverted()
                              * painter.worldTransform());
    painter.drawImage(0, 0, mask);
    painter.restore();
}

// --- The address tab and badge ---

void LBTextArea::drawTab() const
{
    GraphicsContext* context = GraphicsContext::current();
    QPainter* painter = activePainter(context);
    if (!painter || _textBoxType <= 0)
        return;
    const QRectF t = textTabBounds();
    const QRectF i = t.adjusted(6.0, 6.0, -6.0, -6.0);

    // Rounded at the top, open at the bottom where it sits on the box.
    platform::BezierPath outline;
    outline.moveTo(QPointF(t.x(), t.bottom()));
    outline.lineTo(QPointF(t.x(), t.y() + 6.0));
    outline.appendBezierPathWithArcWithCenter(i.topLeft(), 6.0, 180.0, 270.0);
    outline.lineTo(QPointF(t.right() - 6.0, t.y()));
    outline.appendBezierPathWithArcWithCenter(i.topRight(), 6.0, 270.0, 360.0);
    outline.lineTo(QPointF(t.right(), t.bottom()));
    const QPainterPath path = outline.toPainterPath();

    painter->save();
    painter->fillPath(path, _textBoxType == DeliveryAddressBox
                                ? QColor::fromRgbF(0.85f, 1.0f, 0.85f, 0.9f)
                                : QColor::fromRgbF(0.95f, 0.95f, 0.95f, 0.9f));
    painter->strokePath(path, QPen(QColor::fromRgbF(0.8f, 0.8f, 0.8f), 0.0));

    // The pop-up mark, pointing down.
    const double x0 = t.right() - 10.0;
    const double y0 = t.y() + 4.0;
    QPainterPath mark;
    mark.moveTo(x0, y0);
    mark.lineTo(x0 + 3.0, y0 + 5.0);
    mark.lineTo(x0 + 6.0, y0);
    mark.closeSubpath();
    painter->fillPath(mark, QColor::fromRgbF(1.0f / 3, 1.0f / 3, 1.0f / 3));
    painter->restore();

    tabCaption().drawAtPoint(QPointF(t.x() + 6.0, t.y()), *painter);
}

void LBTextArea::drawAddressPopup() const
{
    GraphicsContext* context = GraphicsContext::current();
    if (!activePainter(context))
        return;
    const QRectF b = bounds();
    const double zoom = _zoomFactor;

    QPainterPath badge;
    badge.moveTo(b.x(), b.y());
    badge.lineTo(b.x() + 24.0, b.y());
    badge.lineTo(b.x(), b.y() + 24.0);
    badge.closeSubpath();

    // A soft shadow below and to the right of the corner, under a grey gradient that is
    // lighter at the top.
    context->saveGraphicsState();
    context->painter()->setRenderHint(QPainter::Antialiasing, true);
    context->setShadow(
        {QSizeF(0.85 * zoom, 0.85 * zoom), 2.0 * zoom, QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.5f)});
    context->beginTransparencyLayer(badge.boundingRect());
    QLinearGradient gradient(b.topLeft(), QPointF(b.x(), b.y() + 24.0));
    gradient.setColorAt(0.0, QColor::fromRgbF(0.5f, 0.5f, 0.5f, 0.5f));
    gradient.setColorAt(1.0, QColor::fromRgbF(0.25f, 0.25f, 0.25f, 0.5f));
    context->painter()->fillPath(badge, gradient);
    context->endTransparencyLayer();
    context->restoreGraphicsState();

    QPainterPath arrow;
    arrow.moveTo(b.x() + 4.0, b.y() + 5.0);
    arrow.lineTo(b.x() + 7.5, b.y() + 10.0);
    arrow.lineTo(b.x() + 11.0, b.y() + 5.0);
    arrow.closeSubpath();
    context->saveGraphicsState();
    context->painter()->setRenderHint(QPainter::Antialiasing, true);
    context->painter()->fillPath(arrow, Qt::white);
    context->restoreGraphicsState();
}
