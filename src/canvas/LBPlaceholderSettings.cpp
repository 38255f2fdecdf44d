#include "canvas/LBPlaceholderSettings.h"

namespace {

LBPlaceholderSettings::Factory& factory()
{
    static LBPlaceholderSettings::Factory registered;
    return registered;
}

} // namespace

void LBPlaceholderSettings::setFactory(Factory made)
{
    factory() = std::move(made);
}

bool LBPlaceholderSettings::hasFactory()
{
    return bool(factory());
}

std::unique_ptr<LBPlaceholderSettings> LBPlaceholderSettings::make(bool forBackgroundPlaceholder)
{
    return factory() ? factory()(forBackgroundPlaceholder) : nullptr;
}
