// Drawing a text box: the outline and tab, straight text with block alignment, curved and
// spiral text, glyph outlines filled with the fill image or the text gradient, and the
// live-address badge.

#include "graphics/LBTextArea.h"

#include "graphics/LBGradientFill.h"
#include "platform/GraphicsContext.h"
#include "platform/Image.h"
#include "platform/LayoutManager.h"
#include "platform/TextContainer.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

#include <cmath>
#include <numbers>

using platform::GraphicsContext;
using platform::LayoutManager;
using platform::Range;

namespace {

// Curved text lays each paragraph out on one line.
constexpr double CurvedContainerSide = 10000000.0;

const QColor& knobColor()
{
    static const QColor color = QColor::fromRgbF(0.23f, 0.45f, 0.85f);
    return color;
}

bool isObliqueAngle(double degrees)
{
    for (double right : {0.0, 90.0, 180.0, 270.0, -90.0, -180.0, -270.0})
        if (degrees == right)
            return false;
    return true;
}

void strokeHairline(QPainter& painter, const QRectF& rect, const QColor& color,
                    const QList<qreal>& dash = {})
{
    QPen pen(color, 0.0);
    if (!dash.isEmpty())
        pen.setDashPattern(dash);
    painter.save();
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect);
    painter.restore();
}

} // namespace

void LBTextArea::drawInView(LBGraphicView* view, bool isSelected)
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context || !context->painter() || hidden())
        return;
    QPainter& painter = *context->painter();

    drawGraphicInView(view, isSelected);

    const QRectF b = bounds();
    const double rotation = _rotationDegrees + _groupRotationDegrees;
    const bool oblique = isObliqueAngle(rotation);
    const bool beingEdited = view && _editor;

    context->saveGraphicsState();
    if (beingEdited && (oblique || _isCurved)) {
        // The editor shows the text unrotated; the frame marks the box it edits.
        strokeHairline(painter, b.adjusted(-0.5, -0.5, 0.5, 0.5), knobColor());
    }
    if (_flippedHorizontally || _flippedVertically || rotation != 0.0)
        painter.setTransform(drawingTransform(b, _flippedVertically, _flippedHorizontally, rotation),
                             true);

    if (beingEdited) {
        if (!oblique && !_isCurved)
            strokeHairline(painter, b, knobColor());
    } else {
        drawTextContent(view, isSelected);
    }

    context->restoreGraphicsState();
    if (_drawAddressPopup && _textBoxType != 0 && context->isDrawingToScreen())
        drawAddressPopup();
}

void LBTextArea::drawTextContent(LBGraphicView* view, bool isSelected)
{
    QPainter& painter = *GraphicsContext::current()->painter();
    const QRectF b = bounds();

    // The outline and tab of a selected box, where the user can see and edit them.
    if (view || !_textIsLocked || _drawAddressPopup || _forceDrawTextOutline) {
        if (isSelected && !drawsStroke())
            strokeHairline(painter, b, QColor::fromRgbF(0.8f, 0.8f, 0.8f, 0.7f),
                           _textBoxType == OrdinaryTextBox ? QList<qreal>{2, 2} : QList<qreal>{});
        if (isSelected && _textBoxType != 0 && GraphicsContext::current()->isDrawingToScreen())
            drawTab();
    }

    if (!hasText())
        return;
    // A filled box already casts the shadow; its text must not cast another.
    const bool shadowCovered = fillType() == 1 || (fillType() != 0 && _shadowType == 1);

    if (isShapeWithText()) {
        // The glyph outlines laid along the shape's outline.
        const std::optional<platform::BezierPath> path = bezierPath();
        if (!path)
            return;
        const QVariant first = _contents->attributedString().attribute(
            platform::ForegroundColorAttributeName, 0);
        const QColor color = first.typeId() == QMetaType::QColor && first.value<QColor>().isValid()
                                 ? first.value<QColor>()
                                 : QColor(Qt::black);
        if (!shadowCovered)
            beginTextShadow();
        painter.fillPath(path->toPainterPath(), color);
        if (!shadowCovered)
            endTextShadow();
        return;
    }

    const SharedLayout layout(*_contents, QSizeF(b.width(), b.height() + 1000.0));
    painter.setClipRect(b, Qt::IntersectClip);
    LayoutManager& manager = layout.layoutManager();
    const Range whole(0, _contents->length());
    const QList<Range> fields = fieldsOverlappingRange(whole);
    if (!fields.isEmpty()) {
        // Fields show grey; the text itself keeps its colours.
        manager.removeTemporaryAttribute(platform::ForegroundColorAttributeName, whole);
        for (const Range& field : fields)
            manager.addTemporaryAttribute(platform::ForegroundColorAttributeName,
                                          QColor(Qt::gray), field);
    }
    const Range glyphs = layout.glyphRange();

    if (!shadowCovered)
        beginTextShadow();
    if (glyphs.length > 0) {
        if (imageOfType(FillImageType) || _textGradientType != 0) {
            drawFillImageForGlyphRange();
        } else if (_isCurved) {
            drawCurvedText();
            _blockAlignmentDelta = QSizeF(0.0, 0.0);
            if (_textBoxType == DeliveryAddressBox)
                _recipientTextHeight = 0.0;
        } else {
            double height = 0.0;
            const QPointF origin = blockAlignedOrigin(layout, &height);
            manager.drawGlyphsForGlyphRange(glyphs, origin, painter);
            _blockAlignmentDelta = QSizeF(origin.x() - b.x(), origin.y() - b.y());
            if (_textBoxType == DeliveryAddressBox)
                _recipientTextHeight = height;
        }
    }
    if (!shadowCovered)
        endTextShadow();
}

void LBTextArea::drawCurvedText() const
{
    QPainter& painter = *GraphicsContext::current()->painter();
    const SharedLayout layout(*_contents, QSizeF(CurvedContainerSide, CurvedContainerSide));
    const LayoutManager& manager = layout.layoutManager();
    const Range glyphs = layout.glyphRange();
    const QRectF b = bounds();
    const QPointF centre = b.center();

    const double startRadius = std::min(b.width(), b.height()) / 2.0;
    // A spiral shrinks the radius by startRadius × rate × 0.9 over the whole text.
    const double step =
        _isSpiral && glyphs.end() > 0 ? startRadius / double(glyphs.end()) * _spiralRate * 0.9 : 0.0;
    const double usedHeight = manager.usedRectForTextContainer(layout.container()).height();
    const double startAngle = _drawsOnInsideOfCurve ? 180.0 : 360.0;
    double radius = startRadius;

    for (qsizetype g = glyphs.location; g < glyphs.end(); ++g) {
        const QRectF line = manager.lineFragmentRectForGlyphAtIndex(g);
        const QPointF location = manager.locationForGlyphAtIndex(g);
        const double x = location.x() + line.x();
        const double y = location.y() + line.y();
        double r = usedHeight + radius - y;
        if (!_drawsOnInsideOfCurve)
            r = -r;
        radius -= step;
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
    if (!context || !context->painter())
        return;
    const std::optional<platform::BezierPath> glyphs = textPath();
    if (!glyphs)
        return;
    QPainter& painter = *context->painter();
    const QRectF b = bounds();
    const QPainterPath path = glyphs->toPainterPath().translated(b.topLeft());

    context->saveGraphicsState();
    // White letters under the picture cast the shadow the picture itself would not.
    if (_shadowType > 0) {
        QColor white(Qt::white);
        white.setAlphaF(float(_graphicAlpha));
        painter.fillPath(path, white);
    }
    painter.setClipPath(path, Qt::IntersectClip);
    if (const ImagePtr image = imageOfType(FillImageType)) {
        image->drawInRect(b, QRectF(), QPainter::CompositionMode_SourceOver, 1.0);
    } else {
        if (!_textGradientFill) {
            _textGradientFill = std::make_shared<LBGradientFill>();
            _textGradientFill->setGradientType(_textGradientType, _textGradientCenter,
                                               textGradientCenterSize(), _textGradientAngle);
            updateTextGradientFillColors();
        }
        _textGradientFill->drawGradientInRect(path.boundingRect());
    }
    context->restoreGraphicsState();
}

// --- The address tab and badge ---

void LBTextArea::drawTab() const
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context || !context->painter() || _textBoxType <= 0)
        return;
    QPainter& painter = *context->painter();
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

    painter.save();
    painter.fillPath(path, _textBoxType == DeliveryAddressBox
                               ? QColor::fromRgbF(0.85f, 1.0f, 0.85f, 0.9f)
                               : QColor::fromRgbF(0.95f, 0.95f, 0.95f, 0.9f));
    painter.strokePath(path, QPen(QColor::fromRgbF(0.8f, 0.8f, 0.8f), 0.0));

    // The pop-up mark, pointing down.
    const QColor darkGray = QColor::fromRgbF(1.0f / 3, 1.0f / 3, 1.0f / 3);
    const double x0 = t.right() - 10.0;
    const double y0 = t.y() + 4.0;
    QPainterPath mark;
    mark.moveTo(x0, y0);
    mark.lineTo(x0 + 3.0, y0 + 5.0);
    mark.lineTo(x0 + 6.0, y0);
    mark.closeSubpath();
    painter.fillPath(mark, darkGray);
    painter.restore();

    tabCaption().drawAtPoint(QPointF(t.x() + 6.0, t.y()), painter);
}

void LBTextArea::drawAddressPopup() const
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context || !context->painter())
        return;
    QPainter& painter = *context->painter();
    const QRectF b = bounds();
    const double zoom = _zoomFactor;

    QPainterPath badge;
    badge.moveTo(b.x(), b.y());
    badge.lineTo(b.x() + 24.0, b.y());
    badge.lineTo(b.x(), b.y() + 24.0);
    badge.closeSubpath();

    painter.save();
    // A soft shadow below and to the right, then the grey gradient, light at the top.
    drawBadgeShadow(painter, badge, QPointF(0.85 * zoom, 0.85 * zoom), 2.0 * zoom);
    QLinearGradient gradient(QPointF(b.x(), b.y()), QPointF(b.x(), b.y() + 24.0));
    gradient.setColorAt(0.0, QColor::fromRgbF(0.5f, 0.5f, 0.5f, 0.5f));
    gradient.setColorAt(1.0, QColor::fromRgbF(0.25f, 0.25f, 0.25f, 0.5f));
    painter.fillPath(badge, gradient);
    painter.restore();

    QPainterPath arrow;
    arrow.moveTo(b.x() + 4.0, b.y() + 5.0);
    arrow.lineTo(b.x() + 7.5, b.y() + 10.0);
    arrow.lineTo(b.x() + 11.0, b.y() + 5.0);
    arrow.closeSubpath();
    painter.fillPath(arrow, Qt::white);
}

// --- Drawing steps shared with every graphic ---

void LBTextArea::drawGraphicInView(LBGraphicView*, bool)
{
}

QTransform LBTextArea::drawingTransform(const QRectF& b, bool vFlip, bool hFlip, double rotation)
{
    const QPointF c = b.center();
    QTransform transform;
    if (rotation != 0.0) {
        const double sign = vFlip != hFlip ? -1.0 : 1.0;
        transform.translate(c.x(), c.y());
        transform.rotate(rotation * sign);
        transform.translate(-c.x(), -c.y());
    }
    if (hFlip)
        transform *= QTransform(-1, 0, 0, 1, 2 * c.x(), 0);
    if (vFlip)
        transform *= QTransform(1, 0, 0, -1, 0, 2 * c.y());
    return transform;
}

void LBTextArea::beginTextShadow()
{
    GraphicsContext::current()->saveGraphicsState();
}

void LBTextArea::endTextShadow()
{
    GraphicsContext::current()->restoreGraphicsState();
}

void LBTextArea::drawBadgeShadow(QPainter& painter, const QPainterPath& path, const QPointF& offset,
                                 double blurRadius)
{
    (void)blurRadius;
    painter.fillPath(path.translated(offset), QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.5f));
}
