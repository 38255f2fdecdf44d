#pragma once

// The current drawing context. Graphics draw "into the current context" without being
// handed a painter: whoever sets up drawing (a view's paint event, printing, an
// off-screen rendering) makes a context current for the time of the drawing, and the
// drawing code asks for GraphicsContext::current(). Contexts form a stack, so an
// off-screen rendering started in the middle of drawing a view takes over and hands the
// view's context back when it ends. Main thread only.

#include "platform/drawing/Shadow.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRectF>
#include <QSize>
#include <QTransform>
#include <QtGlobal>

#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace platform {

class GraphicsContext
{
public:
    // The painter is not owned and must outlive the context. drawingToScreen tells
    // drawing code whether the result is shown on screen (as opposed to printed,
    // exported or rendered into an image).
    explicit GraphicsContext(QPainter* painter, bool drawingToScreen = false);
    // Ends open transparency layers and restores any graphics state still saved, so the
    // painter is left as it was found.
    ~GraphicsContext();
    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;

    // The painter drawing goes to: the context's own, or while a transparency layer is
    // open, the layer's. Ask again after beginning or ending a layer.
    QPainter* painter() const;
    bool isDrawingToScreen() const { return _drawingToScreen; }
    void setDrawingToScreen(bool drawingToScreen) { _drawingToScreen = drawingToScreen; }

    // Saves the painter's state (transform, clip, pen, brush, opacity, composition mode,
    // render hints) and the shadow. restoreGraphicsState() undoes the latest save of this
    // context and does nothing when there is none, so an extra restore cannot pop state
    // that belongs to whoever set up the painter. Saves made inside a transparency layer
    // belong to it: a restore never reaches through an open layer, and ending the layer
    // restores what was left saved inside it.
    void saveGraphicsState();
    void restoreGraphicsState();
    // Saves not yet restored, open layers included.
    int savedStateDepth() const;
    // Ends every open transparency layer and restores every save, leaving the painter
    // as it was found.
    void unwind();

    // --- Base coordinates ---
    // The context's own units as the device sees them before any drawing code transforms
    // them: the painter's device transform when the context was made (a view's pixels
    // before zooming, an off-screen image's points). Shadows are measured in them, and
    // images composited unscaled are drawn in them.
    // Inside a transparency layer: the same coordinates mapped onto the layer's pixels.
    QTransform baseTransform() const { return top().baseTransform; }
    // For a painter set up (scaled, translated) before the context was made.
    void setBaseTransform(const QTransform& transform);

    // --- Shadows and transparency layers ---
    // Shadows (platform::Shadow) are measured in base coordinates: the offset with y
    // growing downwards like the page, the blur radius twice the standard deviation of
    // the Gaussian that softens the edge.
    // The shadow is part of the graphics state: saveGraphicsState() keeps it and
    // restoreGraphicsState() brings it back. Setting it shadows nothing by itself: what
    // is drawn inside a transparency layer casts it, once, as a whole.
    void setShadow(const Shadow& shadow);
    void clearShadow();
    const std::optional<Shadow>& shadow() const;

    // The device pixels the current painter can reach: its device, narrowed by the
    // bounding rectangle of its clip. Empty without a painter.
    QRect visibleDeviceRect() const;

    // Groups drawing. With a shadow set, everything drawn until endTransparencyLayer()
    // goes into an off-screen layer; ending it casts the shadow of what was drawn
    // (blurred, tinted, offset) and composites the drawing over it, both through the clip,
    // opacity and composition mode of the painter underneath. What lies outside the clip
    // still casts its shadow into it. `bounds` is the area the drawing covers, in current
    // coordinates: the layer is only that large, cut to what can be seen itself or cast a
    // shadow that can be seen, and the shadow is blurred only where it can be seen. A
    // null rectangle means anywhere visible. The shadow is cleared inside the layer and
    // back when it ends. Without a shadow (or with a transparent one) no layer is made
    // and drawing goes straight through. Every begin is matched by an end:
    //     context.saveGraphicsState();
    //     context.setShadow(shadow);
    //     context.beginTransparencyLayer(outline.boundingRect());
    //     context.painter()->fillPath(outline, colour);   // casts the shadow
    //     context.endTransparencyLayer();
    //     context.restoreGraphicsState();                 // no shadow again
    void beginTransparencyLayer(const QRectF& bounds = QRectF());
    void endTransparencyLayer();
    // The bracket above in two calls: saves the state, sets the shadow and begins a layer
    // over `bounds`; the end ends the layer and restores the state.
    void beginShadowedDrawing(const Shadow& shadow, const QRectF& bounds = QRectF());
    void endShadowedDrawing();
    int transparencyLayerDepth() const { return int(_levels.size()) - 1; }

    // The context on top of the stack, or nullptr when nothing is being drawn.
    static GraphicsContext* current();

    // Makes a context current for its lifetime.
    class Scope
    {
    public:
        explicit Scope(GraphicsContext& context);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        GraphicsContext* _context;
    };

    // Low-level stack access; prefer Scope. pop() removes the given context (the topmost
    // entry of it), so a context ended early never leaves a dangling pointer behind.
    static void push(GraphicsContext* context);
    static void pop(GraphicsContext* context);

private:
    // The context's own painter (level 0) and each open transparency layer above it.
    struct Level
    {
        QPainter* painter = nullptr;
        std::unique_ptr<QPainter> ownedPainter; // layers only
        // Layers: the drawing, in device pixels. Held by pointer: the painter keeps the
        // image's address, and levels move.
        std::unique_ptr<QImage> image;
        QPoint origin;                             // layers: top-left in the device below
        QTransform baseTransform;                  // base coordinates → this level's device
        std::optional<Shadow> shadow;              // the current shadow of this level
        QList<std::optional<Shadow>> savedShadows; // one per save
        std::optional<Shadow> castShadow;          // layers: cast when the layer ends
        bool passThrough = false;                  // a layer without shadow: no image
        bool discarded = false;                    // a layer that cannot be seen
    };

    Level& top() { return _levels.back(); }
    const Level& top() const { return _levels.back(); }

    QPainter* _painter;
    bool _drawingToScreen;
    std::vector<Level> _levels;
};

// Drawing into an image: a transparent ARGB32_Premultiplied bitmap of the given pixel
// size with a painter scaled by `scale` pixels per point, so drawing code works in points.
// The context is current from construction until image() or destruction. The image
// records its resolution (72 × scale dpi), so its size in points survives encoding.
// An empty or unallocatable size gives an inactive painter and a null image.
class OffscreenContext
{
public:
    explicit OffscreenContext(const QSize& pixels, qreal scale = 1.0);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    // The pixel size that holds `points` at `scale`, each side rounded up.
    static QSize pixelsFor(const QSizeF& points, qreal scale);

    GraphicsContext& context() { return *_context; }
    QPainter* painter() const { return _painter.get(); }
    qreal scale() const { return _scale; }
    // Whether drawing reaches the image: false for an empty size and after image().
    bool isActive() const;
    // Makes y grow upwards from the image's bottom edge, the way the platform draws into
    // pictures, so a drawing made for the flipped page is stored upside down (its first
    // row holds the bottom of the drawing), shadows included. Before any drawing.
    void drawUpwards();

    // Ends drawing (the context stops being current and may not be used again) and
    // returns the picture. Further calls return the same picture.
    QImage image();

private:
    void finish();

    qreal _scale;
    QImage _image;
    std::unique_ptr<QPainter> _painter;
    std::unique_ptr<GraphicsContext> _context;
    bool _finished = false;
};

} // namespace platform
