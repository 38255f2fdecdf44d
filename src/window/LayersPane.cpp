#include "window/LayersPane.h"

#include "window/InstalledFactory.h"

void LayersPane::setFactory(Factory factory)
{
    InstalledFactory<LayersPane>::set(std::move(factory));
}

bool LayersPane::hasFactory()
{
    return InstalledFactory<LayersPane>::has();
}

std::unique_ptr<LayersPane> LayersPane::make()
{
    return InstalledFactory<LayersPane>::make();
}
