// Transparency layers and the drop shadow they cast. Qt has no shadow in its painter
// state, so a shadowed drawing is made in an off-screen layer the size of what it covers;
// when the layer ends, its coverage (alpha) is blurred with three box passes each way,
// which approximate a Gaussian closely, tinted with the shadow colour, and drawn offset
// under the drawing itself.

#include "platform/drawing/GraphicsContext.h"

#include "platform/drawing/BoxBlur.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QtMath>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace platform {

namespace {

// Where the shadow falls and how far it spreads, in the device pixels of a level.
struct ShadowGeometry
{
    QPoint offset;
    std::array<int, 3> boxRadii{};
    int spread() const { return boxRadii[0] + boxRadii[1] + boxRadii[2]; }
};

ShadowGeometry shadowGeometry(const Shadow& shadow, const QTransform& base)
{
    const QPointF origin = base.map(QPointF(0.0, 0.0));
    const QPointF moved = base.map(QPointF(shadow.offset.width(), shadow.offset.height()));
    const double scale = std::sqrt(std::abs(base.determinant()));
    ShadowGeometry geometry;
    geometry.offset = (moved - origin).toPoint();
    // The blur radius is twice the standard deviation of the softening Gaussian.
    const double sigma = std::max(0.0, shadow.blurRadius) * scale / 2.0;
    // Kept within reason: wider still, a shadow fades to nothing but costs ever more.
    geometry.boxRadii = boxblur::radiiForSigma(std::min(sigma, 256.0));
    return geometry;
}

bool castsVisibleShadow(const std::optional<Shadow>& shadow)
{
    return shadow && shadow->color.isValid() && shadow->color.alpha() > 0;
}

// The device pixels a painter can reach: its device, narrowed by its clip. A widget's
// painter draws into its window's backing store, where the widget lies at its place in the
// window: the engine's device and system clip say where, the widget's own size does not.
QRect deviceRectVisibleTo(const QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* device =
        engine && engine->paintDevice() ? engine->paintDevice() : painter.device();
    if (!device)
        return {};
    const qreal ratio = std::max<qreal>(1.0, device->devicePixelRatio());
    QRect visible(0, 0, qCeil(device->width() * ratio), qCeil(device->height() * ratio));
    if (engine && !engine->systemClip().isEmpty())
        visible &= engine->systemClip().boundingRect();
    if (painter.hasClipping())
        visible &= painter.deviceTransform().mapRect(painter.clipBoundingRect()).toAlignedRect();
    return visible;
}

// The shadow of a premultiplied layer whose top-left pixel lies at `at` on the device:
// its alpha moved by the offset, blurred, and painted in the colour (whose own alpha
// scales the coverage). Only the part within `visible` is made; the blur reads no further
// than the spread beyond it, since each pass carries a value no further than its radius.
struct CastShadow
{
    QImage image;
    QPoint topLeft; // on the device
};

CastShadow shadowImage(const QImage& layer, QPoint at, const ShadowGeometry& geometry,
                       const QColor& color, const QRect& visible)
{
    const int spread = geometry.spread();
    const QRect moved(at + geometry.offset, layer.size());
    const QRect reach = moved.adjusted(-spread, -spread, spread, spread);
    const QRect wanted = reach & visible;
    if (wanted.isEmpty())
        return {};
    const QRect plane = wanted.adjusted(-spread, -spread, spread, spread) & reach;
    const int w = plane.width();
    const int h = plane.height();
    const std::size_t stride = std::size_t(w);
    const std::size_t height = std::size_t(h);

    // The coverage goes in transposed (a row per column of the picture), so the
    // horizontal passes too run down columns, which is the fast direction.
    std::vector<std::uint8_t> transposed(stride * height, 0);
    std::vector<std::uint8_t> scratch(transposed.size(), 0);
    const QRect source = moved & plane;
    for (int y = source.top(); y <= source.bottom(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(layer.constScanLine(y - moved.top()));
        for (int x = source.left(); x <= source.right(); ++x) {
            transposed[std::size_t(x - plane.left()) * height + std::size_t(y - plane.top())] =
                std::uint8_t(line[x - moved.left()] >> 24);
        }
    }
    for (int radius : geometry.boxRadii) {
        if (radius <= 0)
            continue;
        boxblur::boxBlurColumns(transposed.data(), scratch.data(), h, w, radius);
        transposed.swap(scratch);
    }
    std::vector<std::uint8_t> coverage(transposed.size(), 0);
    for (std::size_t x = 0; x < stride; ++x) {
        const std::uint8_t* column = transposed.data() + x * height;
        for (std::size_t y = 0; y < height; ++y)
            coverage[y * stride + x] = column[y];
    }
    for (int radius : geometry.boxRadii) {
        if (radius <= 0)
            continue;
        boxblur::boxBlurColumns(coverage.data(), scratch.data(), w, h, radius);
        coverage.swap(scratch);
    }

    // One premultiplied pixel per coverage value.
    std::array<QRgb, 256> tint{};
    const QRgb rgb = color.rgb();
    const int colorAlpha = color.alpha();
    for (int a = 0; a < 256; ++a)
        tint[std::size_t(a)] =
            qPremultiply(qRgba(qRed(rgb), qGreen(rgb), qBlue(rgb), (a * colorAlpha + 127) / 255));

    CastShadow shadow{QImage(wanted.size(), QImage::Format_ARGB32_Premultiplied), wanted.topLeft()};
    if (shadow.image.isNull())
        return {};
    uchar* bits = shadow.image.bits();
    const qsizetype bytesPerLine = shadow.image.bytesPerLine();
    const int dx = wanted.left() - plane.left();
    const int dy = wanted.top() - plane.top();
    for (int y = 0; y < wanted.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(bits + y * bytesPerLine);
        const std::uint8_t* in = coverage.data() + std::size_t(y + dy) * stride + std::size_t(dx);
        for (int x = 0; x < wanted.width(); ++x)
            line[x] = tint[in[x]];
    }
    return shadow;
}

} // namespace

void GraphicsContext::beginShadowedDrawing(const Shadow& shadow, const QRectF& bounds)
{
    saveGraphicsState();
    setShadow(shadow);
    beginTransparencyLayer(bounds);
}

void GraphicsContext::endShadowedDrawing()
{
    endTransparencyLayer();
    restoreGraphicsState();
}

QRect GraphicsContext::visibleDeviceRect() const
{
    const QPainter* p = painter();
    return p ? deviceRectVisibleTo(*p) : QRect();
}

void GraphicsContext::beginTransparencyLayer(const QRectF& bounds)
{
    Level& below = top();
    Level layer;
    layer.castShadow = below.shadow;
    QPainter* parent = below.painter;

    if (!castsVisibleShadow(layer.castShadow) || !parent || !parent->isActive()) {
        // Nothing to cast: drawing goes straight to the painter underneath.
        layer.passThrough = true;
        layer.painter = parent;
        layer.baseTransform = below.baseTransform;
        _levels.push_back(std::move(layer));
        return;
    }

    const ShadowGeometry geometry = shadowGeometry(*layer.castShadow, below.baseTransform);
    const int spread = geometry.spread();
    const QTransform device = parent->deviceTransform();

    // Drawing matters where it is seen itself and where its shadow can reach the visible
    // area: the visible area, and the same moved against the offset and grown by the blur.
    const QRect visible = deviceRectVisibleTo(*parent);
    QRect area;
    if (!visible.isEmpty()) {
        const QRect reach = visible.united(
            visible.translated(-geometry.offset).adjusted(-spread, -spread, spread, spread));
        // One pixel more than the bounds for antialiased edges.
        area = bounds.isNull()
                   ? reach
                   : device.mapRect(bounds).toAlignedRect().adjusted(-1, -1, 1, 1) & reach;
    }

    if (!area.isEmpty())
        layer.image = std::make_unique<QImage>(area.size(), QImage::Format_ARGB32_Premultiplied);
    if (!layer.image || layer.image->isNull()) {
        // Nothing of it can be seen (or it cannot be had): drawn into a pixel and dropped.
        layer.discarded = true;
        layer.image = std::make_unique<QImage>(1, 1, QImage::Format_ARGB32_Premultiplied);
        area = QRect(0, 0, 1, 1);
    }
    layer.image->fill(Qt::transparent);
    layer.origin = area.topLeft();

    layer.ownedPainter = std::make_unique<QPainter>();
    layer.painter = layer.ownedPainter.get();
    if (layer.painter->begin(layer.image.get())) {
        layer.painter->setRenderHints(parent->renderHints());
        layer.painter->setPen(parent->pen());
        layer.painter->setBrush(parent->brush());
        layer.painter->setFont(parent->font());
        layer.painter->setWorldTransform(device
                                         * QTransform::fromTranslate(-area.left(), -area.top()));
    }
    layer.baseTransform =
        below.baseTransform * QTransform::fromTranslate(-area.left(), -area.top());
    _levels.push_back(std::move(layer));
}

void GraphicsContext::endTransparencyLayer()
{
    if (transparencyLayerDepth() <= 0)
        return;
    while (!top().savedShadows.isEmpty())
        restoreGraphicsState();

    Level layer = std::move(_levels.back());
    _levels.pop_back();
    if (layer.passThrough)
        return;
    if (layer.painter->isActive())
        layer.painter->end();
    QPainter* parent = top().painter;
    if (layer.discarded || !parent || !parent->isActive())
        return;

    const ShadowGeometry geometry = shadowGeometry(*layer.castShadow, top().baseTransform);
    const CastShadow shadow = shadowImage(*layer.image, layer.origin, geometry,
                                          layer.castShadow->color, deviceRectVisibleTo(*parent));

    // Both pictures are placed pixel for pixel: draw in the device's own pixels, keeping
    // the clip, opacity and composition mode of the painter underneath.
    parent->save();
    parent->setWorldTransform(QTransform());
    parent->setWorldTransform(parent->deviceTransform().inverted());
    if (!shadow.image.isNull())
        parent->drawImage(shadow.topLeft, shadow.image);
    parent->drawImage(layer.origin, *layer.image);
    parent->restore();
}

} // namespace platform
