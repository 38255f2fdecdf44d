// The layout chooser as the window opens it.

#include "window/LBWindowController.h"

void LBWindowController::openLayoutSheet(QObject* sender)
{
    // The chooser is not part of the window yet: the document keeps its default layout.
    Q_UNUSED(sender);
}
