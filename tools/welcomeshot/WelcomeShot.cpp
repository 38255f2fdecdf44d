// Developer tool: the welcome window's two pages, the smart-template help window and the
// preference panes, saved as PNGs of the windows as the screen shows them.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/test/tools/welcomeshot <folder>

#include "ShotSupport.h"
#include "app/LBAppController.h"
#include "app/LBHelpWindowController.h"
#include "app/LBWelcomeWindowController.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/PreferencesWindow.h"

#include <QApplication>
#include <QDir>
#include <QWidget>

#include <cstdio>

namespace {

// The window with its frame, as the screen shows it.
bool shoot(QWidget* window, const QString& path)
{
    shots::settle(300);
    return shots::grabFrame(window, path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: welcomeshot <folder>\n");
        return 2;
    }
    const shots::TemporaryHome home;
    QApplication application(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    // A build with both web pages, and a second showing (the check box offered).
    LBWelcomeWindowController::setPageURLsForTesting(QStringLiteral("https://example.com/videos"),
                                                     QStringLiteral("https://example.com/kits"));
    platform::UserDefaults::standardUserDefaults().setBool(
        true, QStringLiteral("WelcomeWindowAlreadyShown"));

    bool saved = true;
    LBWelcomeWindowController welcome(true);
    welcome.showWindow();
    saved &= shoot(welcome.window(), folder + QStringLiteral("/welcome-page1.png"));
    welcome.continueAction();
    shots::settle(600); // the pages slide for half a second
    saved &= shoot(welcome.window(), folder + QStringLiteral("/welcome-page2.png"));
    welcome.closeWelcomeWindowAction();

    LBHelpWindowController help;
    help.showViewIndex(1, QStringLiteral("Smart Template Instructions"));
    help.showWindow();
    saved &= shoot(help.window(), folder + QStringLiteral("/help-window.png"));

    LBAppController::registerDefaults();
    const std::unique_ptr<platform::PreferencesWindow> preferences =
        LBAppController::makePreferencesWindow();
    preferences->showWindow();
    for (const char* pane : {"GeneralPrefs", "DisplayPrefs", "PrintingPrefs", "MePrefs"}) {
        preferences->selectPaneNamed(QString::fromLatin1(pane));
        saved &= shoot(preferences.get(), folder + QStringLiteral("/preferences-%1.png").arg(pane));
    }
    return saved ? 0 : 1;
}
