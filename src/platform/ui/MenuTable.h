#pragma once

// A window's menu bar described as a table: menus of items, each item a title, the
// selector it sends through the window's responder chain (Responder.h), an optional
// shortcut and tag. An item with an empty title is a separator. Tables are values, so a
// higher layer may extend the table a lower one starts before windows build from it.

#include <QList>
#include <QString>

class QMenuBar;

namespace platform {

struct MenuItemSpec
{
    QString title;    // empty: a separator
    QString selector; // the command sent
    QString shortcut; // a QKeySequence text ("Ctrl+G"); empty for none
    qint64 tag = 0;
};

struct MenuSpec
{
    QString title;
    QList<MenuItemSpec> items;
};

// The menu of that title in the table; nullptr when there is none.
MenuSpec* findMenu(QList<MenuSpec>& table, const QString& title);

// Fills the bar with the table's menus (the bar's old menus go); each action carries its
// selector and tag.
void buildMenuBar(QMenuBar* bar, const QList<MenuSpec>& table);

} // namespace platform
