#pragma once

// Design mode as the document window drives it: the controller of the design canvas, its
// drawer and its inspector hand-off (the design-mode classes implement it and install
// their factory at start-up). The window makes one on its first entry into design mode,
// owns it and destroys it when the window goes; without a factory the design area stays
// empty.
//
// Frames are in the coordinates of the view they are given for: points, y downwards.

#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>

class LBGraphic;
class LBGraphicView;
class LBPageView;
class LBTextArea;
class LBWindowController;
class QWidget;

class DesignModeController
{
public:
    using Factory = std::function<std::unique_ptr<DesignModeController>()>;

    virtual ~DesignModeController() = default;

    // The window controller it reports to; not owned, nullptr when the window lets it go.
    virtual void setWindowController(LBWindowController* controller) = 0;
    // Puts the design's view into the container with that frame.
    virtual void showPageInView(QWidget* view, const QRectF& viewFrame) = 0;
    // Takes the design's view out of the window; closing, the window is going away.
    virtual void hidePage(bool closing) = 0;
    // Keeps the view's state (the zoom slider's value given, selection, scroll position)
    // while the window is in preview mode; restoreState() puts it back.
    virtual void saveState(double zoomSliderValue) = 0;
    virtual void restoreState() = 0;
    // Rebuilds the canvases for the document's layout.
    virtual void updateView() = 0;
    // The view the canvases lie on; nullptr before it is built.
    virtual LBPageView* pageView() const = 0;
    // The canvases, one a visible face.
    virtual QList<LBGraphicView*> graphicViews() const = 0;
    virtual void deselectAll() = 0;
    // Whether clicks place the caret in text boxes.
    virtual bool textMode() const = 0;
    virtual void setZoomFactor(double zoomFactor) = 0;
    // The visible area changed size: lays the canvases out again.
    virtual void scrollerFrameChanged() = 0;
    // Redraws the graphic's area on the canvases.
    virtual void invalidateGraphic(LBGraphic* graphic) = 0;
    // A picture of the first canvas's design, for the document's preview.
    virtual QImage previewImageFromGraphicView() = 0;
    // Opens the counter sheet for the field of the text box.
    virtual void customizeCounterField(const QVariantMap& rolloverEntry,
                                       LBTextArea* inTextObject) = 0;
    // One step of importing kits: the kit's path, its index and the number of kits.
    virtual void importCorbeil(const QString& path, qint64 currentIndex, qint64 numFiles) = 0;
    // Shift went down or up (the drawer's browsers show detail thumbnails while it is down).
    virtual void setShiftKeyDown(bool down) = 0;
    // Opens or closes the drawer, writing the choice to the settings with updatePrefs and
    // opening or closing the layers view with it when toggleLayersView.
    virtual void openDrawer(bool open, bool updatePrefs, bool toggleLayersView) = 0;
    virtual bool drawerIsOpen() const = 0;
    // Shows the drawer's browser of that mode (0 shapes, 2 photos, 3 kits, 4 text library,
    // 5 favourites, 6 fields).
    virtual void setDrawerMode(qint64 mode) = 0;
    // The text shown under the design's page (the sheet's description); null for none.
    virtual QString documentDescriptionStr() const = 0;
    // The window moved: the inspector follows it.
    virtual void centerInspectorWindow() = 0;

    // The factory the windows make their design controllers with; an empty one removes it.
    static void setFactory(Factory factory);
    static bool hasFactory();
    // A new controller from the factory; nullptr without one.
    static std::unique_ptr<DesignModeController> make();
};
