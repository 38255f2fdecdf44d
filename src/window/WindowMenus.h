#pragma once

// The document window's menu bar as one table: our titles, the commands' selectors and
// shortcuts. Every document window builds its menu bar from it when its window loads;
// subsystems above the window add their menus or items to it at start-up (before the
// first window opens). Items nobody in the window's responder chain answers are disabled.

#include "platform/ui/MenuTable.h"

#include <QList>

namespace WindowMenus {

// The table the windows build from; empty (no menus of the window's own) until the
// application installs one, such as defaultTable().
QList<platform::MenuSpec>& table();
// The window's commands as menus.
QList<platform::MenuSpec> defaultTable();

} // namespace WindowMenus
