#pragma once

// A window controller for a canvas without a window: the document's redraw requests go to
// the canvas, the modes are plain flags, and each page decoration fills its rectangle with
// a colour of its own (none for an invalid colour), so a drawing shows where each went.
// Shared by the canvas's tests and benchmarks.

#include "canvas/CanvasHost.h"
#include "canvas/LBGraphicView.h"
#include "document/DocumentWindowController.h"
#include "platform/drawing/GraphicsContext.h"

#include <QColor>
#include <QPainter>

class CanvasHostStub : public DocumentWindowController, public CanvasHost
{
public:
    // DocumentWindowController: redraws go to the canvas.
    void invalidateGraphic(LBGraphic* graphic) override
    {
        if (canvas)
            canvas->invalidateGraphic(graphic);
    }
    void setupForDocument() override {}
    void refreshWindow() override {}
    double zoomFactor() const override { return zoom; }
    bool bezierMode() const override { return bezier; }
    void setBezierMode(bool on) override { bezier = on; }
    qint64 mode() const override { return DesignMode; }
    void shouldAddQuarnLabelControls(bool) override {}

    // CanvasHost
    LBDocument* document() const override { return doc; }
    bool textMode() const override { return text; }
    bool isEnvelope() const override { return false; }
    QWidget* window() const override { return nullptr; }
    void backgroundImageSheetAction(QObject*) override { ++backgroundSheets; }
    void customizeCounterField(const QVariantMap&, LBTextArea*) override {}
    void drawBackgroundColorForPage(qint64, const QRectF& inRect, bool) override
    {
        fill(inRect, backgroundColor);
    }
    void drawUnderlay(const QRectF& rect, const QRectF&, bool) override
    {
        fill(rect, underlayColor);
    }
    void drawBackgroundImageForPage(qint64, const QRectF& inRect, const QRectF&) override
    {
        fill(inRect, pictureColor);
    }
    void drawOverlay(const QRectF& rect, const QRectF&, bool) override { fill(rect, overlayColor); }

    LBDocument* doc = nullptr;
    LBGraphicView* canvas = nullptr;
    double zoom = 1.0;
    bool bezier = false;
    bool text = false;
    int backgroundSheets = 0;
    QColor backgroundColor;
    QColor underlayColor;
    QColor pictureColor;
    QColor overlayColor;

private:
    static void fill(const QRectF& rect, const QColor& color)
    {
        platform::GraphicsContext* context = platform::GraphicsContext::current();
        if (color.isValid() && context)
            context->painter()->fillRect(rect, color);
    }
};
