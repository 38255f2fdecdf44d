#pragma once

// The editing canvas. Its page coordinates are flipped: y grows downwards, so a graphic's
// bounds origin is its top-left corner.
class LBGraphicView
{
public:
    // Program-wide: on only while graphics are dragged out of a canvas. While it is on,
    // graphics keep their processed pictures and cached reflections so the drag image
    // stays valid.
    static bool isDraggingOut();
    static void setDraggingOut(bool draggingOut);
};
