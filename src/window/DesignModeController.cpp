#include "window/DesignModeController.h"

#include "window/InstalledFactory.h"

void DesignModeController::setFactory(Factory factory)
{
    InstalledFactory<DesignModeController>::set(std::move(factory));
}

bool DesignModeController::hasFactory()
{
    return InstalledFactory<DesignModeController>::has();
}

std::unique_ptr<DesignModeController> DesignModeController::make()
{
    return InstalledFactory<DesignModeController>::make();
}
