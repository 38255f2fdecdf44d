#include "platform/ui/AfterFirstPaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace platform {

AfterFirstPaint::AfterFirstPaint(QWidget* window, QObject* context, std::function<void()> action)
    : QObject(window), _context(context), _action(std::move(action))
{
    window->installEventFilter(this);
}

AfterFirstPaint::~AfterFirstPaint()
{
    run();
}

bool AfterFirstPaint::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Paint) {
        run();
        deleteLater();
    }
    return false;
}

void AfterFirstPaint::run()
{
    if (!_action)
        return;
    if (_context)
        QTimer::singleShot(0, _context, std::move(_action));
    _action = nullptr;
}

} // namespace platform
