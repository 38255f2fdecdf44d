#pragma once

// The controller of a document's window. This is its seed: it keeps the state the
// document reads (zoom, point-by-point curve drawing, the mode) and, having no window or
// views yet, has nothing to redraw or rebuild. The window, its two modes, zoom, drawers,
// menus and page set-up grow on it in files of their own
// (LBWindowController+PageSetup.cpp, ...).

#include "document/DocumentWindowController.h"

#include <QSizeF>
#include <QString>
#include <QVariantMap>

class LBDocument;

class LBWindowController : public DocumentWindowController
{
    Q_OBJECT
public:
    explicit LBWindowController(QObject* parent = nullptr);
    ~LBWindowController() override;

    // Nothing is shown yet, so nothing is redrawn or rebuilt.
    void invalidateGraphic(LBGraphic* graphic) override;
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
    // No canvases yet: the graphics stand at their page positions already.
    void moveGraphicsToActualPosition() override {}
    void moveGraphicsToDisplayPosition() override {}
    bool bezierMode() const override { return _bezierMode; }
    void setBezierMode(bool bezierMode) override { _bezierMode = bezierMode; }
    // Preview mode until the window switches to design mode.
    qint64 mode() const override { return _mode; }

    void shouldAddQuarnLabelControls(bool add) override { _addQuarnLabelControls = add; }
    bool addsQuarnLabelControls() const { return _addQuarnLabelControls; }

    // The document shown, nullptr while there is none.
    LBDocument* lbDocument() const;

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

private:
    double _zoomFactor = 1.0;
    double _zoomSliderValue = ActualSizeZoomSliderValue;
    double _savedZoomSliderValue = ActualSizeZoomSliderValue;
    bool _bezierMode = false;
    qint64 _mode = PreviewMode;
    bool _addQuarnLabelControls = false;
};
