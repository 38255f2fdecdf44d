#pragma once

// What the canvas asks of the window controller it belongs to (LBWindowController of the
// window layer implements it): the document, the zoom, the drawing modes, the window, two
// sheets it opens, and the page decorations drawn under and over the graphics. A canvas
// without a host draws nothing and ignores input. The host is not owned.

#include <QDateTime>
#include <QRectF>
#include <QString>
#include <QVariantMap>

#include <optional>

class LBDocument;
class LBTextArea;
class QObject;
class QWidget;

namespace platform {
class AttributedString;
}

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

    // --- Merge-field formats, for the titles of the merge-field menus ---
    // Until the merge subsystem answers them, a host gives empty strings and no block.
    // A date in the date format 0..28 (empty for any other index).
    virtual QString dateStringForDate(const QDateTime& date, qint64 formatIndex) const;
    // A time in the time format 0..4 (empty for any other index).
    virtual QString timeStringForDate(const QDateTime& date, qint64 formatIndex) const;
    // The name of phone format 0..13; null above.
    virtual QString phoneFormatStringAtIndex(qint64 index) const;
    // The text of a pre-formatted address block, with its merge fields, by its title in
    // the table "PreformattedAddressFields" (the "My" titles for the sender's own card);
    // std::nullopt when there is none.
    virtual std::optional<platform::AttributedString>
    preformattedAddressStringForFieldStr(const QString& fieldStr, bool isMyField);
};
