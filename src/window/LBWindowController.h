#pragma once

// The controller of a document's window. This is its seed: it keeps the state the
// document and the canvas read (zoom, point-by-point curve drawing, the mode, the selected
// canvas) and, having no window or views of its own yet, has nothing to redraw or rebuild
// but the selected canvas. The window, its two modes, zoom, drawers, menus and page set-up
// grow on it in files of their own (LBWindowController+PageSetup.cpp, ...).

#include "canvas/CanvasHost.h"
#include "document/DocumentWindowController.h"

#include <QSizeF>
#include <QString>
#include <QVariantMap>

class LBDocument;
class LBGraphicView;

class LBWindowController : public DocumentWindowController, public CanvasHost
{
    Q_OBJECT
public:
    explicit LBWindowController(QObject* parent = nullptr);
    ~LBWindowController() override;

    // In design mode the selected canvas redraws the graphic, unless drawing goes
    // elsewhere than the screen (an image, a print); otherwise nothing is shown to redraw.
    void invalidateGraphic(LBGraphic* graphic) override;
    // Nothing is rebuilt yet.
    void setupForDocument() override;
    void refreshWindow() override;

    // 1.0 (100 %) until the window zooms.
    double zoomFactor() const override { return _zoomFactor; }
    // The slider's value is stored, and with no views there is nothing to zoom yet.
    double zoomSliderValue() const override { return _zoomSliderValue; }
    void setZoomSliderValue(double value) override { _zoomSliderValue = value; }
    // The state kept is the slider's value; the views add theirs.
    void saveState() override { _savedZoomSliderValue = _zoomSliderValue; }
    void restoreState() override { _zoomSliderValue = _savedZoomSliderValue; }

    bool bezierMode() const override { return _bezierMode; }
    // Turning it off ends the selected canvas's curve drawing.
    void setBezierMode(bool bezierMode) override;
    // Preview mode until the window switches to design mode.
    qint64 mode() const override { return _mode; }
    // Switches the window to design mode unless it is there.
    virtual void switchToDesignMode(QObject* sender);

    void shouldAddQuarnLabelControls(bool add) override { _addQuarnLabelControls = add; }
    bool addsQuarnLabelControls() const { return _addQuarnLabelControls; }

    // ==== Page set-up and paper sizes (LBWindowController+PageSetup.cpp) ================
    // The size in points of a paper named as the print settings and the catalogue name
    // papers ("Letter", "A4", ...), or of a name "<width>x<height><unit>" with the unit
    // "cm", "mm" or "in" ("210x297mm"); (0, 0) for any other name.
    static QSizeF pixelDimensionsForPaperName(const QString& name);
    // The sheet size in points of a layout: its page size, else the size of its paper's
    // name, else its label size (a label printer's roll). Lengths may be numbers or texts
    // with a unit; a label size that is neither sounds the beep and gives (0, 0).
    static QSizeF pixelDimensionsForPaper(const QVariantMap& layout);
    // Fits the document's print settings (paper, orientation, printer) to its layout:
    // after a layout is applied (NO) and right before an envelope is printed from the
    // envelope feed sheet (YES), when a feed without automatic alignment puts the
    // envelope on a Letter or A4 sheet.
    void initializePageSetup(bool forEnvelopeFeed);

    // The canvas selected in design mode; not owned, nullptr while there is none.
    LBGraphicView* selectedGraphicView() const { return _selectedGraphicView; }
    void setSelectedGraphicView(LBGraphicView* view) { _selectedGraphicView = view; }

    // --- CanvasHost ---
    LBDocument* document() const override;
    // Text mode belongs to design mode's controller, which the seed does not have.
    bool textMode() const override { return false; }
    bool isEnvelope() const override;
    QWidget* window() const override { return DocumentWindowController::window(); }
    // The sheets come with the window; the seed has none to open.
    void backgroundImageSheetAction(QObject* sender) override;
    void customizeCounterField(const QVariantMap& rolloverEntry, LBTextArea* inTextObject) override;
    // The page decorations come with their own work; until then the seed draws none.
    void drawBackgroundColorForPage(qint64 page, const QRectF& inRect,
                                    bool usePrintSettings) override;
    void drawUnderlay(const QRectF& rect, const QRectF& viewBounds, bool usePrintSettings) override;
    void drawBackgroundImageForPage(qint64 page, const QRectF& inRect,
                                    const QRectF& viewBounds) override;
    void drawOverlay(const QRectF& rect, const QRectF& viewBounds, bool printing) override;

private:
    double _zoomFactor = 1.0;
    double _zoomSliderValue = ActualSizeZoomSliderValue;
    double _savedZoomSliderValue = ActualSizeZoomSliderValue;
    bool _bezierMode = false;
    qint64 _mode = PreviewMode;
    bool _addQuarnLabelControls = false;
    LBGraphicView* _selectedGraphicView = nullptr;
};
