#include "window/LBWindowController.h"

#include "document/LBDocument.h"

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

LBDocument* LBWindowController::lbDocument() const
{
    return qobject_cast<LBDocument*>(document());
}
