#pragma once

// Preview mode as the document window drives it: the controller that shows the sheets
// merged with the records (the merge layer implements it and installs its factory at
// start-up). The window makes one on its first entry into preview mode, owns it and
// destroys it when the window goes; without a factory the window has no preview mode and
// stays in design mode.
//
// Frames are in the coordinates of the view they are given for: points, y downwards.

#include <QRectF>

#include <functional>
#include <memory>

class LBPageView;
class LBWindowController;
class QLabel;
class QWidget;

class PreviewModeController
{
public:
    using Factory = std::function<std::unique_ptr<PreviewModeController>()>;

    virtual ~PreviewModeController() = default;

    // The window controller it reports to and asks (zoom, document, records); not owned,
    // nullptr when the window lets it go.
    virtual void setWindowController(LBWindowController* controller) = 0;
    // Puts the preview's view into the container with that frame and builds its bar.
    virtual void showPageInView(QWidget* view, const QRectF& viewFrame) = 0;
    // Takes the preview's view out of the window (kept for the next entry); returns the
    // frame it had.
    virtual QRectF hidePage() = 0;
    // Keeps the view's state (the zoom slider's value given, the focus, the scroll
    // position) while the window is in design mode; restoreState() puts it back.
    virtual void saveState(double zoomSliderValue) = 0;
    virtual void restoreState() = 0;
    // Rebuilds the sheets; with discardExisting, from new renderers.
    virtual void updateViewWithNewRenderingView(bool discardExisting) = 0;
    // Writes the sheet count into the window's page-count text.
    virtual void updatePageCountText(QLabel* field) = 0;
    // The view the sheets lie on; nullptr before it is built.
    virtual LBPageView* pageView() const = 0;
    // Shows the sheets at the zoom (1.0 is 100 %).
    virtual void setZoomFactor(double zoomFactor) = 0;
    // The visible area changed size: lays the sheets out again.
    virtual void scrollerFrameChanged() = 0;
    // Redraws the visible sheets.
    virtual void refreshRenderingView() = 0;
    // Writes an open per-label editor's text back and closes it.
    virtual void closeTextEditor() = 0;
    // Shows or hides the live-address icons of the sheets.
    virtual void showLiveAddressIcons(bool show) = 0;
    virtual void setLiveAddressCheckboxEnabled(bool enabled) = 0;
    // Builds its control bar again in the container (the layout changed while it shows).
    virtual void addQuarnLabelControls(QWidget* container) { (void)container; }

    // The factory the windows make their preview controllers with; an empty one removes
    // it.
    static void setFactory(Factory factory);
    static bool hasFactory();
    // A new controller from the factory; nullptr without one.
    static std::unique_ptr<PreviewModeController> make();
};
