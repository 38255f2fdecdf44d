#pragma once

// What the canvas asks of the window controller it belongs to (LBWindowController of the
// window layer implements it): the document, the zoom, the drawing modes, the window, two
// sheets it opens, and the page decorations drawn under and over the graphics. A canvas
// without a host draws nothing and ignores input. The host is not owned.

#include <QRectF>
#include <QVariantMap>

class LBDocument;
class LBTextArea;
class QObject;
class QWidget;

class CanvasHost
{
public:
    virtual ~CanvasHost() = default;

    // The document shown; nullptr while there is none.
    virtual LBDocument* document() const = 0;
    // The window's zoom; 1.0 is 100 %.
    virtual double zoomFactor() const = 0;
    // Whether a curve is being drawn point by point; turning it off ends the drawing.
    virtual bool bezierMode() const = 0;
    virtual void setBezierMode(bool bezierMode) = 0;
    // Whether design mode is in text mode (clicks place the caret in text boxes).
    virtual bool textMode() const = 0;
    // Whether the document is an envelope (not a label printer's roll).
    virtual bool isEnvelope() const = 0;
    // The document window, on which sheets are shown; nullptr while there is none.
    virtual QWidget* window() const = 0;
    // Opens the background image sheet for the current page.
    virtual void backgroundImageSheetAction(QObject* sender) = 0;
    // Opens the sheet that sets up a counter field: its rollover entry in the text box.
    virtual void customizeCounterField(const QVariantMap& rolloverEntry,
                                       LBTextArea* inTextObject) = 0;

    // --- Page decorations, drawn into the current graphics context in page points ---
    // Fills the rectangle with the colour of the page's face.
    virtual void drawBackgroundColorForPage(qint64 page, const QRectF& inRect,
                                            bool usePrintSettings) = 0;
    // What lies under the graphics besides the colour: the label faces of the layout.
    virtual void drawUnderlay(const QRectF& rect, const QRectF& viewBounds,
                              bool usePrintSettings) = 0;
    // The page's background picture (or placeholder) in the bounds, clipped to the rectangle.
    virtual void drawBackgroundImageForPage(qint64 page, const QRectF& inRect,
                                            const QRectF& viewBounds) = 0;
    // What lies over the graphics: label outlines, disc shapes, postal regions.
    virtual void drawOverlay(const QRectF& rect, const QRectF& viewBounds, bool printing) = 0;
};
