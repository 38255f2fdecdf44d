#include "window/DrawerBrowser.h"

#include <QHash>

namespace {
QHash<qint64, DrawerBrowser::Factory>& factories()
{
    static QHash<qint64, DrawerBrowser::Factory> theFactories;
    return theFactories;
}
} // namespace

void DrawerBrowser::setFactory(qint64 mode, Factory factory)
{
    if (factory)
        factories().insert(mode, std::move(factory));
    else
        factories().remove(mode);
}

bool DrawerBrowser::hasFactory(qint64 mode)
{
    return factories().contains(mode);
}

std::unique_ptr<DrawerBrowser> DrawerBrowser::make(qint64 mode)
{
    const auto found = factories().constFind(mode);
    return found == factories().constEnd() ? nullptr : found.value()();
}
