// The preferences window: made on first use with the General, Appearance, Printing and Me
// panes, shown by the menu item or at a named pane by a document window.

#include "app/LBAppController.h"
#include "app/LBMePrefsPane.h"
#include "app/LBPrefsPanes.h"
#include "platform/core/Strings.h"
#include "platform/ui/PreferencesWindow.h"

namespace {

QString paneLabel(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("Preference Strings"));
}

template <class Pane>
platform::PreferencesWindow::Factory factory()
{
    return [] { return std::make_unique<Pane>(); };
}

} // namespace

std::unique_ptr<platform::PreferencesWindow> LBAppController::makePreferencesWindow()
{
    auto window = std::make_unique<platform::PreferencesWindow>(420);
    {
        const struct
        {
            const char* identifier;
            platform::PreferencesWindow::Factory factory;
            const char* icon;
            const char* label;
        } panes[] = {
            {"GeneralPrefs", factory<LBGeneralPrefsPane>(), "GeneralPrefsIcon", "General"},
            {"DisplayPrefs", factory<LBDisplayPrefsPane>(), "DisplayPrefsIcon", "Appearance"},
            {"PrintingPrefs", factory<LBPrintingPrefsPane>(), "PrintingPrefsIcon", "Printing"},
            // The label's key keeps its five blanks.
            {"MePrefs", factory<LBMePrefsPane>(), "MePrefsIcon", "Me     "},
        };
        QStringList order;
        for (const auto& pane : panes) {
            const QString label = paneLabel(QString::fromLatin1(pane.label));
            window->addPreferencePaneNamed(QString::fromLatin1(pane.identifier), pane.factory,
                                           QString::fromLatin1(pane.icon), label, label);
            order << QString::fromLatin1(pane.identifier);
        }
        window->setDisplayOrder(order);
        window->setWindowTitleFormat(QStringLiteral("%@"));
    }
    return window;
}

void LBAppController::showPrefsPanel()
{
    if (!_prefsWindow)
        _prefsWindow = makePreferencesWindow();
    _prefsWindow->showWindow();
    _prefsWindow->raise();
    _prefsWindow->activateWindow();
}

void LBAppController::selectPrefPaneNamed(const QString& name)
{
    showPrefsPanel();
    _prefsWindow->selectPaneNamed(name);
}
