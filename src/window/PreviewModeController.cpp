#include "window/PreviewModeController.h"

#include "window/InstalledFactory.h"

void PreviewModeController::setFactory(Factory factory)
{
    InstalledFactory<PreviewModeController>::set(std::move(factory));
}

bool PreviewModeController::hasFactory()
{
    return InstalledFactory<PreviewModeController>::has();
}

std::unique_ptr<PreviewModeController> PreviewModeController::make()
{
    return InstalledFactory<PreviewModeController>::make();
}
