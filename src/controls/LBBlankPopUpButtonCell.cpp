#include "controls/LBBlankPopUpButtonCell.h"

#include <QMenu>
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

void LBBlankPopUpButtonCell::queueRemoval()
{
    PopUpMenuOwner* owner = _graphicView ? _graphicView : _createController;
    if (!owner)
        return;
    // After the menu has closed: the owner deletes the pop-up button, and with it the menu.
    QTimer::singleShot(0, this, [owner] { owner->removeTextPopupButton(); });
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
