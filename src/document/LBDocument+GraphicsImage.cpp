// The extent of a list of graphics and their picture as TIFF data, for the pasteboard and
// for the canvas's drags.

#include "document/LBDocument.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QPainter>

#include <cmath>

namespace {

QRectF unionOf(const LBDocument::Layer& graphics, QRectF (*extent)(const LBGraphic&))
{
    QRectF result;
    for (const LBGraphicPtr& graphic : graphics)
        result = result.isNull() ? extent(*graphic) : result.united(extent(*graphic));
    return result;
}

// The layers drawn into a picture of `bounds`, layer 0 first and each layer back to front.
QByteArray pictureOfLayers(const LBDocument::Page& layers, const QRectF& bounds)
{
    if (bounds.isEmpty())
        return QByteArray();
    const QSize pixels(int(std::ceil(bounds.width())), int(std::ceil(bounds.height())));
    platform::OffscreenContext offscreen(pixels);
    if (!offscreen.isActive())
        return QByteArray();
    platform::GraphicsContext& context = offscreen.context();
    offscreen.painter()->translate(-bounds.topLeft());
    for (const LBDocument::Layer& layer : layers) {
        for (qsizetype i = layer.size() - 1; i >= 0; --i) {
            LBGraphic& graphic = *layer.at(i);
            context.saveGraphicsState();
            context.painter()->setClipRect(graphic.shadowDrawingBoundsWithHandles(false),
                                           Qt::IntersectClip);
            graphic.drawInView(nullptr, false);
            context.restoreGraphicsState();
        }
    }
    const QImage image = offscreen.image();
    if (image.isNull())
        return QByteArray();
    return platform::Image::fromBitmap(image, bounds.size())->TIFFRepresentationUsingLZW();
}

} // namespace

QRectF LBDocument::boundsForGraphics(const Layer& graphics)
{
    return unionOf(graphics, [](const LBGraphic& g) { return g.rotatedBounds(); });
}

QRectF LBDocument::shadowBoundsForGraphics(const Layer& graphics)
{
    return unionOf(graphics,
                   [](const LBGraphic& g) { return g.shadowDrawingBoundsWithHandles(true); });
}

QRectF LBDocument::drawingBoundsForGraphics(const Layer& graphics)
{
    return unionOf(graphics, [](const LBGraphic& g) { return g.drawingBounds(); });
}

QByteArray LBDocument::TIFFRepresentationForGraphics(const Layer& graphics)
{
    return pictureOfLayers(Page{graphics}, drawingBoundsForGraphics(graphics));
}

QByteArray LBDocument::TIFFRepresentationForGraphics(const Page& layers)
{
    QRectF bounds;
    for (const Layer& layer : layers) {
        const QRectF b = drawingBoundsForGraphics(layer);
        if (!b.isNull())
            bounds = bounds.isNull() ? b : bounds.united(b);
    }
    return pictureOfLayers(layers, bounds);
}

QByteArray LBDocument::TIFFRepresentationForGraphics(const Pages& pages)
{
    return pages.isEmpty() ? QByteArray() : TIFFRepresentationForGraphics(pages.first());
}
