// Kits handed to the program, the welcome window and the help window of smart templates.

#include "app/LBAppController.h"

#include "app/LBHelpWindowController.h"
#include "app/LBWelcomeWindowController.h"
#include "kitbrowser/SGCorbeilController.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "window/LBWindowController.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

namespace {

const QString DisableImportCorbeilConfirmation = QStringLiteral("DisableImportCorbeilConfirmation");

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

QString dialogString(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("DialogStrings"));
}

// The window of the current document window controller; nullptr when there is none.
QWidget* currentDocumentWindow()
{
    LBWindowController* controller = LBWindowController::currentWindowController();
    return controller && controller->isWindowLoaded() ? controller->window() : nullptr;
}

} // namespace

// ==== Kit import ========================================================================

void LBAppController::importCorbeils(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    if (defaults().boolForKey(DisableImportCorbeilConfirmation)) {
        importCorbeilSheetDidEnd(paths, platform::Alert::FirstButtonReturn, false);
        return;
    }
    platform::Alert alert;
    alert.messageText = dialogString(
        paths.size() == 1 ? QStringLiteral("Do you want to import the selected kit?")
                          : QStringLiteral("Do you want to import the selected kits?"));
    alert.buttons = {dialogString(QStringLiteral("Import")),
                     dialogString(QStringLiteral("Cancel"))};
    alert.cancelButton = 1;
    alert.showsSuppressionButton = true;
    const QPointer<LBAppController> self(this);
    alert.beginSheetModalForWindow(
        currentDocumentWindow(), [self, paths](const platform::Alert::Response& response) {
            if (self)
                self->importCorbeilSheetDidEnd(paths, response.returnCode, response.suppressed);
        });
}

void LBAppController::importCorbeilSheetDidEnd(const QStringList& paths, int returnCode,
                                               bool suppressed)
{
    if (suppressed)
        defaults().setBool(true, DisableImportCorbeilConfirmation);
    if (returnCode != platform::Alert::FirstButtonReturn)
        return;
    if (LBWindowController* window = LBWindowController::currentWindowController())
        window->openiCorbeilsDrawer();
    // After the sheet has gone and the drawer is up.
    QMetaObject::invokeMethod(
        this, [this, paths] { importSelectedCorbeils(paths); }, Qt::QueuedConnection);
}

void LBAppController::importSelectedCorbeils(const QStringList& paths)
{
    const qint64 count = paths.size();
    LBWindowController* window = LBWindowController::currentWindowController();
    if (window && window->editController()) {
        for (qint64 i = 0; i < count; ++i)
            window->importCorbeil(paths[i], i, count);
        return;
    }
    // No window, or one without design mode's drawer: a browser of our own, without a
    // view, for the time of the import. It confirms once, after the last kit.
    SGCorbeilController browser(QStringLiteral("Corbeils"), SGCorbeilController::bundleName());
    for (qint64 i = 0; i < count; ++i)
        browser.importCorbeil(paths[i], i, count, i == count - 1);
    browser.cleanup();
}

// ==== Welcome window ====================================================================

void LBAppController::openWelcomeWindowAction(bool atLaunch)
{
    if (_welcomeWindowController) {
        _welcomeWindowController->showWindow();
        return;
    }
    _welcomeWindowController = new LBWelcomeWindowController(atLaunch);
    _welcomeWindowObserver = platform::NotificationCenter::defaultCenter().addObserver(
        LBWelcomeWindowDidCloseNotification, _welcomeWindowController,
        [this](const platform::Notification&) { welcomeWindowDidClose(); });
    _welcomeWindowController->showWindow();
}

void LBAppController::welcomeWindowDidClose()
{
    if (_welcomeWindowController) {
        _welcomeWindowController->deleteLater();
        _welcomeWindowController = nullptr;
    }
    if (!_applicationDidFinishLaunching)
        applicationDidFinishLaunching2();
    _welcomeWindowObserver.reset();
}

// ==== Help window =======================================================================

LBHelpWindowController* LBAppController::helpWindowController()
{
    // One for the program, kept for the run (its frame and check box stay as left).
    static QPointer<LBHelpWindowController> controller;
    if (!controller) {
        controller = new LBHelpWindowController(QCoreApplication::instance());
        controller->showViewIndex(
            1, platform::LocalizedString(QStringLiteral("Smart Template Instructions"),
                                         QStringLiteral("Miscellaneous")));
    }
    return controller;
}

void LBAppController::showSmartTemplateHelp()
{
    if (defaults().boolForKey(QStringLiteral("DisableSmartTemplateHelp")))
        return;
    helpWindowController()->showWindow();
}

QString LBAppController::kitDownloadURL() const
{
    return LBWelcomeWindowController::kitDownloadURL();
}
