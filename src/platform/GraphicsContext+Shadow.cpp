// Transparency layers and the drop shadow they cast. Qt has no shadow in its painter
// state, so a shadowed drawing is made in an off-screen layer the size of what it covers;
// when the layer ends, its coverage (alpha) is blurred with three box passes each way,
// which approximate a Gaussian closely, tinted with the shadow colour, and drawn offset
// under the drawing itself.

#include "platform/GraphicsContext.h"

#include <QPaintDevice>
#include <QPainter>
#include <QtMath>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
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

// Radii of three box blurs whose succession approximates a Gaussian of deviation sigma:
// the widths are the two odd numbers around the ideal width, as many of the smaller as
// make the variances add up.
std::array<int, 3> boxRadiiForSigma(double sigma)
{
    if (!(sigma >= 0.25))
        return {0, 0, 0};
    constexpr int passes = 3;
    const double ideal = std::sqrt(12.0 * sigma * sigma / passes + 1.0);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const double idealCount = (12.0 * sigma * sigma - passes * lower * lower - 4.0 * passes * lower
                               - 3.0 * passes)
                              / (-4.0 * lower - 4.0);
    const int lowerCount = int(std::lround(idealCount));
    std::array<int, 3> radii{};
    for (int i = 0; i < passes; ++i)
        radii[i] = ((i < lowerCount ? lower : upper) - 1) / 2;
    return radii;
}

ShadowGeometry shadowGeometry(const GraphicsContext::Shadow& shadow, const QTransform& base)
{
    // The offset is given with y growing upwards; base coordinates grow downwards.
    const QPointF origin = base.map(QPointF(0.0, 0.0));
    const QPointF moved = base.map(QPointF(shadow.offset.width(), -shadow.offset.height()));
    const double scale = std::sqrt(std::abs(base.determinant()));
    ShadowGeometry geometry;
    geometry.offset = (moved - origin).toPoint();
    // The blur radius is twice the standard deviation of the softening Gaussian.
    const double sigma = std::max(0.0, shadow.blurRadius) * scale / 2.0;
    // Kept within reason: a blur far wider than any page is no different from a huge one.
    geometry.boxRadii = boxRadiiForSigma(std::min(sigma, 1024.0));
    return geometry;
}

bool castsVisibleShadow(const std::optional<GraphicsContext::Shadow>& shadow)
{
    return shadow && shadow->color.isValid() && shadow->color.alpha() > 0;
}

// The device pixels a painter can reach: its device, narrowed by its clip.
QRect visibleDeviceRect(const QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    if (!device)
        return {};
    const qreal ratio = std::max<qreal>(1.0, device->devicePixelRatio());
    QRect visible(0, 0, qCeil(device->width() * ratio), qCeil(device->height() * ratio));
    if (painter.hasClipping())
        visible &= painter.deviceTransform().mapRect(painter.clipBoundingRect()).toAlignedRect();
    return visible;
}

// One box pass along a line of n samples `stride` apart; samples beyond the ends are 0.
void boxBlurLine(const std::uint8_t* source, std::uint8_t* target, int n, int stride, int radius)
{
    const std::uint32_t width = std::uint32_t(2 * radius + 1);
    const std::uint32_t scale = (1u << 24) / width;
    std::uint32_t sum = 0;
    for (int i = 0; i < radius && i < n; ++i)
        sum += source[i * stride];
    for (int x = 0; x < n; ++x) {
        if (x + radius < n)
            sum += source[(x + radius) * stride];
        target[x * stride] = std::uint8_t((sum * scale + (1u << 23)) >> 24);
        if (x - radius >= 0)
            sum -= source[(x - radius) * stride];
    }
}

// One vertical box pass over a whole w × h plane, row by row so memory is read in order.
void boxBlurColumns(const std::uint8_t* source, std::uint8_t* target, int w, int h, int radius)
{
    const std::uint32_t width = std::uint32_t(2 * radius + 1);
    const std::uint32_t scale = (1u << 24) / width;
    std::vector<std::uint32_t> sums(std::size_t(w), 0);
    const auto add = [&](int row) {
        const std::uint8_t* line = source + std::size_t(row) * std::size_t(w);
        for (int x = 0; x < w; ++x)
            sums[std::size_t(x)] += line[x];
    };
    const auto subtract = [&](int row) {
        const std::uint8_t* line = source + std::size_t(row) * std::size_t(w);
        for (int x = 0; x < w; ++x)
            sums[std::size_t(x)] -= line[x];
    };
    for (int y = 0; y < radius && y < h; ++y)
        add(y);
    for (int y = 0; y < h; ++y) {
        if (y + radius < h)
            add(y + radius);
        std::uint8_t* out = target + std::size_t(y) * std::size_t(w);
        for (int x = 0; x < w; ++x)
            out[x] = std::uint8_t((sums[std::size_t(x)] * scale + (1u << 23)) >> 24);
        if (y - radius >= 0)
            subtract(y - radius);
    }
}

// The shadow of a premultiplied layer: its alpha, grown by `spread` pixels on every side,
// blurred, and painted in the colour (whose own alpha scales the coverage).
QImage shadowImage(const QImage& layer, const std::array<int, 3>& radii, int spread,
                   const QColor& color)
{
    const int w = layer.width() + 2 * spread;
    const int h = layer.height() + 2 * spread;
    std::vector<std::uint8_t> plane(std::size_t(w) * std::size_t(h), 0);
    std::vector<std::uint8_t> scratch(plane.size(), 0);

    for (int y = 0; y < layer.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        std::uint8_t* out = plane.data() + std::size_t(y + spread) * std::size_t(w) + spread;
        for (int x = 0; x < layer.width(); ++x)
            out[x] = std::uint8_t(qAlpha(line[x]));
    }

    // Horizontal passes touch only the rows that hold coverage; vertical passes all.
    for (int radius : radii) {
        if (radius <= 0)
            continue;
        for (int y = spread; y < spread + layer.height(); ++y) {
            const std::size_t row = std::size_t(y) * std::size_t(w);
            boxBlurLine(plane.data() + row, scratch.data() + row, w, 1, radius);
        }
        plane.swap(scratch);
    }
    for (int radius : radii) {
        if (radius <= 0)
            continue;
        boxBlurColumns(plane.data(), scratch.data(), w, h, radius);
        plane.swap(scratch);
    }

    // One premultiplied pixel per coverage value.
    std::array<QRgb, 256> tint{};
    const QRgb rgb = color.rgb();
    const int colorAlpha = color.alpha();
    for (int a = 0; a < 256; ++a)
        tint[std::size_t(a)] = qPremultiply(qRgba(qRed(rgb), qGreen(rgb), qBlue(rgb),
                                                  (a * colorAlpha + 127) / 255));

    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::uint8_t* coverage = plane.data() + std::size_t(y) * std::size_t(w);
        for (int x = 0; x < w; ++x)
            line[x] = tint[coverage[x]];
    }
    return image;
}

} // namespace

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
    const QRect visible = visibleDeviceRect(*parent);
    QRect area;
    if (!visible.isEmpty()) {
        const QRect reach =
            visible.united(visible.translated(-geometry.offset).adjusted(-spread, -spread,
                                                                           spread, spread));
        // One pixel more than the bounds for antialiased edges.
        area = bounds.isNull() ? reach
                               : device.mapRect(bounds).toAlignedRect().adjusted(-1, -1, 1, 1)
                                     & reach;
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
        layer.painter->setWorldTransform(
            device * QTransform::fromTranslate(-area.left(), -area.top()));
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
    const int spread = geometry.spread();
    const QImage shadow =
        shadowImage(*layer.image, geometry.boxRadii, spread, layer.castShadow->color);

    // Both pictures are placed pixel for pixel: draw in the device's own pixels, keeping
    // the clip, opacity and composition mode of the painter underneath.
    parent->save();
    parent->setWorldTransform(QTransform());
    parent->setWorldTransform(parent->deviceTransform().inverted());
    if (!shadow.isNull())
        parent->drawImage(layer.origin + geometry.offset - QPoint(spread, spread), shadow);
    parent->drawImage(layer.origin, *layer.image);
    parent->restore();
}

} // namespace platform
