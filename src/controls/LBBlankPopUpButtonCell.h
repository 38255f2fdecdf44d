#pragma once

// The pop-up that shows a menu at a point on the canvas or in preview mode. The owner that
// made the pop-up button removes it once the menu has closed: the cell asks it to on the
// next turn of the event loop, the canvas when one is set, else the preview controller.

#include <QObject>
#include <QPointer>

class LBBlankPopUpButtonCell;
class QAction;
class QMenu;
class QPoint;

// What owns a pop-up button shown for a menu: the canvas and the preview controller.
class PopUpMenuOwner
{
public:
    virtual ~PopUpMenuOwner();
    virtual void removeTextPopupButton() = 0;

private:
    friend class LBBlankPopUpButtonCell;
    // The cell whose menu the owner popped up last: a menu that closed after another took
    // its place must not take the new one's button with it.
    QPointer<LBBlankPopUpButtonCell> _shownPopUpCell;
};

class LBBlankPopUpButtonCell : public QObject
{
    Q_OBJECT
public:
    explicit LBBlankPopUpButtonCell(QObject* parent = nullptr);
    ~LBBlankPopUpButtonCell() override;

    // Neither is owned; each must outlive the cell or be unset first.
    void setGraphicView(PopUpMenuOwner* graphicView) { _graphicView = graphicView; }
    void setCreateController(PopUpMenuOwner* createController)
    {
        _createController = createController;
    }

    // The menu the cell shows; its closing dismisses the pop-up.
    void setMenu(QMenu* menu);
    QMenu* menu() const;

    // Opens the menu at the point (global coordinates), with atAction (or no item) under
    // the pointer, as the owner's current pop-up.
    void popUp(const QPoint& globalPosition, QAction* atAction = nullptr);
    // Makes this the owner's current pop-up without opening the menu.
    void becomeOwnersPopUp();

    // Queues the owner's removal of the pop-up button, then closes the menu. The removal
    // is skipped when another cell of the same owner has popped up in the meantime.
    void dismissPopUp();

private:
    // The canvas when one is set, else the preview controller.
    PopUpMenuOwner* owner() const;
    void queueRemoval();

    PopUpMenuOwner* _graphicView = nullptr;
    PopUpMenuOwner* _createController = nullptr;
    QPointer<QMenu> _menu;
    bool _dismissing = false;
};
