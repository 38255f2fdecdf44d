#include "platform/ui/Responder.h"

#include <QAction>
#include <QVariant>

namespace platform {

namespace {
Responder* theLastResponder = nullptr;
const char* const TagProperty = "tag";
} // namespace

QString actionSelector(const QAction* action)
{
    return action ? action->objectName() : QString();
}

void setActionSelector(QAction* action, const QString& selector)
{
    action->setObjectName(selector);
}

qint64 actionTag(const QObject* sender)
{
    return sender ? sender->property(TagProperty).toLongLong() : 0;
}

void setActionTag(QAction* action, qint64 tag)
{
    action->setProperty(TagProperty, tag);
}

void setActionState(QAction* action, bool on)
{
    action->setCheckable(true);
    action->setChecked(on);
}

Responder::~Responder()
{
    if (theLastResponder == this)
        theLastResponder = nullptr;
}

bool Responder::respondsToSelector(const QString& selector) const
{
    return _commands.contains(selector);
}

bool Responder::tryToPerform(const QString& selector, QObject* sender)
{
    const auto found = _commands.constFind(selector);
    if (found == _commands.constEnd())
        return false;
    // A copy: the command may replace the table (or end this responder's commands).
    const Command command = found.value();
    command(sender);
    return true;
}

bool Responder::validateMenuItem(QAction* item)
{
    Q_UNUSED(item);
    return true;
}

void Responder::addCommand(const QString& selector, Command command)
{
    _commands.insert(selector, std::move(command));
}

void Responder::removeCommand(const QString& selector)
{
    _commands.remove(selector);
}

void Responder::setLastResponder(Responder* responder)
{
    theLastResponder = responder;
}

Responder* Responder::lastResponder()
{
    return theLastResponder;
}

Responder* Responder::targetForSelector(const QList<Responder*>& chain, const QString& selector)
{
    if (selector.isEmpty())
        return nullptr;
    for (Responder* responder : chain) {
        if (responder && responder->respondsToSelector(selector))
            return responder;
    }
    return nullptr;
}

bool Responder::validateItem(const QList<Responder*>& chain, QAction* action)
{
    Responder* target = targetForSelector(chain, actionSelector(action));
    const bool enabled = target && target->validateMenuItem(action);
    action->setEnabled(enabled);
    return enabled;
}

bool Responder::sendAction(const QList<Responder*>& chain, QAction* action)
{
    const QString selector = actionSelector(action);
    Responder* target = targetForSelector(chain, selector);
    if (!target || !target->validateMenuItem(action)) {
        action->setEnabled(false);
        return false;
    }
    return target->tryToPerform(selector, action);
}

} // namespace platform
