#pragma once

// The editing canvas. Its page coordinates are flipped: y grows downwards, so a graphic's
// bounds origin is its top-left corner.

#include "graphics/CanvasView.h"

class LBGraphicView : public CanvasView
{
public:
    // Makes the canvas's in-place text editing (TextEditingController) the one the model
    // forwards to.
    LBGraphicView();

    // Program-wide: on only while graphics are dragged out of a canvas. While it is on,
    // graphics keep their processed pictures and cached reflections so the drag image
    // stays valid. Kept in LBProcessState, where graphics read it.
    static bool isDraggingOut();
    static void setDraggingOut(bool draggingOut);

    // The graphic edited in place in this canvas and its editor; neither is owned, and
    // setting them does nothing else. The text editing controller sets both when a box's
    // editing starts and clears both when it ends.
    LBGraphic* editingGraphic() const override { return _editingGraphic; }
    platform::TextView* editorView() const override { return _editorView; }
    void setEditingGraphic(LBGraphic* graphic, platform::TextView* editorView) override
    {
        _editingGraphic = graphic;
        _editorView = editorView;
    }

private:
    LBGraphic* _editingGraphic = nullptr;
    platform::TextView* _editorView = nullptr;
};
