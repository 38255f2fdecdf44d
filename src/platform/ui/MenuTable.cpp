#include "platform/ui/MenuTable.h"

#include "platform/ui/Responder.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QVariant>

namespace platform {

namespace {
const char* const AddedItemProperty = "menuTableAddedItem";
}

MenuSpec* findMenu(QList<MenuSpec>& table, const QString& title)
{
    for (MenuSpec& menu : table) {
        if (menu.title == title)
            return &menu;
    }
    return nullptr;
}

MenuItemSpec* findItem(QList<MenuSpec>& table, const QString& selector)
{
    for (MenuSpec& menu : table) {
        for (MenuItemSpec& item : menu.items) {
            if (item.selector == selector)
                return &item;
        }
    }
    return nullptr;
}

void buildMenuBar(QMenuBar* bar, const QList<MenuSpec>& table)
{
    bar->clear();
    for (const MenuSpec& spec : table) {
        QMenu* menu = bar->addMenu(spec.title);
        menu->setProperty("menuTitle", spec.title);
        for (const MenuItemSpec& item : spec.items) {
            if (item.title.isEmpty()) {
                menu->addSeparator()->setVisible(item.visible);
                continue;
            }
            QAction* action = nullptr;
            if (item.fillSubmenu) {
                QMenu* submenu = menu->addMenu(item.title);
                action = submenu->menuAction();
                const auto fill = item.fillSubmenu;
                QObject::connect(submenu, &QMenu::aboutToShow, submenu, [submenu, fill] {
                    for (QAction* old : submenu->actions()) {
                        submenu->removeAction(old);
                        old->deleteLater();
                    }
                    fill(submenu);
                });
            } else {
                action = menu->addAction(item.title);
            }
            setActionSelector(action, item.selector);
            if (item.tag)
                setActionTag(action, item.tag);
            if (!item.shortcut.isEmpty())
                action->setShortcut(QKeySequence(item.shortcut));
            action->setVisible(item.visible);
        }
        if (spec.updateItems) {
            const auto update = spec.updateItems;
            QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, update] { update(menu); });
            update(menu);
        }
    }
}

void markAddedItem(QAction* item)
{
    item->setProperty(AddedItemProperty, true);
}

void removeAddedItems(QMenu* menu)
{
    for (QAction* item : menu->actions()) {
        if (item->property(AddedItemProperty).toBool()) {
            menu->removeAction(item);
            item->deleteLater();
        }
    }
}

} // namespace platform
