#include "platform/ui/Toolbar.h"

#include "platform/core/UserDefaults.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidgetAction>

#include <algorithm>
#include <utility>

namespace platform {

namespace {
const char* const IdentifierProperty = "itemIdentifier";

// A space item: a blank widget, fixed or growing.
class SpaceAction : public QWidgetAction
{
public:
    SpaceAction(bool flexible, QObject* parent) : QWidgetAction(parent), _flexible(flexible) {}

protected:
    QWidget* createWidget(QWidget* parent) override
    {
        auto* space = new QWidget(parent);
        if (_flexible)
            space->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        else
            space->setFixedWidth(16);
        return space;
    }

private:
    bool _flexible;
};
} // namespace

Toolbar::Toolbar(const QString& identifier, ToolbarDelegate* delegate, QWidget* parent)
    : QToolBar(parent), _identifier(identifier), _delegate(delegate)
{
    setObjectName(identifier);
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(32, 32));
    toggleViewAction()->setVisible(false);
}

QString Toolbar::configurationKey(const QString& identifier)
{
    return QStringLiteral("Toolbar Configuration ") + identifier;
}

void Toolbar::setAutosavesConfiguration(bool autosaves)
{
    _autosavesConfiguration = autosaves;
}

QString Toolbar::itemIdentifier(const QAction* item)
{
    return item ? item->property(IdentifierProperty).toString() : QString();
}

void Toolbar::setItemIdentifier(QAction* item, const QString& identifier)
{
    item->setProperty(IdentifierProperty, identifier);
}

QAction* Toolbar::standardItem(const QString& identifier, QObject* parent)
{
    QAction* item = nullptr;
    if (identifier == SeparatorItemIdentifier) {
        item = new QAction(parent);
        item->setSeparator(true);
    } else if (identifier == SpaceItemIdentifier || identifier == FlexibleSpaceItemIdentifier) {
        item = new SpaceAction(identifier == FlexibleSpaceItemIdentifier, parent);
    }
    if (item)
        setItemIdentifier(item, identifier);
    return item;
}

QStringList Toolbar::itemIdentifiers() const
{
    QStringList identifiers;
    for (const QAction* item : _items)
        identifiers.append(itemIdentifier(item));
    return identifiers;
}

QAction* Toolbar::makeItem(const QString& identifier, bool willBeInserted)
{
    QAction* item = standardItem(identifier, this);
    if (!item && _delegate)
        item = _delegate->toolbarItemForItemIdentifier(this, identifier, willBeInserted);
    if (!item)
        return nullptr;
    item->setParent(this);
    if (itemIdentifier(item).isEmpty())
        setItemIdentifier(item, identifier);
    return item;
}

void Toolbar::loadItems()
{
    QStringList identifiers;
    if (_autosavesConfiguration) {
        const QVariant saved =
            UserDefaults::standardUserDefaults().objectForKey(configurationKey(_identifier));
        if (saved.isValid())
            identifiers = saved.toStringList();
    }
    if (identifiers.isEmpty() && _delegate)
        identifiers = _delegate->toolbarDefaultItemIdentifiers(this);
    const bool autosaves = std::exchange(_autosavesConfiguration, false);
    setItemIdentifiers(identifiers);
    _autosavesConfiguration = autosaves;
}

void Toolbar::setItemIdentifiers(const QStringList& identifiers)
{
    clear();
    for (QAction* item : std::exchange(_items, {}))
        delete item;
    for (const QString& identifier : identifiers) {
        if (QAction* item = makeItem(identifier, true))
            _items.append(item);
    }
    rebuild();
    save();
}

void Toolbar::insertItemWithItemIdentifier(const QString& identifier, qsizetype index)
{
    QAction* item = makeItem(identifier, true);
    if (!item)
        return;
    _items.insert(std::clamp<qsizetype>(index, 0, _items.size()), item);
    rebuild();
    save();
}

void Toolbar::removeItemAtIndex(qsizetype index)
{
    if (index < 0 || index >= _items.size())
        return;
    QAction* item = _items.takeAt(index);
    removeAction(item);
    delete item;
    rebuild();
    save();
}

void Toolbar::rebuild()
{
    clear();
    for (QAction* item : _items)
        addAction(item);
}

void Toolbar::save() const
{
    if (_autosavesConfiguration)
        UserDefaults::standardUserDefaults().setObject(itemIdentifiers(),
                                                       configurationKey(_identifier));
}

void Toolbar::validateVisibleItems()
{
    if (!_delegate)
        return;
    for (QAction* item : _items) {
        if (item->isSeparator() || dynamic_cast<SpaceAction*>(item))
            continue;
        item->setEnabled(_delegate->validateToolbarItem(item));
    }
}

void Toolbar::runCustomizationPalette()
{
    if (!_allowsUserCustomization || !_delegate)
        return;
    QDialog dialog(window());
    dialog.setWindowTitle(tr("Customise Toolbar"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* lists = new QHBoxLayout;
    auto* allowed = new QListWidget(&dialog);
    auto* current = new QListWidget(&dialog);
    current->setDragDropMode(QAbstractItemView::InternalMove);
    const auto label = [this](const QString& identifier) {
        if (identifier == SeparatorItemIdentifier)
            return tr("Separator");
        if (identifier == SpaceItemIdentifier)
            return tr("Space");
        if (identifier == FlexibleSpaceItemIdentifier)
            return tr("Flexible Space");
        QAction* item = _delegate->toolbarItemForItemIdentifier(this, identifier, false);
        QString text = item ? item->iconText() : QString();
        delete item;
        return text.trimmed().isEmpty() ? identifier : text.trimmed();
    };
    const auto addRow = [&label](QListWidget* list, const QString& identifier) {
        auto* row = new QListWidgetItem(label(identifier), list);
        row->setData(Qt::UserRole, identifier);
        return row;
    };
    for (const QString& identifier : _delegate->toolbarAllowedItemIdentifiers(this))
        addRow(allowed, identifier);
    const auto fill = [&](const QStringList& identifiers) {
        current->clear();
        for (const QString& identifier : identifiers)
            addRow(current, identifier);
    };
    fill(itemIdentifiers());
    auto* add = new QPushButton(tr("Add →"), &dialog);
    auto* remove = new QPushButton(tr("← Remove"), &dialog);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(add);
    middle->addWidget(remove);
    middle->addStretch();
    // Tall enough for a toolbar's whole set of items without scrolling.
    for (QListWidget* list : {allowed, current})
        list->setMinimumHeight(list->sizeHintForRow(0) * 20 + 2 * list->frameWidth());
    lists->addWidget(allowed);
    lists->addLayout(middle);
    lists->addWidget(current);
    layout->addLayout(lists);
    // An added item goes after the chosen one (at the end when none is) and is shown chosen,
    // so the user sees where it went and can add the next one after it.
    const auto addChosen = [&] {
        QListWidgetItem* row = allowed->currentItem();
        if (!row)
            return;
        QListWidgetItem* added = addRow(nullptr, row->data(Qt::UserRole).toString());
        const int at = current->currentItem() ? current->currentRow() + 1 : current->count();
        current->insertItem(at, added);
        current->setCurrentItem(added);
        current->scrollToItem(added);
    };
    QObject::connect(add, &QPushButton::clicked, &dialog, addChosen);
    QObject::connect(allowed, &QListWidget::itemDoubleClicked, &dialog, addChosen);
    QObject::connect(remove, &QPushButton::clicked, &dialog,
                     [&] { delete current->currentItem(); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QPushButton* defaults = buttons->addButton(tr("Use Default Set"), QDialogButtonBox::ResetRole);
    QObject::connect(defaults, &QPushButton::clicked, &dialog,
                     [&] { fill(_delegate->toolbarDefaultItemIdentifiers(this)); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QStringList chosen;
    for (int row = 0; row < current->count(); ++row)
        chosen.append(current->item(row)->data(Qt::UserRole).toString());
    setItemIdentifiers(chosen);
    validateVisibleItems();
}

} // namespace platform
