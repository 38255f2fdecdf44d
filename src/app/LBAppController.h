#pragma once

#include <QObject>
#include <QPointer>

class QMainWindow;
class QSocketNotifier;

// The application delegate: sets up the process (names, clean quitting) and opens the
// first window once the event loop runs.
class LBAppController : public QObject
{
    Q_OBJECT
public:
    explicit LBAppController(QObject* parent = nullptr);
    ~LBAppController() override;

    // Organisation and application names, used by settings and the support folders.
    static void setUpApplicationIdentity();

    // Quits the event loop cleanly when the process is asked to stop (SIGTERM, SIGINT,
    // SIGHUP), so windows close and settings are written as after a normal quit.
    void quitOnTerminationSignals();

    // Opens the main window.
    void applicationDidFinishLaunching();

    QMainWindow* mainWindow() const;

private:
    void handleTerminationSignal();

    QPointer<QMainWindow> _mainWindow;
    QSocketNotifier* _signalNotifier = nullptr;
};
