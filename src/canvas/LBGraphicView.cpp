#include "canvas/LBGraphicView.h"

#include "canvas/TextEditingController.h"
#include "graphics/LBProcessState.h"
#include "platform/core/UserDefaults.h"

LBGraphicView::LBGraphicView()
{
    LBProcessState::setTextEditing(&TextEditingController::shared());
    _drawPostalGuidelines = platform::UserDefaults::standardUserDefaults().boolForKey(
        QStringLiteral("DrawPostalGuidelines"));
}

bool LBGraphicView::isDraggingOut()
{
    return LBProcessState::isDraggingOut();
}

void LBGraphicView::setDraggingOut(bool draggingOut)
{
    LBProcessState::setDraggingOut(draggingOut);
}
