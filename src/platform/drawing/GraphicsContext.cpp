#include "platform/drawing/GraphicsContext.h"

#include <QList>
#include <QPainter>
#include <QtMath>

namespace platform {

namespace {

// The process-wide stack of current contexts (main thread only).
QList<GraphicsContext*>& contextStack()
{
    static QList<GraphicsContext*> stack;
    return stack;
}

} // namespace

GraphicsContext::GraphicsContext(QPainter* painter, bool drawingToScreen)
    : _painter(painter), _drawingToScreen(drawingToScreen)
{
    Level base;
    base.painter = _painter;
    if (_painter && _painter->isActive())
        base.baseTransform = _painter->deviceTransform();
    _levels.push_back(std::move(base));
}

void GraphicsContext::setBaseTransform(const QTransform& transform)
{
    _levels.front().baseTransform = transform;
}

GraphicsContext::~GraphicsContext()
{
    unwind();
    // A context destroyed while still on the stack must not stay reachable.
    pop(this);
}

void GraphicsContext::unwind()
{
    while (transparencyLayerDepth() > 0)
        endTransparencyLayer();
    while (savedStateDepth() > 0)
        restoreGraphicsState();
}

QPainter* GraphicsContext::painter() const
{
    return top().painter;
}

void GraphicsContext::saveGraphicsState()
{
    Level& level = top();
    if (!level.painter)
        return;
    level.painter->save();
    level.savedShadows.append(level.shadow);
}

void GraphicsContext::restoreGraphicsState()
{
    Level& level = top();
    if (!level.painter || level.savedShadows.isEmpty())
        return;
    level.painter->restore();
    level.shadow = level.savedShadows.takeLast();
}

int GraphicsContext::savedStateDepth() const
{
    int depth = 0;
    for (const Level& level : _levels)
        depth += int(level.savedShadows.size());
    return depth;
}

void GraphicsContext::setShadow(const Shadow& shadow)
{
    top().shadow = shadow;
}

void GraphicsContext::clearShadow()
{
    top().shadow.reset();
}

const std::optional<Shadow>& GraphicsContext::shadow() const
{
    return top().shadow;
}

GraphicsContext* GraphicsContext::current()
{
    const QList<GraphicsContext*>& stack = contextStack();
    return stack.isEmpty() ? nullptr : stack.last();
}

void GraphicsContext::push(GraphicsContext* context)
{
    if (context)
        contextStack().append(context);
}

void GraphicsContext::pop(GraphicsContext* context)
{
    QList<GraphicsContext*>& stack = contextStack();
    const qsizetype index = stack.lastIndexOf(context);
    if (index >= 0)
        stack.removeAt(index);
}

GraphicsContext::Scope::Scope(GraphicsContext& context) : _context(&context)
{
    push(_context);
}

GraphicsContext::Scope::~Scope()
{
    pop(_context);
}

// ---------------------------------------------------------------------------------------

OffscreenContext::OffscreenContext(const QSize& pixels, qreal scale)
    : _scale(scale > 0.0 ? scale : 1.0), _painter(std::make_unique<QPainter>())
{
    if (!pixels.isEmpty()) {
        _image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        if (!_image.isNull()) {
            _image.fill(Qt::transparent);
            const int dotsPerMeter = qRound(72.0 * _scale / 0.0254);
            _image.setDotsPerMeterX(dotsPerMeter);
            _image.setDotsPerMeterY(dotsPerMeter);
            if (_painter->begin(&_image))
                _painter->scale(_scale, _scale);
        }
    }
    _context = std::make_unique<GraphicsContext>(_painter.get(), false);
    GraphicsContext::push(_context.get());
}

OffscreenContext::~OffscreenContext()
{
    finish();
}

QSize OffscreenContext::pixelsFor(const QSizeF& points, qreal scale)
{
    if (!(points.width() > 0.0) || !(points.height() > 0.0) || !(scale > 0.0))
        return {};
    // A hair of tolerance so 10 points at 3× stays 30 pixels despite rounding noise;
    // sides beyond any image Qt can allocate are capped (QImage then refuses them).
    const auto side = [scale](qreal length) {
        return qCeil(qMin(length * scale - 1e-9, qreal(1 << 24)));
    };
    return {side(points.width()), side(points.height())};
}

bool OffscreenContext::isActive() const
{
    return !_finished && _painter->isActive();
}

void OffscreenContext::drawUpwards()
{
    if (!isActive())
        return;
    _painter->translate(0.0, _image.height() / _scale);
    _painter->scale(1.0, -1.0);
    // Shadows are measured in the drawing's own units, which now run upwards.
    _context->setBaseTransform(_painter->deviceTransform());
}

QImage OffscreenContext::image()
{
    finish();
    return _image;
}

void OffscreenContext::finish()
{
    if (_finished)
        return;
    _finished = true;
    GraphicsContext::pop(_context.get());
    _context->unwind();
    if (_painter->isActive())
        _painter->end();
}

} // namespace platform
