#pragma once

// What graphics ask of the inspector palette (HUDWindowController implements it). Graphics
// reach the palette through LBProcessState::inspectorPalette(), which the palette sets
// from above, and send nothing while there is none.
class InspectorPalette
{
public:
    virtual ~InspectorPalette() = default;

    // YES forces the palette to show its Crop pane while an image is being cropped, with
    // the constrain controls when showConstrainTools is YES; NO releases the forced pane.
    virtual void forceSelectCropTools(bool force, bool showConstrainTools) = 0;
    // Moves the palette just below the selected graphics, kept on the visible screen,
    // unless nothing is selected or the palette is frozen.
    virtual void centerWindowUnderSelectedGraphics() = 0;
    // While frozen the palette keeps its panes and place whatever the selection does (the
    // document freezes it while it zooms the window to draw its previews).
    virtual void setFreezeWindow(bool freeze) { (void)freeze; }
};
