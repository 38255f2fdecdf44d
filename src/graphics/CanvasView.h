#pragma once

// The view a graphic is drawn in while the user edits: the canvas (LBGraphicView
// implements it). Graphics are handed one when they draw on the canvas and nullptr when
// they draw into images, printed sheets and exports, where canvas-only details (a
// placeholder's hidden outline, its pattern) are left out. What drawing and in-place
// editing need of the canvas is added here.

class LBGraphic;
class QWidget;

namespace platform {
class TextView;
} // namespace platform

class CanvasView
{
public:
    virtual ~CanvasView() = default;

    // The graphic being edited in place in this canvas (a text box whose editor shows its
    // text), or nullptr.
    virtual LBGraphic* editingGraphic() const { return nullptr; }
    // The editor laid over that graphic, or nullptr.
    virtual platform::TextView* editorView() const { return nullptr; }
    // Records which graphic is edited with which editor (both nullptr when none). Neither
    // is owned; nothing else happens.
    virtual void setEditingGraphic(LBGraphic* graphic, platform::TextView* editorView)
    {
        (void)graphic;
        (void)editorView;
    }
    // Takes a view (an in-place editor) in as a shown child laid over the canvas.
    virtual void addSubview(QWidget* view) { (void)view; }
};
