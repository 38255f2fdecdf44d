// Drawing the canvas: the page background with its shadow, the decorations, the grid, the
// graphics back to front, the rubber band, the alignment guides, the page outline and the
// handles last; the grid and the guides as free functions the sheet renderer shares.

#include "canvas/LBGraphicView.h"

#include "document/LayerWalk.h"
#include "graphics/LBProcessState.h"
#include "platform/drawing/GraphicsContext.h"
#include "shapes/LBCurvedLine.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {

// The page's shadow: straight down, soft.
platform::Shadow pageShadow()
{
    platform::Shadow shadow;
    shadow.offset = QSizeF(-0.0000053, 4.0);
    shadow.blurRadius = 8.0;
    shadow.color = QColor::fromRgbF(0.2f, 0.2f, 0.2f, 0.6f);
    return shadow;
}

// How far beyond the page its shadow reaches, in pixels: the offset and the blur's spread.
constexpr double kPageShadowReach = 24.0;

// The colour selection frames are drawn in.
QColor knobColor()
{
    return QColor::fromRgbF(0.45f, 0.45f, 0.45f);
}

// A frame of the given width inside the rectangle.
void frameRect(QPainter& painter, const QRectF& r, double width, const QColor& color)
{
    painter.fillRect(QRectF(r.left(), r.top(), r.width(), width), color);
    painter.fillRect(QRectF(r.left(), r.bottom() - width, r.width(), width), color);
    painter.fillRect(QRectF(r.left(), r.top() + width, width, r.height() - 2 * width), color);
    painter.fillRect(QRectF(r.right() - width, r.top() + width, width, r.height() - 2 * width),
                     color);
}

// Grid lines of one kind: every `step` points from the origin within the rectangle.
void addGridLines(QPainterPath& path, const QRectF& rect, double step, const QPointF& origin,
                  double offset)
{
    if (step <= 0.0)
        return;
    const qint64 firstX = qint64(std::ceil((rect.left() - origin.x()) / step));
    const qint64 lastX = qint64(std::floor((rect.right() - origin.x()) / step));
    for (qint64 k = firstX; k <= lastX; ++k) {
        const double x = double(k) * step + origin.x() + offset;
        path.moveTo(x, rect.top() + offset);
        path.lineTo(x, rect.bottom() + offset);
    }
    const qint64 firstY = qint64(std::ceil((rect.top() - origin.y()) / step));
    const qint64 lastY = qint64(std::floor((rect.bottom() - origin.y()) / step));
    for (qint64 k = firstY; k <= lastY; ++k) {
        const double y = double(k) * step + origin.y() + offset;
        path.moveTo(rect.left() + offset, y);
        path.lineTo(rect.right() + offset, y);
    }
}

} // namespace

QRectF rectFromPoints(const QPointF& a, const QPointF& b)
{
    return {std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::abs(b.x() - a.x()),
            std::abs(b.y() - a.y())};
}

void LBDrawGrid(qint64 guideSpacing, const QColor& color, bool forOutput, const QRectF& rect,
                double spacing, const QPointF& origin, double zoomFactor)
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    QPainter* painter = context ? context->painter() : nullptr;
    if (!painter || !painter->isActive() || rect.isEmpty())
        return;
    const double offset = zoomFactor == 1.0 ? 0.5 : 0.0;

    QPainterPath minor;
    addGridLines(minor, rect, spacing, origin, offset);
    QColor minorColor = color;
    if (!forOutput)
        minorColor.setAlphaF(0.5f);
    painter->strokePath(minor, QPen(minorColor, forOutput ? 0.3 : 0.0));

    QPainterPath major;
    addGridLines(major, rect, double(guideSpacing) * spacing, origin, offset);
    QColor majorColor = color;
    majorColor.setAlphaF(1.0f);
    painter->strokePath(major, QPen(majorColor, forOutput ? 0.6 : 0.0));
}

void LBDrawDynamicGuides(const QList<QRectF>& horizontalGuides, const QList<QRectF>& verticalGuides)
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    QPainter* painter = context ? context->painter() : nullptr;
    if (!painter || !painter->isActive())
        return;
    const QPen pen(Qt::blue, 0.0);
    for (const QRectF& r : horizontalGuides) {
        QPainterPath path(QPointF(r.x(), r.y() + 0.5));
        path.lineTo(r.x() + r.width(), r.y() + 0.5);
        painter->strokePath(path, pen);
    }
    for (const QRectF& r : verticalGuides) {
        QPainterPath path(QPointF(r.x() + 0.5, r.y()));
        path.lineTo(r.x() + 0.5, r.y() + r.height());
        painter->strokePath(path, pen);
    }
}

void LBGraphicView::paintEvent(QPaintEvent* event)
{
    // Whatever changed the picture may have moved a cursor zone.
    invalidateCursorRects();
    if (!_windowController)
        return;
    QPainter painter(this);
    // The context's base units are the widget's pixels, in which the page shadow is
    // measured; the drawing itself is in points.
    platform::GraphicsContext context(&painter, true);
    platform::GraphicsContext::Scope scope(context);
    const double z = zoomFactor();
    painter.scale(z, z);
    const QRectF pixels = event->rect();
    drawRect(QRectF(pixels.x() / z, pixels.y() / z, pixels.width() / z, pixels.height() / z));
}

void LBGraphicView::startShadow()
{
    if (platform::GraphicsContext* context = platform::GraphicsContext::current())
        context->beginShadowedDrawing(pageShadow(), _visiblePageRect);
}

void LBGraphicView::stopShadow()
{
    if (platform::GraphicsContext* context = platform::GraphicsContext::current())
        context->endShadowedDrawing();
}

void LBGraphicView::drawPageBackground(const QRectF& dirtyRect)
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    const QRectF page = _visiblePageRect;
    // The page covers its own shadow, which shows only in a band around it: the shadow is
    // cast there alone, edge by edge, each edge's drawing made only as large as the part of
    // the band to redraw needs; the page itself is then drawn plainly.
    const double reach = kPageShadowReach / zoomFactor();
    const QRectF bands[4] = {
        QRectF(page.left() - reach, page.top() - reach, page.width() + 2.0 * reach, reach),
        QRectF(page.left() - reach, page.bottom(), page.width() + 2.0 * reach, reach),
        QRectF(page.left() - reach, page.top(), reach, page.height()),
        QRectF(page.right(), page.top(), reach, page.height()),
    };
    for (const QRectF& band : bands) {
        const QRectF shown = band.intersected(dirtyRect);
        if (shown.isEmpty())
            continue;
        context->saveGraphicsState();
        context->painter()->setClipRect(shown, Qt::IntersectClip);
        startShadow();
        _windowController->drawBackgroundColorForPage(_pageIndex, page, false);
        stopShadow();
        context->restoreGraphicsState();
    }
    _windowController->drawBackgroundColorForPage(_pageIndex, page, false);
}

void LBGraphicView::drawDocumentOutline(const QRectF& pageRect)
{
    if (!_drawOutline)
        return;
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    QPainter* painter = context ? context->painter() : nullptr;
    if (!painter)
        return;
    const double grow = 1.0 / zoomFactor();
    QColor black(Qt::black);
    black.setAlphaF(0.4f);
    painter->save();
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(black, 0.0));
    painter->drawRect(pageRect.adjusted(-grow, -grow, grow, grow));
    painter->restore();
}

void LBGraphicView::drawRect(const QRectF& dirtyRect)
{
    LBDocument* doc = document();
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!_windowController || !context || !context->painter())
        return;
    if (doc && LBProcessState::isPrinting())
        return;
    QPainter& painter = *context->painter();
    const QRectF page = _visiblePageRect;
    const QRectF dirtyPage = dirtyRect.intersected(page);
    const double z = zoomFactor();

    // 2-4: the page's colour under its shadow, what lies under the graphics, the picture.
    if (_drawBackground)
        drawPageBackground(dirtyRect);
    _windowController->drawUnderlay(dirtyPage, page, false);
    if (_drawBackground && doc
        && ((doc->hasBackgroundPlaceholder(_pageIndex)
             && doc->drawBackgroundPlaceholder(_pageIndex))
            || (doc->backgroundImage(_pageIndex) && doc->drawBackgroundImage(_pageIndex))))
        _windowController->drawBackgroundImageForPage(_pageIndex, dirtyPage, page);

    context->saveGraphicsState();
    if (_trimToPage)
        painter.setClipRect(page, Qt::IntersectClip);

    // 6: the grid below.
    if (_drawBackground && showsGrid() == 2)
        LBDrawGrid(guideSpacing(), gridColor(), false, dirtyPage, gridSpacing(), page.topLeft(), z);

    // 7: the graphics, layer 0 first, each layer back to front.
    QList<LBGraphic*> withHandles;
    if (LBDocument::Page* layers = graphics()) {
        const double margin = 8.0 / z;
        LBWalkLayersForDrawing(
            *layers, [doc](qint64 l) { return doc->layerAtIndexIsVisible(l); },
            [&](const LBGraphicPtr& g) {
                LBGraphic* graphic = g.get();
                const QRectF extent = graphic->shadowDrawingBoundsWithHandles(false).adjusted(
                    -margin, -margin, margin, margin);
                if (!extent.intersects(dirtyRect))
                    return;
                bool selected = false;
                if (!_gvFlags.knobsHidden && graphic != _editingGraphic) {
                    selected = graphicIsSelected(graphic);
                    // The rubber band shows its catch as it will end.
                    if (_rubberbandGraphics && selected == bool(_gvFlags.rubberbandIsDeselecting)
                        && std::any_of(
                            _rubberbandGraphics->cbegin(), _rubberbandGraphics->cend(),
                            [graphic](const LBGraphicPtr& r) { return r.get() == graphic; }))
                        selected = !selected;
                }
                context->saveGraphicsState();
                graphic->drawInView(this, selected);
                context->restoreGraphicsState();
                if (selected && (!graphic->isGrouped() || graphic->groupedChildrenCount() > 0))
                    withHandles.append(graphic);
            });
    }

    // 8: the rubber band.
    if (_rubberbandRect != QRectF())
        frameRect(painter, _rubberbandRect, 1.0, knobColor());
    // 9-12: the grid above, the guides, the page outline, what lies over the graphics.
    if (showsGrid() == 1)
        LBDrawGrid(guideSpacing(), gridColor(), false, dirtyPage, gridSpacing(), page.topLeft(), z);
    LBDrawDynamicGuides(_horizontalDynamicGuides, _verticalDynamicGuides);
    drawDocumentOutline(page);
    _windowController->drawOverlay(dirtyPage, page, false);

    // 13-14: handles, the last added first; the points of a curve being drawn.
    if (withHandles.isEmpty() && _dragImageTarget)
        _dragImageTarget->drawHandlesInView(this, dirtyRect);
    for (qsizetype i = withHandles.size() - 1; i >= 0; --i)
        withHandles.at(i)->drawHandlesInView(this, dirtyRect);
    if (_editingBezierGraphic)
        _editingBezierGraphic->drawControlAndModifierPointsInView(this);
    context->restoreGraphicsState();
}
