#include "platform/core/ClassRegistry.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <typeindex>
#include <unordered_map>

namespace platform::detail {

namespace {

// Registrations run from static initialisers of any library, so the tables are built on
// first use and guarded.
struct Tables
{
    QMutex mutex;
    std::unordered_map<std::type_index, QHash<QString, ErasedFactory>> byBase;
};

Tables& tables()
{
    static Tables instance;
    return instance;
}

} // namespace

bool registerErasedClass(const std::type_info& base, const QString& name, ErasedFactory factory)
{
    if (name.isEmpty() || !factory)
        return false;
    Tables& t = tables();
    QMutexLocker lock(&t.mutex);
    QHash<QString, ErasedFactory>& table = t.byBase[std::type_index(base)];
    if (table.contains(name))
        return false;
    table.insert(name, std::move(factory));
    return true;
}

std::shared_ptr<void> createErased(const std::type_info& base, const QString& name)
{
    ErasedFactory factory;
    {
        Tables& t = tables();
        QMutexLocker lock(&t.mutex);
        const auto table = t.byBase.find(std::type_index(base));
        if (table == t.byBase.end())
            return nullptr;
        factory = table->second.value(name);
    }
    // Called unlocked: a constructor may look up or register other classes.
    return factory ? factory() : nullptr;
}

bool containsErased(const std::type_info& base, const QString& name)
{
    Tables& t = tables();
    QMutexLocker lock(&t.mutex);
    const auto table = t.byBase.find(std::type_index(base));
    return table != t.byBase.end() && table->second.contains(name);
}

QStringList erasedClassNames(const std::type_info& base)
{
    Tables& t = tables();
    QMutexLocker lock(&t.mutex);
    const auto table = t.byBase.find(std::type_index(base));
    if (table == t.byBase.end())
        return {};
    QStringList names = table->second.keys();
    names.sort();
    return names;
}

} // namespace platform::detail
