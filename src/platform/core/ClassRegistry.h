#pragma once

// Classes made by name: each class registers a factory under its name with one line,
//     static const bool registered = platform::ClassRegistry<LBGraphic>::registerClass(
//         QStringLiteral("LBRectangle"), [] { return std::make_shared<LBRectangle>(); });
// and readers make objects from the names they find. Names are kept per base class, so a
// lookup through ClassRegistry<LBGraphic> only ever makes graphics. The tables live in the
// platform library, keyed by the base type, so the program and every library share one
// table per base class.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <type_traits>
#include <typeinfo>

namespace platform {

namespace detail {

using ErasedFactory = std::function<std::shared_ptr<void>()>;

bool registerErasedClass(const std::type_info& base, const QString& name, ErasedFactory factory);
std::shared_ptr<void> createErased(const std::type_info& base, const QString& name);
bool containsErased(const std::type_info& base, const QString& name);
QStringList erasedClassNames(const std::type_info& base);

} // namespace detail

template <typename Base>
class ClassRegistry
{
public:
    using Factory = std::function<std::shared_ptr<Base>()>;

    // False (and nothing changes) for an empty name or factory, or a name already taken:
    // the first registration of a name wins.
    static bool registerClass(const QString& name, Factory factory)
    {
        if (!factory)
            return false;
        return detail::registerErasedClass(
            typeid(Base), name, [factory = std::move(factory)]() -> std::shared_ptr<void> {
                // Through Base*, so the pointer converts back exactly in create().
                return std::shared_ptr<Base>(factory());
            });
    }

    // Registers T, made by its default constructor.
    template <typename T>
    static bool registerClass(const QString& name)
    {
        static_assert(std::is_base_of_v<Base, T>, "registered classes derive from the base");
        return registerClass(name, [] { return std::make_shared<T>(); });
    }

    // A new object of the named class, or nullptr for a name not registered for Base.
    static std::shared_ptr<Base> create(const QString& name)
    {
        return std::static_pointer_cast<Base>(detail::createErased(typeid(Base), name));
    }

    static bool contains(const QString& name) { return detail::containsErased(typeid(Base), name); }

    // Sorted.
    static QStringList classNames() { return detail::erasedClassNames(typeid(Base)); }
};

} // namespace platform
