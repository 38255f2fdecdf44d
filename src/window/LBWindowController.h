#pragma once

// The controller of a document's window. This is its seed: it keeps the state the
// document reads (zoom, point-by-point curve drawing, the mode) and, having no window or
// views yet, has nothing to redraw or rebuild. The window, its two modes, zoom, drawers,
// menus and page set-up grow on it in files of their own
// (LBWindowController+PageSetup.cpp, ...).

#include "document/DocumentWindowController.h"

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
    bool bezierMode() const override { return _bezierMode; }
    void setBezierMode(bool bezierMode) override { _bezierMode = bezierMode; }
    // Preview mode until the window switches to design mode.
    qint64 mode() const override { return _mode; }

    void shouldAddQuarnLabelControls(bool add) override { _addQuarnLabelControls = add; }
    bool addsQuarnLabelControls() const { return _addQuarnLabelControls; }

private:
    double _zoomFactor = 1.0;
    bool _bezierMode = false;
    qint64 _mode = PreviewMode;
    bool _addQuarnLabelControls = false;
};
