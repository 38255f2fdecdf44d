#pragma once

// What graphics and the canvas ask of the inspector palette (HUDWindowController
// implements it). They reach the smart palette through LBProcessState::inspectorPalette()
// and the standalone palettes through LBProcessState::standaloneInspectorPalettes(), which
// the palettes set from above; with none, nothing is sent (that is a normal state).

#include <QtGlobal>

class CanvasView;
class QMenu;
class QWidget;

namespace platform {
class TextView;
}

class InspectorPalette
{
public:
    // Leaves LBProcessState's lists, so nothing reaches a palette that is gone.
    virtual ~InspectorPalette();

    // --- What the canvas asks ---
    // The palette's window (nullptr while it has none); the canvas hides it while handles
    // are hidden or dragged.
    virtual QWidget* window() const { return nullptr; }
    // The canvas whose selection the palette shows; not owned. A canvas going away sets
    // nullptr on every palette that shows it.
    virtual CanvasView* selectedGraphicView() const { return nullptr; }
    virtual void setSelectedGraphicView(CanvasView* view) { (void)view; }
    // Refreshes the panes from the canvas's selection and shows or places the window.
    virtual void updateFromGraphicView(CanvasView* view) { (void)view; }
    // Reloads the rotation and flip controls from the selected graphics.
    virtual void updateRotateFlipTools() {}
    // Makes the palette show its group tools, the modifier pane of a shape, or the mask
    // pane at its next refresh.
    virtual void forceSelectGroupTools(bool force) { (void)force; }
    virtual void forceSelectModifiedShapeTools(bool force) { (void)force; }
    virtual void forceSelectMaskTools(bool force) { (void)force; }
    // The menu of the palette's tools, rebuilt for the canvas (its contextual menu); not
    // owned by the caller. nullptr when there is none.
    virtual QMenu* contextualMenuForView(CanvasView* view)
    {
        (void)view;
        return nullptr;
    }

    // YES forces the palette to show its Crop pane while an image is being cropped, with
    // the constrain controls when showConstrainTools is YES; NO releases the forced pane.
    virtual void forceSelectCropTools(bool force, bool showConstrainTools) = 0;
    // Moves the palette just below the selected graphics, kept on the visible screen,
    // unless nothing is selected or the palette is frozen.
    virtual void centerWindowUnderSelectedGraphics() = 0;
    // While frozen the palette keeps its panes and place whatever the selection does (the
    // document freezes it while it zooms the window to draw its previews).
    virtual void setFreezeWindow(bool freeze) { (void)freeze; }

    // --- What design mode asks ---
    // The tag of the pane shown (2 to 27); updateSelectedTools() reloads that pane.
    virtual qint64 selectedToolsTag() const { return 0; }
    virtual void updateSelectedTools() {}
    // A text view being edited in place joins the palette's text tools; clearTextViews()
    // forgets every one.
    virtual void addTextView(platform::TextView* view) { (void)view; }
    virtual void clearTextViews() {}
    // Reload the font, font preview and typography panes when they show.
    virtual void updateFontTools() {}
    virtual void updateFontPreviewTools() {}
    virtual void updateTypographyTools() {}

    // --- What the document window asks ---
    // Forgets the canvas and the selection it showed and hides the window (a design
    // window left design mode). The base does that through setSelectedGraphicView() and
    // window().
    virtual void resetAndHide();
};
