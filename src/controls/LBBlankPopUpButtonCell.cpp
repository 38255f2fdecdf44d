#include "controls/LBBlankPopUpButtonCell.h"

#include <QMenu>
#include <QPoint>
#include <QTimer>

PopUpMenuOwner::~PopUpMenuOwner() = default;

LBBlankPopUpButtonCell::LBBlankPopUpButtonCell(QObject* parent) : QObject(parent)
{}

LBBlankPopUpButtonCell::~LBBlankPopUpButtonCell() = default;

void LBBlankPopUpButtonCell::setMenu(QMenu* menu)
{
    if (_menu)
        disconnect(_menu, nullptr, this, nullptr);
    _menu = menu;
    if (_menu)
        connect(_menu, &QMenu::aboutToHide, this, &LBBlankPopUpButtonCell::dismissPopUp);
}

QMenu* LBBlankPopUpButtonCell::menu() const
{
    return _menu;
}

PopUpMenuOwner* LBBlankPopUpButtonCell::owner() const
{
    return _graphicView ? _graphicView : _createController;
}

void LBBlankPopUpButtonCell::popUp(const QPoint& globalPosition, QAction* atAction)
{
    becomeOwnersPopUp();
    if (_menu)
        _menu->popup(globalPosition, atAction);
}

void LBBlankPopUpButtonCell::becomeOwnersPopUp()
{
    if (PopUpMenuOwner* shownBy = owner())
        shownBy->_shownPopUpCell = this;
}

void LBBlankPopUpButtonCell::queueRemoval()
{
    if (!owner())
        return;
    // After the menu has closed (and its choice is handled): the owner deletes the pop-up
    // button, and with it the menu, unless a newer pop-up of its own is showing by then.
    QTimer::singleShot(0, this, [this] {
        PopUpMenuOwner* shownBy = owner();
        if (!shownBy)
            return;
        if (shownBy->_shownPopUpCell && shownBy->_shownPopUpCell != this)
            return;
        shownBy->_shownPopUpCell = nullptr;
        shownBy->removeTextPopupButton();
    });
}

void LBBlankPopUpButtonCell::dismissPopUp()
{
    if (_dismissing)
        return;
    _dismissing = true;
    queueRemoval();
    if (_menu && _menu->isVisible())
        _menu->close();
    _dismissing = false;
}
