#pragma once

// The editing canvas. Its page coordinates are flipped: y grows downwards, so a graphic's
// bounds origin is its top-left corner.

#include "graphics/CanvasView.h"

class LBGraphicView : public CanvasView
{
public:
    // Program-wide: on only while graphics are dragged out of a canvas. While it is on,
    // graphics keep their processed pictures and cached reflections so the drag image
    // stays valid.
    static bool isDraggingOut();
    static void setDraggingOut(bool draggingOut);

    // The graphic edited in place in this canvas and its editor; neither is owned, and
    // setting them does nothing else. A text box sets both when its editing starts and
    // clears both when it ends.
    LBGraphic* editingGraphic() const override { return _editingGraphic; }
    LBTextView* editorView() const override { return _editorView; }
    void setEditingGraphic(LBGraphic* graphic, LBTextView* editorView) override
    {
        _editingGraphic = graphic;
        _editorView = editorView;
    }

private:
    LBGraphic* _editingGraphic = nullptr;
    LBTextView* _editorView = nullptr;
};
