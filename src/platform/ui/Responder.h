#pragma once

// Commands by name. A menu item or toolbar button is a QAction that carries a selector
// (the command's name, "bringForward:"); a trigger goes to the first responder of a chain
// that answers the selector, and the same responder decides whether the item is enabled,
// and may retitle or mark it, when the item is validated.
//
// A window's chain (WindowController::responderChain()) is: the responder of the focused
// widget (of the focus widget or its nearest ancestor that has one, inside the window;
// WindowController::responderForWidget()), the window's controller, its document, then the last responder the
// application sets (setLastResponder()). A responder answers the selectors it registered
// with addCommand(); an item nobody answers is disabled.
//
// Responders are not owned by the chain; the last responder must outlive its use or be
// reset to nullptr.

#include <QHash>
#include <QList>
#include <QString>

#include <functional>

class QAction;
class QObject;

namespace platform {

// The selector an action carries (its object name); empty when none.
QString actionSelector(const QAction* action);
void setActionSelector(QAction* action, const QString& selector);
// The action's tag (its property "tag", 0 when none); commands read it from their sender.
qint64 actionTag(const QObject* sender);
void setActionTag(QAction* action, qint64 tag);
// Shows or clears the item's check mark; the item becomes checkable.
void setActionState(QAction* action, bool on);

class Responder
{
public:
    using Command = std::function<void(QObject* sender)>;

    virtual ~Responder();

    bool respondsToSelector(const QString& selector) const;
    // Runs the command with the sender; false (and nothing run) when it is not answered.
    bool tryToPerform(const QString& selector, QObject* sender);
    // Whether the item, whose selector this responder answers, is enabled; may set its
    // title and check mark. The default enables it.
    virtual bool validateMenuItem(QAction* item);

    // The responder after the windows' own ones (the application's controller); not
    // owned, nullptr for none.
    static void setLastResponder(Responder* responder);
    static Responder* lastResponder();

    // The first of the chain that answers the selector; nullptr when none does.
    static Responder* targetForSelector(const QList<Responder*>& chain, const QString& selector);
    // Sends the action's selector with the action as sender to the first responder that
    // answers it, after validating it there: a disabled item does nothing. False when
    // nothing ran.
    static bool sendAction(const QList<Responder*>& chain, QAction* action);
    // Enables the item as its target decides; disables it when nobody answers it.
    static bool validateItem(const QList<Responder*>& chain, QAction* action);

protected:
    // Registers (or replaces) the command run for the selector.
    void addCommand(const QString& selector, Command command);
    void removeCommand(const QString& selector);

private:
    QHash<QString, Command> _commands;
};

} // namespace platform
