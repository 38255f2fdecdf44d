#include "window/LBWindowController.h"

LBWindowController::LBWindowController(QObject* parent) : DocumentWindowController(parent)
{}

LBWindowController::~LBWindowController() = default;

void LBWindowController::invalidateGraphic(LBGraphic* graphic)
{
    Q_UNUSED(graphic);
}

void LBWindowController::setupForDocument()
{}

void LBWindowController::refreshWindow()
{}
