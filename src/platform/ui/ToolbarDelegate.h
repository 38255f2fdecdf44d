#pragma once

// What a toolbar (Toolbar.h) asks of the one that makes its items.

#include <QString>
#include <QStringList>

class QAction;

namespace platform {

class Toolbar;

class ToolbarDelegate
{
public:
    virtual ~ToolbarDelegate() = default;
    virtual QStringList toolbarAllowedItemIdentifiers(const Toolbar* toolbar) const = 0;
    virtual QStringList toolbarDefaultItemIdentifiers(const Toolbar* toolbar) const = 0;
    // A new item for the identifier (the caller takes it); nullptr for none. willBeInserted
    // is false for the items of the customisation dialog.
    virtual QAction* toolbarItemForItemIdentifier(const Toolbar* toolbar, const QString& identifier,
                                                  bool willBeInserted) = 0;
    // Whether the item is enabled; may change its label and picture.
    virtual bool validateToolbarItem(QAction* item)
    {
        (void)item;
        return true;
    }
};

} // namespace platform
