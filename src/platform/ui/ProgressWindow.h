#pragma once

// A progress window for work that runs on the main thread: a title, a message, and a bar
// from 0 to a maximum, or an indeterminate one. Started on a document window it is a sheet
// of that window; without one it is a small window of its own. Each change redraws the
// window at once, since the work that drives it keeps the event loop from running.
//
// startProgressWindowWithTitle() hands out a window that lives until endProgressWindow();
// callers that get none go on without one.
//
// Tests watch progress through a monitor set for the process: it sees every window's state
// after each change.

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace platform {

class ProgressWindow
{
public:
    enum class Change { Started, Value, Message, Indeterminate, Ended };
    using Monitor = std::function<void(const ProgressWindow& window, Change change)>;

    // nullptr when no window can be shown (no application with a screen).
    static ProgressWindow* startProgressWindowWithTitle(const QString& title, double maximum,
                                                        QWidget* documentWindow);

    void setValue(double value);
    void setMessage(const QString& message);
    void setIndeterminate(bool indeterminate);
    // Closes the window; the object is gone after the call.
    void endProgressWindow();

    QString title() const { return _title; }
    double maximum() const { return _maximum; }
    double value() const { return _value; }
    QString message() const { return _message; }
    bool isIndeterminate() const { return _indeterminate; }

    static void setMonitor(Monitor monitor);

private:
    struct Widgets;
    ProgressWindow(const QString& title, double maximum, QWidget* documentWindow);
    ~ProgressWindow();
    void changed(Change change);

    QString _title;
    double _maximum;
    double _value = 0;
    QString _message;
    bool _indeterminate = false;
    std::unique_ptr<Widgets> _widgets;
};

} // namespace platform
