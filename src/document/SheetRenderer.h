#pragma once

// The sheet renderer as the document sees it: what printing a document and drawing one
// of its pages ask of it. The merge layer's renderer implements it and installs the
// factory the document makes it with; without one (a program or test without that layer)
// the document prints nothing and draws its pages itself.
//
// Calling order: make, setContactServer(), updateLabelSettings(), then the settings, then
// draw (drawRect() into the current graphics context, or print through the pagination
// hooks of platform::PrintableView). A renderer given a printing document tells it
// printingComplete() when it goes, whatever ended the job.

#include "document/LBDocument.h"
#include "platform/ui/PrintOperation.h"

#include <QRectF>

#include <functional>
#include <memory>

class DocumentWindowController;

class SheetRenderer : public platform::PrintableView
{
public:
    // A renderer of the frame (its bounds, in points) over the pages of graphics.
    using Factory = std::function<std::unique_ptr<SheetRenderer>(const QRectF& frame,
                                                                 const LBDocument::Pages&)>;
    static void setFactory(Factory factory);
    static bool hasFactory();
    // nullptr without a factory.
    static std::unique_ptr<SheetRenderer> make(const QRectF& frame, const LBDocument::Pages& pages);

    ~SheetRenderer() override = default;

    // The window controller answering record, field and decoration requests (not owned).
    virtual void setContactServer(DocumentWindowController* server) = 0;
    // Reads the layout of the contact server's document.
    virtual void updateLabelSettings() = 0;
    // Set while printing: the renderer then draws for output and tells the document when
    // it goes (not owned).
    virtual void setPrintingDocument(LBDocument* document) = 0;
    virtual void setPostnetBarcodeLocation(qint64 location) = 0;
    virtual void setFIMType(qint64 type) = 0;
    virtual void setDrawAuxiliaryInfo(qint64 bits) = 0;
    virtual void setDrawLabelOutlines(bool draw) = 0;
    // Both margins 0: the first cell at the frame's origin (one label).
    virtual void setZeroMargins() = 0;
    // The 0-based sheet to draw; -1 draws nothing.
    virtual void setPageNum(qint64 page) = 0;
    // The sheet is drawn turned a quarter; the frame's sides swap.
    virtual void rotateView() = 0;
    // Prepares what printed sheets draw beyond the screen's (print-resolution pictures,
    // per-record barcodes).
    virtual void preloadHiResImages() = 0;
    virtual qint64 numberOfPages() = 0;
    virtual QRectF bounds() const = 0;
    // Draws the dirty part of the current sheet into the current graphics context.
    virtual void drawRect(const QRectF& dirtyRect) = 0;
};
