#pragma once

// The window controller of a document, as the document sees it: the services it calls on
// the controller that shows it (LBWindowController of the window layer implements them).
// The window layer installs the factory the document makes its controller with; without
// one (a program or test without windows) a document has no window controller.

#include "platform/ui/WindowController.h"

#include <QVariantMap>

#include <functional>

class LBGraphic;

class DocumentWindowController : public platform::WindowController
{
    Q_OBJECT
public:
    // The window's modes; NoMode while the window loads.
    enum Mode : qint64 { NoMode = 0, PreviewMode = 1, DesignMode = 2 };

    using Factory = std::function<DocumentWindowController*()>;

    // Without a window, or with the window of that name (made on first use).
    explicit DocumentWindowController(QObject* parent = nullptr);
    explicit DocumentWindowController(const QString& windowName, QObject* parent = nullptr);
    ~DocumentWindowController() override;

    // The factory of the documents' window controllers; an empty one removes it.
    static void setFactory(Factory factory);
    // A new controller from the factory, owned by the caller; nullptr without a factory.
    static DocumentWindowController* make();

    // Redraws the graphic's area where the window shows it.
    virtual void invalidateGraphic(LBGraphic* graphic) = 0;
    // Rebuilds the current mode's display of the document (its layout changed).
    virtual void setupForDocument() = 0;
    // Redraws the window's pages (the pictures changed).
    virtual void refreshWindow() = 0;

    // The zoom of the window; 1.0 is 100 %.
    virtual double zoomFactor() const = 0;
    // The zoom slider's value (ActualSizeZoomSliderValue is 100 %); setting it zooms the
    // current mode. A controller without views stays at 100 %.
    static constexpr double ActualSizeZoomSliderValue = 6.0;
    virtual double zoomSliderValue() const { return ActualSizeZoomSliderValue; }
    virtual void setZoomSliderValue(double value) { (void)value; }
    // Keep and restore the current mode's view state (zoom, selection, scroll position)
    // around the document's writing; nothing to keep without views.
    virtual void saveState() {}
    virtual void restoreState() {}
    // In design mode, put the graphics at their page positions (before the document is
    // written or rendered) and back at the positions the canvases show them at; without
    // canvases the graphics stand at their page positions already.
    virtual void moveGraphicsToActualPosition() {}
    virtual void moveGraphicsToDisplayPosition() {}
    // What printing asks of the window (nothing without views or the merge layer):
    // deselect every graphic of the views;
    virtual void deselectAll() {}
    // What a document replacing all its graphics (a revert) asks first: end any editing
    // and deselect everything, so that nothing keeps hold of a graphic that goes;
    virtual void letGoOfGraphics() { deselectAll(); }
    // open the envelope feed sheet, which prints when it is saved;
    virtual void openEnvelopeFeedSheet() {}
    // hear that a print job ran (printed or not);
    virtual void printOpDidRun() {}
    // whether there are records to put on sheets: a design with contact fields and no
    // record alerts on the window and answers false.
    virtual bool checkRecordsForOutput() { return true; }
    // Whether a curve is being drawn point by point; turning it off ends that drawing.
    virtual bool bezierMode() const = 0;
    virtual void setBezierMode(bool bezierMode) = 0;
    // The window's mode.
    virtual qint64 mode() const = 0;

    // Whether preview mode shows the label-sheet control bar (documents opened from a
    // file do).
    virtual void shouldAddQuarnLabelControls(bool add) = 0;

    // What a change of paper orientation asks of the window (a controller that applies no
    // layouts leaves both alone):
    // turns a layout dictionary a quarter (label sizes, rows and columns, gaps, margins);
    virtual void swapDimensionsInDict(QVariantMap& dict, bool toLandscapeOrientation)
    {
        (void)dict;
        (void)toLandscapeOrientation;
    }
    // applies a layout without a template (the document's own, again).
    virtual void chooseBlankLayout(const QVariantMap& layoutDict, bool includesLabelType,
                                   qint64 projectType, bool isVertical, bool isNewDocument,
                                   bool addDeliveryAddress, bool addReturnAddress)
    {
        (void)layoutDict;
        (void)includesLabelType;
        (void)projectType;
        (void)isVertical;
        (void)isNewDocument;
        (void)addDeliveryAddress;
        (void)addReturnAddress;
    }
};
