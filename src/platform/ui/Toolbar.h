#pragma once

// A window's toolbar whose items a delegate makes by identifier: the delegate names the
// items a toolbar may hold (allowed) and holds at first (default), and makes each item
// (the item factory). An item is a QAction carrying its identifier; view items are
// QWidgetActions. Three identifiers are the toolbar's own: a separator, a space and a
// flexible space.
//
// A toolbar that autosaves its configuration keeps its items' identifiers in the user
// defaults under configurationKey(identifier) and starts from them; every other toolbar
// starts from the default set. A toolbar that allows customisation offers the
// customisation dialog (the allowed items, the items in the toolbar, back to the default
// set). Items are validated by the delegate (validateVisibleItems()).
//
// The toolbar owns its items and takes them out before deleting them when its items are
// replaced, so a view item's widgets are released through the item; the delegate is not owned and must outlive it.

#include "platform/ui/ToolbarDelegate.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QToolBar>

class QAction;

namespace platform {

class Toolbar : public QToolBar
{
    Q_OBJECT
public:
    inline static const QString SeparatorItemIdentifier = QStringLiteral("SeparatorItem");
    inline static const QString SpaceItemIdentifier = QStringLiteral("SpaceItem");
    inline static const QString FlexibleSpaceItemIdentifier = QStringLiteral("FlexibleSpaceItem");

    Toolbar(const QString& identifier, ToolbarDelegate* delegate, QWidget* parent = nullptr);

    QString identifier() const { return _identifier; }
    ToolbarDelegate* delegate() const { return _delegate; }

    bool allowsUserCustomization() const { return _allowsUserCustomization; }
    void setAllowsUserCustomization(bool allows) { _allowsUserCustomization = allows; }
    bool autosavesConfiguration() const { return _autosavesConfiguration; }
    // Turning it on takes the saved configuration when there is one.
    void setAutosavesConfiguration(bool autosaves);
    static QString configurationKey(const QString& identifier);

    // The items, first to last, and their identifiers.
    QList<QAction*> items() const { return _items; }
    QStringList itemIdentifiers() const;
    // Fills the toolbar with the delegate's default set, unless autosaving found a saved
    // configuration.
    void loadItems();
    // Replaces the items by new ones of these identifiers (saved when autosaving).
    void setItemIdentifiers(const QStringList& identifiers);
    void insertItemWithItemIdentifier(const QString& identifier, qsizetype index);
    void removeItemAtIndex(qsizetype index);

    // Asks the delegate about every item and enables it accordingly.
    void validateVisibleItems();

    // The identifier an item carries; empty for none.
    static QString itemIdentifier(const QAction* item);
    static void setItemIdentifier(QAction* item, const QString& identifier);
    // A new item of the toolbar's own identifiers; nullptr for any other.
    static QAction* standardItem(const QString& identifier, QObject* parent);

    // The customisation dialog (modal); the chosen arrangement is applied when it closes
    // with OK. Nothing when the toolbar does not allow customisation.
    void runCustomizationPalette();

private:
    QAction* makeItem(const QString& identifier, bool willBeInserted);
    void rebuild();
    void save() const;

    QString _identifier;
    ToolbarDelegate* _delegate;
    bool _allowsUserCustomization = false;
    bool _autosavesConfiguration = false;
    QList<QAction*> _items;
};

} // namespace platform
