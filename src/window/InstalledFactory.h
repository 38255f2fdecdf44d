#pragma once

// The one factory of an interface that a higher layer installs: setFactory(), hasFactory()
// and make() of the window's interfaces share it.

#include <memory>
#include <utility>

template <typename Interface>
class InstalledFactory
{
public:
    static void set(typename Interface::Factory factory) { slot() = std::move(factory); }
    static bool has() { return bool(slot()); }
    static std::unique_ptr<Interface> make()
    {
        return slot() ? slot()() : std::unique_ptr<Interface>();
    }

private:
    static typename Interface::Factory& slot()
    {
        static typename Interface::Factory factory;
        return factory;
    }
};
