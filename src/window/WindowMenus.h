#pragma once

// The document window's menu bar as one table: our titles, the commands' selectors and
// shortcuts. Every document window builds its menu bar from it when its window loads;
// subsystems above the window add their menus or items to it at start-up (before the
// first window opens). Items nobody in the window's responder chain answers are disabled.

#include "platform/ui/MenuTable.h"

#include <QList>

namespace WindowMenus {

// The table the windows build from (the defaults below until something changes it).
QList<platform::MenuSpec>& table();
// The table as it starts.
QList<platform::MenuSpec> defaultTable();

} // namespace WindowMenus
