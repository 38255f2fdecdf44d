#include "window/WindowClasses.h"

#include "window/LBWindowController.h"

void registerWindowClasses()
{
    DocumentWindowController::setFactory([] { return new LBWindowController; });
}
