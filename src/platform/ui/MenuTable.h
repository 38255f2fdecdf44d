#pragma once

// A window's menu bar described as a table: menus of items, each item a title, the
// selector it sends through the window's responder chain (Responder.h), an optional
// shortcut and tag. An item with an empty title is a separator. Tables are values, so a
// higher layer may extend the table a lower one starts before windows build from it.
//
// Two kinds of items change while the program runs: a submenu filled afresh each time it
// opens (fillSubmenu: a list of printers), and items a menu shows after its own (updateItems:
// the panes a palette offers), brought up to date as the menu opens and whenever its owner
// asks the window (WindowController::updateMenuItems()). Their items carry selectors like
// any other, so the responder chain runs and validates them.

#include <QList>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QMenuBar;

namespace platform {

struct MenuItemSpec
{
    QString title;    // empty: a separator
    QString selector; // the command sent (for a submenu: the one that validates it)
    QString shortcut; // a QKeySequence text ("Ctrl+G"); empty for none
    qint64 tag = 0;
    bool visible = true;
    // Makes the item a submenu, emptied and filled by this each time it is about to show.
    std::function<void(QMenu*)> fillSubmenu;
};

struct MenuSpec
{
    QString title;
    QList<MenuItemSpec> items;
    // Replaces the items the menu shows after `items`; empty for none.
    std::function<void(QMenu*)> updateItems;
};

// The menu of that title in the table; nullptr when there is none.
MenuSpec* findMenu(QList<MenuSpec>& table, const QString& title);
// The first item with the selector in the table; nullptr when there is none.
MenuItemSpec* findItem(QList<MenuSpec>& table, const QString& selector);

// Fills the bar with the table's menus (the bar's old menus go); each action carries its
// selector and tag. Each menu's title in the table is kept as its property "menuTitle".
void buildMenuBar(QMenuBar* bar, const QList<MenuSpec>& table);

// Marks an item a menu's updateItems added, so the next update replaces it.
void markAddedItem(QAction* item);
// Removes the items updateItems added before.
void removeAddedItems(QMenu* menu);

} // namespace platform
