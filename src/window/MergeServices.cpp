#include "window/MergeServices.h"

#include "platform/text/AttributedString.h"

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

std::optional<platform::AttributedString>
MergeServices::preformattedAddressStringForFieldStr(const QString& fieldStr, bool isMyField)
{
    Q_UNUSED(fieldStr);
    Q_UNUSED(isMyField);
    return std::nullopt;
}
