#include "platform/ui/WindowController.h"

#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Document.h"
#include "platform/ui/MenuTable.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

#include <utility>

namespace platform {

namespace {
WindowController* mainController = nullptr;

QString dialogString(const QString& key)
{
    return LocalizedString(key, QStringLiteral("DialogStrings"));
}

// The key of a key event as a menu item's shortcut names it.
QKeySequence shortcutOf(const QKeyEvent* event)
{
    return QKeySequence(
        QKeyCombination(event->modifiers() & ~Qt::KeypadModifier, Qt::Key(event->key())));
}

// The menu bar's commands (no submenus) that have the key as a shortcut, with their menus.
QList<std::pair<QMenu*, QAction*>> itemsWithShortcut(QMainWindow* window, const QKeySequence& keys)
{
    QList<std::pair<QMenu*, QAction*>> items;
    for (QMenu* menu : window->menuBar()->findChildren<QMenu*>())
        for (QAction* action : menu->actions())
            if (!action->menu() && action->shortcuts().contains(keys))
                items.append({menu, action});
    return items;
}
} // namespace

WindowController::WindowController(QObject* parent) : QObject(parent)
{
    addCommand(QStringLiteral("performClose:"), [this](QObject*) { performClose(); });
}

WindowController::WindowController(const QString& windowName, QObject* parent)
    : WindowController(parent)
{
    _windowName = windowName;
}

WindowController::~WindowController()
{
    if (mainController == this)
        mainController = nullptr;
    if (_window) {
        _window->removeEventFilter(this);
        delete std::exchange(_window, nullptr);
    }
}

QWidget* WindowController::window() const
{
    if (!_window && !_windowName.isEmpty())
        const_cast<WindowController*>(this)->loadWindow();
    return _window;
}

QMainWindow* WindowController::mainWindow() const
{
    return qobject_cast<QMainWindow*>(window());
}

void WindowController::loadWindow()
{
    _window = new QMainWindow;
    _window->setObjectName(_windowName);
    connect(_window, &QObject::destroyed, this, [this] { _window = nullptr; });
    _window->installEventFilter(this);
    // A new focus inside the window may change who answers the menus' commands.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (_window && now && now->window() == _window)
            validateMenus();
    });
    synchronizeWindowTitleWithDocumentName();
    if (!_frameAutosaveName.isEmpty())
        setWindowFrameAutosaveName(_frameAutosaveName);
    windowDidLoad();
}

QList<Responder*> WindowController::responderChain() const
{
    QList<Responder*> chain;
    if (_window) {
        for (QWidget* widget = _window->focusWidget(); widget; widget = widget->parentWidget()) {
            if (Responder* responder = responderForWidget(widget)) {
                chain.append(responder);
                break;
            }
            if (widget == _window)
                break;
        }
    }
    chain.append(const_cast<WindowController*>(this));
    if (_document)
        chain.append(_document);
    if (Responder* last = Responder::lastResponder())
        chain.append(last);
    return chain;
}

Responder* WindowController::responderForWidget(QWidget* widget) const
{
    return dynamic_cast<Responder*>(widget);
}

bool WindowController::performAction(QAction* action)
{
    // A command may close the window and let go of its controller.
    const QPointer<WindowController> self(this);
    if (!Responder::sendAction(responderChain(), action))
        return false;
    if (self)
        actionPerformed(action);
    return true;
}

void WindowController::setMenuTable(const QList<MenuSpec>& table)
{
    QMainWindow* main = mainWindow();
    if (!main)
        return;
    _menuTable = table;
    QMenuBar* bar = main->menuBar();
    buildMenuBar(bar, table);
    const QList<QMenu*> menus = bar->findChildren<QMenu*>();
    for (QMenu* menu : menus)
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { validateMenu(menu); });
    // A top-level menu hears every item of its own and of its submenus, by shortcut too.
    for (QAction* top : bar->actions()) {
        if (QMenu* menu = top->menu()) {
            connect(menu, &QMenu::triggered, this, [this](QAction* action) {
                if (!action->menu() && !actionSelector(action).isEmpty())
                    performAction(action);
            });
        }
    }
    validateMenus();
}

void WindowController::updateMenuItems()
{
    if (!_window)
        return;
    for (QAction* top : mainWindow()->menuBar()->actions()) {
        QMenu* menu = top->menu();
        if (!menu)
            continue;
        const QString title = menu->property("menuTitle").toString();
        if (const MenuSpec* spec = findMenu(_menuTable, title); spec && spec->updateItems)
            spec->updateItems(menu);
    }
    validateMenus();
}

void WindowController::validateMenu(QMenu* menu)
{
    const QList<Responder*> chain = responderChain();
    for (QAction* action : menu->actions()) {
        if (!actionSelector(action).isEmpty())
            Responder::validateItem(chain, action);
    }
}

void WindowController::validateMenus()
{
    if (!_window)
        return;
    const QList<QMenu*> menus = mainWindow()->menuBar()->findChildren<QMenu*>();
    for (QMenu* menu : menus)
        validateMenu(menu);
}

void WindowController::validateMenuItemsForKey(const QKeyEvent* event)
{
    if (!_window || event->key() == Qt::Key_unknown)
        return;
    QList<Responder*> chain;
    for (const auto& [menu, action] : itemsWithShortcut(mainWindow(), shortcutOf(event))) {
        if (actionSelector(action).isEmpty())
            continue;
        if (chain.isEmpty())
            chain = responderChain();
        Responder::validateItem(chain, action);
    }
}

QAction* WindowController::menuItemWithSelector(const QString& selector, qint64 tag) const
{
    if (!_window)
        return nullptr;
    const QList<QMenu*> menus = mainWindow()->menuBar()->findChildren<QMenu*>();
    for (QMenu* menu : menus) {
        for (QAction* action : menu->actions()) {
            if (actionSelector(action) == selector && (!tag || actionTag(action) == tag))
                return action;
        }
    }
    return nullptr;
}

bool WindowController::menuKeyComesFirst(const QKeyEvent* event)
{
    using Key = QKeySequence;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (!(modifiers & (Qt::ControlModifier | Qt::MetaModifier)) || event->key() >= Qt::Key_Escape)
        return false;
    for (const Key::StandardKey own :
         {Key::SelectAll, Key::Copy, Key::Cut, Key::Paste, Key::Undo, Key::Redo}) {
        if (event->matches(own))
            return false;
    }
    return true;
}

namespace {

const char* const forwardsMenuKeysProperty = "forwardsMenuKeysFromFields";

// Watches the line edits of palettes that get the focus: a menu key typed into one runs
// the main window's item before the field takes the key for a move.
class FieldMenuKeys : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (WindowController::menuKeyComesFirst(key)
                && WindowController::performKeyEquivalentInMainWindow(key))
                return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void WindowController::forwardMenuKeysFromFields(QWidget* palette)
{
    static FieldMenuKeys* const filter = [] {
        auto* keys = new FieldMenuKeys(qApp);
        QObject::connect(qApp, &QApplication::focusChanged, keys, [keys](QWidget*, QWidget* now) {
            if (qobject_cast<QLineEdit*>(now)
                && now->window()->property(forwardsMenuKeysProperty).toBool())
                now->installEventFilter(keys);
        });
        return keys;
    }();
    Q_UNUSED(filter);
    palette->setProperty(forwardsMenuKeysProperty, true);
}

bool WindowController::performKeyEquivalentInMainWindow(const QKeyEvent* event)
{
    WindowController* main = mainWindowController();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (!main || !main->_window
        || !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const auto items = itemsWithShortcut(main->mainWindow(), shortcutOf(event));
    if (items.isEmpty())
        return false;
    const auto& [menu, action] = items.first();
    main->validateMenu(menu);
    if (action->isEnabled())
        action->trigger();
    return true;
}

void WindowController::showWindow()
{
    if (QWidget* w = window()) {
        w->show();
        w->raise();
        w->activateWindow();
    }
}

void WindowController::setDocumentEdited(bool edited)
{
    if (QWidget* w = window())
        w->setWindowModified(edited);
}

void WindowController::synchronizeWindowTitleWithDocumentName()
{
    if (_window && _document)
        setWindowTitle(_document->displayName());
}

void WindowController::setWindowTitle(const QString& title)
{
    if (QWidget* w = window())
        w->setWindowTitle(title + QStringLiteral("[*]"));
}

void WindowController::close()
{
    _closeApproved = true;
    // A window of our own, or the one a subclass shows.
    QWidget* w = _windowName.isEmpty() ? window() : _window;
    if (w && w->isVisible())
        w->close(); // (within the window's own closing, that closing goes on)
    else if (_window)
        windowWillClose();
}

QString WindowController::closeQuestionMessage(const QString& documentName)
{
    return dialogString(
               QStringLiteral(
                   "Do you want to save the changes you made in the document \u201c%1\u201d?"))
        .arg(documentName);
}

QString WindowController::closeQuestionInformativeText()
{
    return dialogString(QStringLiteral("Your changes will be lost if you don\u2019t save them."));
}

void WindowController::performClose()
{
    if (_asking)
        return;
    Document* doc = _document;
    if (!doc) {
        closeApproved();
        return;
    }
    _asking = true;
    QPointer<WindowController> self(this);
    doc->canCloseDocument([self](bool shouldClose) {
        if (!self)
            return;
        self->_asking = false;
        if (shouldClose)
            self->closeApproved();
    });
}

void WindowController::closeApproved()
{
    if (Document* doc = _document)
        doc->close(); // closes the window through close()
    else
        close();
}

void WindowController::setWindowFrameAutosaveName(const QString& name)
{
    _frameAutosaveName = name;
    if (!_window || name.isEmpty())
        return;
    const QString saved = UserDefaults::standardUserDefaults().stringForKey(frameDefaultsKey(name));
    const QRect frame = rectFromString(saved).toRect();
    if (!saved.isEmpty() && frame.width() > 0 && frame.height() > 0)
        _window->setGeometry(frame);
}

QString WindowController::frameDefaultsKey(const QString& name)
{
    return QStringLiteral("Window Frame ") + name;
}

void WindowController::saveFrame() const
{
    if (!_window || _frameAutosaveName.isEmpty())
        return;
    UserDefaults::standardUserDefaults().setObject(stringFromRect(QRectF(_window->geometry())),
                                                   frameDefaultsKey(_frameAutosaveName));
}

WindowController* WindowController::mainWindowController()
{
    return mainController;
}

void WindowController::becomeActive()
{
    windowDidBecomeKey();
    if (mainController == this)
        return;
    if (WindowController* previous = mainController) {
        mainController = nullptr;
        previous->windowDidResignMain();
    }
    mainController = this;
    windowDidBecomeMain();
}

void WindowController::resignActive()
{
    windowDidResignKey();
    // The window activated in its place is known once the activation is done.
    QTimer::singleShot(0, this, &WindowController::checkMainAfterDeactivation);
}

void WindowController::checkMainAfterDeactivation()
{
    if (mainController != this || !_window)
        return;
    QWidget* active = QApplication::activeWindow();
    if (active == _window)
        return;
    if (active) {
        const bool tool = active->windowType() == Qt::Tool;
        const QWidget* owner = active->parentWidget() ? active->parentWidget()->window() : nullptr;
        if (tool || owner == _window)
            return;
    }
    mainController = nullptr;
    windowDidResignMain();
}

bool WindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != _window)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Close:
        if (!_closeApproved) {
            // Closing may be approved at once (a clean document) or later, from the sheet.
            performClose();
            if (!_closeApproved) {
                event->ignore();
                return true;
            }
        }
        saveFrame();
        windowWillClose();
        _closeApproved = false;
        break;
    case QEvent::WindowActivate: becomeActive(); break;
    case QEvent::WindowDeactivate: resignActive(); break;
    case QEvent::Move:
        if (_window->isVisible()) {
            saveFrame();
            windowDidMove();
        }
        break;
    case QEvent::Resize:
        if (_window->isVisible())
            saveFrame();
        windowDidResize();
        break;
    case QEvent::ShortcutOverride:
        // No widget inside keeps the key: it may be a menu item's, which fires at once with no
        // menu shown to validate it, so the item is validated for the focus as it is now.
        validateMenuItemsForKey(static_cast<QKeyEvent*>(event));
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // The modifiers as they are once the key went down or up.
        auto* key = static_cast<QKeyEvent*>(event);
        Qt::KeyboardModifier changed = Qt::NoModifier;
        switch (key->key()) {
        case Qt::Key_Shift: changed = Qt::ShiftModifier; break;
        case Qt::Key_Control: changed = Qt::ControlModifier; break;
        case Qt::Key_Alt: changed = Qt::AltModifier; break;
        case Qt::Key_Meta: changed = Qt::MetaModifier; break;
        default: break;
        }
        if (changed != Qt::NoModifier) {
            Qt::KeyboardModifiers modifiers = key->modifiers();
            modifiers.setFlag(changed, event->type() == QEvent::KeyPress);
            flagsChanged(modifiers);
        }
        break;
    }
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace platform
