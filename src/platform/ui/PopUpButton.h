#pragma once

// A pop-up button: a button that shows a menu of items when pressed. A pop-up (the default)
// shows and selects one of its items; a pull-down shows a fixed title, its first item, and
// offers the items after it as commands, selecting none. Choosing an item sends the
// button's action: the activated signal with the chosen item's index.
//
// The look belongs to subclasses (paintEvent); the button itself draws the style's combo
// box with the title. It never takes the keyboard focus.

#include <QAbstractButton>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class QMenu;

namespace platform {

class Image;

class PopUpButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit PopUpButton(QWidget* parent = nullptr, bool pullsDown = false);
    ~PopUpButton() override;

    bool pullsDown() const { return _pullsDown; }
    void setPullsDown(bool pullsDown);

    // --- Items ---
    int numberOfItems() const { return int(_items.size()); }
    void addItemWithTitle(const QString& title);
    void addItemsWithTitles(const QStringList& titles);
    // A separator line: never chosen, never selected, no title.
    void addSeparatorItem();
    bool isSeparatorItem(int index) const;
    void insertItemWithTitle(const QString& title, int index);
    void removeItemAtIndex(int index);
    void removeAllItems();
    QString itemTitleAtIndex(int index) const;
    void setItemTitle(int index, const QString& title);
    QStringList itemTitles() const;
    qint64 itemTagAtIndex(int index) const;
    void setItemTag(int index, qint64 tag);
    QVariant representedObjectAtIndex(int index) const;
    void setRepresentedObject(int index, const QVariant& object);
    // The picture shown before the item's title in the menu (drawn crisp at the screen's
    // pixel ratio); nullptr for none.
    std::shared_ptr<Image> itemImage(int index) const;
    void setItemImage(int index, const std::shared_ptr<Image>& image);
    bool isItemEnabled(int index) const;
    void setItemEnabled(int index, bool enabled);
    // -1 when there is none.
    int indexOfItemWithTag(qint64 tag) const;
    int indexOfItemWithTitle(const QString& title) const;

    // --- Selection (pop-ups; a pull-down keeps its first item as the title) ---
    // -1 when nothing is selected.
    int indexOfSelectedItem() const { return _selected; }
    // An index out of range selects nothing.
    void selectItemAtIndex(int index);
    // Whether an item with the tag exists (and is now selected).
    bool selectItemWithTag(qint64 tag);
    bool selectItemWithTitle(const QString& title);
    QString titleOfSelectedItem() const;
    qint64 selectedTag() const;

    // The title the button shows: the first item's when it pulls down, else the selected
    // item's; empty when there is no such item.
    QString displayedTitle() const;

    // Items are enabled before the menu shows by the validator, when set and auto-enabling
    // is on (the default); otherwise each item's own flag holds.
    bool autoenablesItems() const { return _autoenablesItems; }
    void setAutoenablesItems(bool autoenables) { _autoenablesItems = autoenables; }
    using ItemValidator = std::function<bool(int index)>;
    void setItemValidator(ItemValidator validator) { _validator = std::move(validator); }

    // What choosing an item from the menu does: a pop-up selects it; both send the action.
    // A pull-down's first item (its title) and disabled items are never chosen.
    void chooseItemAtIndex(int index);

    // Shows the menu under the button (pull-down) or with the selected item over it.
    void showMenu();

    QSize sizeHint() const override;

Q_SIGNALS:
    void activated(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Whether item `index` can be chosen now (its flag, or the validator).
    bool itemIsChoosable(int index) const;

private:
    struct Item
    {
        QString title;
        qint64 tag = 0;
        bool enabled = true;
        bool separator = false;
        QVariant representedObject;
        std::shared_ptr<Image> image;
    };
    bool validIndex(int index) const { return index >= 0 && index < _items.size(); }

    QList<Item> _items;
    int _selected = -1;
    bool _pullsDown = false;
    bool _autoenablesItems = true;
    ItemValidator _validator;
};

} // namespace platform
