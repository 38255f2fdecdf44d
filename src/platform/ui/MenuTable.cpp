#include "platform/ui/MenuTable.h"

#include "platform/ui/Responder.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace platform {

MenuSpec* findMenu(QList<MenuSpec>& table, const QString& title)
{
    for (MenuSpec& menu : table) {
        if (menu.title == title)
            return &menu;
    }
    return nullptr;
}

void buildMenuBar(QMenuBar* bar, const QList<MenuSpec>& table)
{
    bar->clear();
    for (const MenuSpec& spec : table) {
        QMenu* menu = bar->addMenu(spec.title);
        for (const MenuItemSpec& item : spec.items) {
            if (item.title.isEmpty()) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(item.title);
            setActionSelector(action, item.selector);
            if (item.tag)
                setActionTag(action, item.tag);
            if (!item.shortcut.isEmpty())
                action->setShortcut(QKeySequence(item.shortcut));
        }
    }
}

} // namespace platform
