#include "canvas/LBGraphicView.h"

#include "canvas/TextEditingController.h"
#include "graphics/LBProcessState.h"

LBGraphicView::LBGraphicView()
{
    LBProcessState::setTextEditing(&TextEditingController::shared());
}

bool LBGraphicView::isDraggingOut()
{
    return LBProcessState::isDraggingOut();
}

void LBGraphicView::setDraggingOut(bool draggingOut)
{
    LBProcessState::setDraggingOut(draggingOut);
}
