#pragma once

// Runs an action once a window has been painted for the first time, on the turn of the
// event loop after that paint (so the window is on the screen first): for work the window
// does not need to show itself. The action runs at once when the window goes unpainted,
// and never once its context object is gone. Owned by the window.

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace platform {

class AfterFirstPaint : public QObject
{
public:
    AfterFirstPaint(QWidget* window, QObject* context, std::function<void()> action);
    ~AfterFirstPaint() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void run();

    QPointer<QObject> _context;
    std::function<void()> _action;
};

} // namespace platform
