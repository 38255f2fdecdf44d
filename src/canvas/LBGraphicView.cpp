#include "canvas/LBGraphicView.h"

namespace {

bool dragOutFlag = false;

} // namespace

bool LBGraphicView::isDraggingOut()
{
    return dragOutFlag;
}

void LBGraphicView::setDraggingOut(bool draggingOut)
{
    dragOutFlag = draggingOut;
}
