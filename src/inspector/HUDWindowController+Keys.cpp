// Keys typed while the palette is the key window: what the panes' controls do not use
// acts on the canvas, so arrows, Delete and Escape work without clicking back into the
// design first; the menus' keys run the document window's items.

#include "canvas/LBGraphicView.h"
#include "inspector/HUDWindow.h"
#include "inspector/HUDWindowController.h"
#include "platform/ui/WindowController.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include <utility>

bool HUDWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return QObject::eventFilter(watched, event);
    // A pane's text field keeps its keys, also those it lets pass (Return, after it
    // committed): the same event then reaches the window.
    if (qobject_cast<QLineEdit*>(watched) || qobject_cast<QComboBox*>(watched)) {
        _textFieldKeyEvent = event;
        return false;
    }
    if (watched != _window || event == std::exchange(_textFieldKeyEvent, nullptr))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // A menu's key (Ctrl+R, Ctrl+1...) runs the document window's item, as it does from a
    // field: sent on to the canvas it ran nothing.
    if (event->type() == QEvent::KeyPress
        && platform::WindowController::performKeyEquivalentInMainWindow(key)) {
        _menuKey = key->key();
        return true;
    }
    if (event->type() == QEvent::KeyRelease && key->key() == std::exchange(_menuKey, 0))
        return true;
    const bool newline = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (newline && event->type() == QEvent::KeyPress)
        insertNewline();
    else if (!newline)
        keyDown(key); // the release too: a typed key starts text editing on its release
    return true;
}

void HUDWindowController::watchKeysOfTextFields(QWidget* pane)
{
    for (QLineEdit* field : pane->findChildren<QLineEdit*>())
        field->installEventFilter(this);
    for (QComboBox* box : pane->findChildren<QComboBox*>())
        if (box->isEditable())
            box->installEventFilter(this);
}

void HUDWindowController::keyDown(QKeyEvent* event)
{
    LBGraphicView* canvas = graphicView();
    if (!canvas)
        return;
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(),
                   event->isAutoRepeat(), ushort(event->count()));
    QCoreApplication::sendEvent(canvas, &copy);
}

void HUDWindowController::insertNewline()
{
    LBGraphicView* canvas = graphicView();
    if (_forceSelectCropTools && canvas && canvas->croppingImage())
        canvas->finishCroppingImage();
}
