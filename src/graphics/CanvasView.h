#pragma once

// The view a graphic is drawn in while the user edits: the canvas (LBGraphicView
// implements it). Graphics are handed one when they draw on the canvas and nullptr when
// they draw into images, printed sheets and exports, where canvas-only details (a
// placeholder's hidden outline, its pattern) are left out. What drawing needs of the
// canvas is added here.

class LBGraphic;

class CanvasView
{
public:
    virtual ~CanvasView() = default;

    // The graphic being edited in place in this canvas (a text box whose editor shows its
    // text), or nullptr.
    virtual LBGraphic* editingGraphic() const { return nullptr; }
};
