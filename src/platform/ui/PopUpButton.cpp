#include "platform/ui/PopUpButton.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace platform {

PopUpButton::PopUpButton(QWidget* parent, bool pullsDown)
    : QAbstractButton(parent), _pullsDown(pullsDown)
{
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::pressed, this, &PopUpButton::showMenu);
}

PopUpButton::~PopUpButton() = default;

void PopUpButton::setPullsDown(bool pullsDown)
{
    _pullsDown = pullsDown;
    update();
}

void PopUpButton::addItemWithTitle(const QString& title)
{
    insertItemWithTitle(title, numberOfItems());
}

void PopUpButton::addItemsWithTitles(const QStringList& titles)
{
    for (const QString& title : titles)
        addItemWithTitle(title);
}

void PopUpButton::addSeparatorItem()
{
    Item item;
    item.separator = true;
    item.enabled = false;
    _items.append(item);
    update();
}

bool PopUpButton::isSeparatorItem(int index) const
{
    return validIndex(index) && _items[index].separator;
}

std::shared_ptr<Image> PopUpButton::itemImage(int index) const
{
    return validIndex(index) ? _items[index].image : nullptr;
}

void PopUpButton::setItemImage(int index, const std::shared_ptr<Image>& image)
{
    if (validIndex(index))
        _items[index].image = image;
}

void PopUpButton::insertItemWithTitle(const QString& title, int index)
{
    index = qBound(0, index, numberOfItems());
    Item item;
    item.title = title;
    _items.insert(index, item);
    if (_selected >= index)
        ++_selected;
    else if (_selected < 0 && !_pullsDown)
        _selected = index; // a pop-up always shows an item once it has one
    update();
}

void PopUpButton::removeItemAtIndex(int index)
{
    if (!validIndex(index))
        return;
    _items.removeAt(index);
    if (_selected == index)
        _selected = _items.isEmpty() ? -1 : 0;
    else if (_selected > index)
        --_selected;
    update();
}

void PopUpButton::removeAllItems()
{
    _items.clear();
    _selected = -1;
    update();
}

QString PopUpButton::itemTitleAtIndex(int index) const
{
    return validIndex(index) ? _items[index].title : QString();
}

void PopUpButton::setItemTitle(int index, const QString& title)
{
    if (validIndex(index)) {
        _items[index].title = title;
        update();
    }
}

QStringList PopUpButton::itemTitles() const
{
    QStringList titles;
    for (const Item& item : _items)
        titles.append(item.title);
    return titles;
}

qint64 PopUpButton::itemTagAtIndex(int index) const
{
    return validIndex(index) ? _items[index].tag : 0;
}

void PopUpButton::setItemTag(int index, qint64 tag)
{
    if (validIndex(index))
        _items[index].tag = tag;
}

QVariant PopUpButton::representedObjectAtIndex(int index) const
{
    return validIndex(index) ? _items[index].representedObject : QVariant();
}

void PopUpButton::setRepresentedObject(int index, const QVariant& object)
{
    if (validIndex(index))
        _items[index].representedObject = object;
}

bool PopUpButton::isItemEnabled(int index) const
{
    return validIndex(index) && _items[index].enabled;
}

void PopUpButton::setItemEnabled(int index, bool enabled)
{
    if (validIndex(index))
        _items[index].enabled = enabled;
}

int PopUpButton::indexOfItemWithTag(qint64 tag) const
{
    for (int i = 0; i < _items.size(); ++i) {
        if (_items[i].tag == tag)
            return i;
    }
    return -1;
}

int PopUpButton::indexOfItemWithTitle(const QString& title) const
{
    for (int i = 0; i < _items.size(); ++i) {
        if (_items[i].title == title)
            return i;
    }
    return -1;
}

void PopUpButton::selectItemAtIndex(int index)
{
    _selected = validIndex(index) && !_items[index].separator ? index : -1;
    update();
}

bool PopUpButton::selectItemWithTag(qint64 tag)
{
    const int index = indexOfItemWithTag(tag);
    if (index >= 0)
        selectItemAtIndex(index);
    return index >= 0;
}

bool PopUpButton::selectItemWithTitle(const QString& title)
{
    const int index = indexOfItemWithTitle(title);
    if (index >= 0)
        selectItemAtIndex(index);
    return index >= 0;
}

QString PopUpButton::titleOfSelectedItem() const
{
    return itemTitleAtIndex(_selected);
}

qint64 PopUpButton::selectedTag() const
{
    return itemTagAtIndex(_selected);
}

QString PopUpButton::displayedTitle() const
{
    return _pullsDown ? itemTitleAtIndex(0) : titleOfSelectedItem();
}

bool PopUpButton::itemIsChoosable(int index) const
{
    if (!validIndex(index) || (_pullsDown && index == 0) || _items[index].separator)
        return false;
    if (_autoenablesItems && _validator)
        return _validator(index);
    return _items[index].enabled;
}

void PopUpButton::chooseItemAtIndex(int index)
{
    if (!itemIsChoosable(index))
        return;
    if (!_pullsDown)
        selectItemAtIndex(index);
    Q_EMIT activated(index);
}

void PopUpButton::showMenu()
{
    if (_items.isEmpty())
        return;
    QMenu menu(this);
    menu.setFont(font());
    QAction* selectedAction = nullptr;
    const qreal ratio = devicePixelRatioF();
    for (int i = _pullsDown ? 1 : 0; i < _items.size(); ++i) {
        if (_items[i].separator) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(_items[i].title);
        if (const std::shared_ptr<Image>& image = _items[i].image) {
            // Drawn at the screen's pixel ratio, so vector pictures stay sharp.
            const QSizeF points = image->size();
            QPixmap pixmap((points * ratio).toSize());
            pixmap.setDevicePixelRatio(ratio);
            pixmap.fill(Qt::transparent);
            {
                QPainter painter(&pixmap);
                GraphicsContext context(&painter, true);
                GraphicsContext::Scope scope(context);
                image->drawInRect(QRectF(QPointF(0, 0), points));
            }
            action->setIcon(QIcon(pixmap));
        }
        action->setData(i);
        action->setEnabled(itemIsChoosable(i));
        if (!_pullsDown) {
            action->setCheckable(true);
            action->setChecked(i == _selected);
            if (i == _selected)
                selectedAction = action;
        }
    }
    QAction* chosen = selectedAction ? menu.exec(mapToGlobal(QPoint(0, 0)), selectedAction)
                                     : menu.exec(mapToGlobal(QPoint(0, height())));
    setDown(false);
    if (chosen)
        chooseItemAtIndex(chosen->data().toInt());
}

QSize PopUpButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    int width = 0;
    for (const Item& item : _items)
        width = qMax(width, metrics.horizontalAdvance(item.title));
    return QSize(width + 40, metrics.height() + 8);
}

void PopUpButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    option.initFrom(this);
    option.currentText = displayedTitle();
    if (isDown())
        option.state |= QStyle::State_Sunken;
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

} // namespace platform
