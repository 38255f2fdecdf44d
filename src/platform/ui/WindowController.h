#pragma once

// A controller that shows a document in a window. The document owns the controller (Qt
// parent) and tells it when its edited state changes; the controller owns its window.
//
// A controller made with a window name has a window: a QMainWindow made on the first call
// of window(), after which windowDidLoad() runs once. One made without a name has none,
// and there is nothing to mark or close.
//
// Closing the window closes the document. When the document is edited, the window first
// asks, in a sheet, whether to save it: Save (then closes once it is saved), Don't Save
// (closes, dropping the changes) or Cancel (keeps the window).
//
// Activation: a window that becomes the active window becomes key (windowDidBecomeKey())
// and, unless it is already, main (windowDidBecomeMain(), after the previous main
// window's windowDidResignMain()). When it stops being active it resigns key at once and
// resigns main unless the window activated in its place is one of its sheets or a tool
// window of the program, which leave the main window main. windowWillClose() runs as the
// window closes.
//
// Commands: the controller is a responder (Responder.h) of its window's chain, between the
// focused widget's responder and the document. A menu table given to setMenuTable() makes
// the window's menu bar; its items are validated through the chain whenever a menu is
// about to show and on validateMenus() (after selection, focus and mode changes), so a
// disabled item's shortcut does nothing.
//
// Frame autosave: with a name set, the window takes the frame last saved under that name
// and saves its frame in the user defaults whenever it moves or changes size, and as it
// closes.

#include "platform/ui/MenuTable.h"
#include "platform/ui/Responder.h"

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

class QKeyEvent;

namespace platform {

class Document;

class WindowController : public QObject, public Responder
{
    Q_OBJECT
public:
    // Without a window.
    explicit WindowController(QObject* parent = nullptr);
    // With a window of that name, made on first use.
    explicit WindowController(const QString& windowName, QObject* parent = nullptr);
    // Deletes the window.
    ~WindowController() override;

    // The document shown; set by Document::addWindowController(), not owned.
    Document* document() const { return _document; }
    virtual void setDocument(Document* document) { _document = document; }

    QString windowName() const { return _windowName; }
    // The window, made (and windowDidLoad() run) on first use; nullptr for a controller
    // without a window.
    virtual QWidget* window() const;
    // The same window as a main window.
    QMainWindow* mainWindow() const;
    bool isWindowLoaded() const { return _window != nullptr; }
    // Shows the window in front and activates it.
    void showWindow();

    // Shows the document's edited state in the window (its modified mark).
    virtual void setDocumentEdited(bool edited);
    // Hands the document what the window still holds in an editor of its own, before the
    // document is saved or asked whether it may close; nothing to hand by default.
    virtual void commitEditing() {}
    // The window's title: the document's display name.
    void synchronizeWindowTitleWithDocumentName();
    // Titles the window, with the place where its edited mark shows (Qt's "[*]").
    void setWindowTitle(const QString& title);

    // Closes the window without asking (the document is closing).
    virtual void close();
    // What the window's close button does: asks about an edited document as described
    // above, then closes the document (or, without one, the window).
    void performClose();

    // The frame autosave name; an empty one stops saving. Setting a name on a loaded
    // window gives it the frame saved under the name, when there is one.
    QString windowFrameAutosaveName() const { return _frameAutosaveName; }
    void setWindowFrameAutosaveName(const QString& name);
    // The user-defaults key under which the frame of that name is saved.
    static QString frameDefaultsKey(const QString& name);

    // --- Commands ---
    // The responders a command of this window goes through, first to last: the focused
    // widget's, this controller, the document, the last responder (absent ones left out).
    QList<Responder*> responderChain() const;
    // The responder standing for the widget in the chain: the widget itself when it is a
    // Responder; subclasses add responders for widgets of higher layers. nullptr if none.
    virtual Responder* responderForWidget(QWidget* widget) const;
    // Sends the action's selector through the chain, then tells actionPerformed(); false
    // when nothing ran.
    bool performAction(QAction* action);
    // Builds the window's menu bar from the table (kept for updateMenuItems()).
    void setMenuTable(const QList<MenuSpec>& table);
    // Brings the items the menus add of their own up to date (MenuSpec::updateItems) and
    // validates every item.
    void updateMenuItems();
    // Validates every item of the menu bar (and of its submenus) through the chain.
    void validateMenus();
    // Validates the items of one menu.
    void validateMenu(QMenu* menu);
    // The menu bar's item whose selector (and, when not 0, tag) is given; nullptr if none.
    QAction* menuItemWithSelector(const QString& selector, qint64 tag = 0) const;

    // The controller whose window is main; nullptr when none is.
    static WindowController* mainWindowController();
    // A key pressed in a palette or other tool window that nothing there took: the main
    // window's menu item with that key runs as if pressed in the main window (validated
    // first; a disabled one takes the key and does nothing). Keys without Ctrl, Alt or
    // Meta stay with the palette. False when no item has the key.
    static bool performKeyEquivalentInMainWindow(const QKeyEvent* event);
    // Whether a key typed into a text field is first the menus': a command key (Ctrl or Meta)
    // on a character, apart from the editing commands every field has (select all, cut,
    // copy, paste, undo, redo). Some platforms bind moves to such keys (Ctrl+E to the end of
    // the line, Ctrl+D to delete); a field does those only when no menu item has the key.
    static bool menuKeyComesFirst(const QKeyEvent* event);
    // Makes such keys, typed into a line edit of the palette, run the main window's menu
    // items: the field would otherwise keep the keys its platform binds to moves.
    static void forwardMenuKeysFromFields(QWidget* palette);

    // The texts of the question asked before an edited document's window closes.
    static QString closeQuestionMessage(const QString& documentName);
    static QString closeQuestionInformativeText();

protected:
    // After the window is made.
    virtual void windowDidLoad() {}
    // After a command of the window's menus (or their keys) ran: what shows the state of
    // the commands outside the menus (a toolbar) is brought up to date here, since a
    // command may change what the others do without changing the selection.
    virtual void actionPerformed(QAction* action) { (void)action; }
    virtual void windowDidBecomeKey() {}
    virtual void windowDidResignKey() {}
    virtual void windowDidBecomeMain() {}
    virtual void windowDidResignMain() {}
    virtual void windowWillClose() {}
    // The window's content changed size, or it moved.
    virtual void windowDidResize() {}
    virtual void windowDidMove() {}
    // A key event reached the window with these modifier keys changed.
    virtual void flagsChanged(Qt::KeyboardModifiers modifiers) { (void)modifiers; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadWindow();
    void becomeActive();
    void resignActive();
    void checkMainAfterDeactivation();
    void closeApproved();
    void saveFrame() const;
    // Validates the menu bar's items that have the key as their shortcut.
    void validateMenuItemsForKey(const QKeyEvent* event);

    Document* _document = nullptr;
    QString _windowName;
    QMainWindow* _window = nullptr; // nulled if something else deletes it
    QString _frameAutosaveName;
    QList<MenuSpec> _menuTable;
    bool _closeApproved = false;
    bool _focusObserved = false;
    bool _asking = false;
};

} // namespace platform
