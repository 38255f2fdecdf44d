#include "RegistryProbe.h"

#include "platform/core/ClassRegistry.h"

namespace {

struct ProbeMade : ProbeBase
{
    QString origin() const override { return QStringLiteral("probe library"); }
};

const bool registered = platform::ClassRegistry<ProbeBase>::registerClass<ProbeMade>("ProbeMade");

} // namespace

bool probeCanCreate(const QString& name)
{
    return registered && platform::ClassRegistry<ProbeBase>::create(name) != nullptr;
}
