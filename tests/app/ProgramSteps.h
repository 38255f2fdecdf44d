#pragma once

// What a user does with the program's windows, free of any test framework so that the
// tests and the screenshot tools drive the windows the same way: waiting for deferred
// steps, choosing menu items as the menu validates them, and answering file panels.

#include "FilePanelAnswer.h"
#include "platform/ui/Drag.h"
#include "platform/ui/WindowController.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDropEvent>
#include <QFileDialog>
#include <QAbstractItemModel>
#include <QFileInfo>
#include <QTest>
#include <QTreeView>
#include <QWidget>

// Lets the steps deferred to later turns of the event loop run.
inline void settle(int milliseconds = 50)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

namespace steps {

// Chooses the window's menu bar item as a user does: validated as its menu opens, then
// triggered; false when it is missing or disabled.
inline bool choose(platform::WindowController& window, const char* selector, qint64 tag = 0)
{
    window.validateMenus();
    QAction* item = window.menuItemWithSelector(QLatin1String(selector), tag);
    if (!item || !item->isEnabled())
        return false;
    item->trigger();
    settle();
    return true;
}

// The panel of that kind open on the window (window-modal, as the user sees it); nullptr
// when none is.
template <typename Panel = QFileDialog>
Panel* openPanel(const QWidget* window)
{
    for (Panel* panel : window->findChildren<Panel*>()) {
        if (panel->isVisible())
            return panel;
    }
    return nullptr;
}

// Answers the file panel as a user does: goes to the file's folder, types its name into
// the name field and clicks the panel's default button; false when the panel has no name
// field.
inline bool answerPanel(QFileDialog* panel, const QString& path)
{
    const QFileInfo file(path);
    panel->setDirectory(file.absolutePath());
    if (!typeIntoFilePanel(panel, file.fileName()))
        return false;
    static_cast<QDialog*>(panel)->accept();
    settle();
    return true;
}

// The row of the outline showing the name, its parents expanded on the way as a user
// opens them; invalid when none shows it.
inline QModelIndex rowNamed(QTreeView* outline, const QString& name, const QModelIndex& parent = {})
{
    QAbstractItemModel* model = outline->model();
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        if (model->data(index).toString() == name)
            return index;
        if (model->hasChildren(index)) {
            outline->expand(index);
            if (const QModelIndex found = rowNamed(outline, name, index); found.isValid())
                return found;
        }
    }
    return {};
}

// The next drag the program starts ends on the target at that point: the drop events
// reach it there, as the system's drag would deliver them.
inline void dropNextDragOn(QWidget* target, QPoint at, Qt::DropActions actions)
{
    platform::Drag::setRunner([target, at, actions](platform::Drag& drag) {
        QDragEnterEvent enter(at, actions, drag.mimeData(), Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at, actions, drag.mimeData(), Qt::LeftButton, {});
        QApplication::sendEvent(target, &move);
        QDropEvent drop(at, actions, drag.mimeData(), Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    });
}

// Drags the view's row with the mouse: pressed, moved a little with the button down and
// released, which starts the view's drag; the drag's ending is dropNextDragOn()'s.
inline void dragRow(QAbstractItemView* view, const QModelIndex& row)
{
    const QPoint from = view->visualRect(row).center();
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(view->viewport(), from + QPoint(30, 8));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, from + QPoint(30, 8));
    platform::Drag::setRunner({});
    settle();
}

} // namespace steps
