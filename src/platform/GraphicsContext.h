#pragma once

// The current drawing context. Graphics draw "into the current context" without being
// handed a painter: whoever sets up drawing (a view's paint event, printing, an
// off-screen rendering) makes a context current for the time of the drawing, and the
// drawing code asks for GraphicsContext::current(). Contexts form a stack, so an
// off-screen rendering started in the middle of drawing a view takes over and hands the
// view's context back when it ends. Main thread only.

#include <QImage>
#include <QSize>
#include <QtGlobal>

#include <memory>

class QPainter;

namespace platform {

class GraphicsContext
{
public:
    // The painter is not owned and must outlive the context. drawingToScreen tells
    // drawing code whether the result is shown on screen (as opposed to printed,
    // exported or rendered into an image).
    explicit GraphicsContext(QPainter* painter, bool drawingToScreen = false);
    // Restores any graphics state still saved, so the painter is left as it was found.
    ~GraphicsContext();
    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;

    QPainter* painter() const { return _painter; }
    bool isDrawingToScreen() const { return _drawingToScreen; }
    void setDrawingToScreen(bool drawingToScreen) { _drawingToScreen = drawingToScreen; }

    // Saves the painter's state (transform, clip, pen, brush, opacity, composition mode,
    // render hints). restoreGraphicsState() undoes the latest save of this context and
    // does nothing when there is none, so an extra restore cannot pop state that belongs
    // to whoever set up the painter.
    void saveGraphicsState();
    void restoreGraphicsState();
    int savedStateDepth() const { return _savedStates; }

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
    QPainter* _painter;
    bool _drawingToScreen;
    int _savedStates = 0;
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
