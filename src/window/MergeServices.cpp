#include "window/MergeServices.h"

namespace {

MergeServices::Factory& factory()
{
    static MergeServices::Factory instance;
    return instance;
}

} // namespace

void MergeServices::setFactory(Factory f)
{
    factory() = std::move(f);
}

std::unique_ptr<MergeServices> MergeServices::make(LBWindowController& window)
{
    return factory() ? factory()(window) : nullptr;
}
