#pragma once

// The program started as a user starts it: the application's controller with its launch
// steps run (launch delay 0, no welcome window), alerts answered by the test, and what the
// launches store forgotten again so that tests sharing a process start alike.

#include "app/LBAppController.h"

#include "platform/core/UserDefaults.h"
#include "platform/text/FontManager.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"

#include "ProgramSteps.h"
#include "WindowSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

// What every test of the whole program does first: the settings a window stored forgotten,
// no font chosen in the font panel yet (new text boxes take the one chosen last, for the
// rest of the process), the defaults registered, the deferred launch steps run at once, the
// support folders known.
inline void prepareProgram()
{
    forgetWindowSettings();
    platform::FontManager::sharedFontManager().setSelectedFont(std::nullopt);
    LBAppController::registerDefaults();
    LBAppController::setLaunchDelay(0);
    LBAppController::initializeGlobalPaths();
}

class LaunchFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        prepareProgram();
        // The welcome window has its own tests.
        defaults().setBool(true, QStringLiteral("SkipWelcomeWindow"));
        temporaryFolder = LBAppController::temporaryFolderPath();
        emptyTemporaryFolder();
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            alerts << alert.messageText;
            return platform::Alert::Response{alertAnswer, false};
        });
    }

    void TearDown() override
    {
        controller.reset();
        documents().closeAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        platform::Alert::setResponder(nullptr);
        for (const char* key :
             {"LBLaunchCount", "New Preferences", "Second Launch", "Check For Version 1 Files",
              "Update Application Name", "Update Application Name2", "SkipWelcomeWindow",
              "Standalone Inspector Array"})
            defaults().removeObjectForKey(QLatin1String(key));
        forgetWindowSettings();
        emptyTemporaryFolder();
    }

    // The launch: the files handed to the program first, then its start-up steps.
    void launch(const QStringList& files = {})
    {
        controller = std::make_unique<LBAppController>();
        if (!files.isEmpty())
            controller->applicationOpenFiles(files);
        controller->applicationDidFinishLaunching();
        settle();
    }

    void emptyTemporaryFolder() const
    {
        QDir(temporaryFolder).removeRecursively();
        QDir().mkpath(temporaryFolder);
    }

    static platform::UserDefaults& defaults()
    {
        return platform::UserDefaults::standardUserDefaults();
    }
    static platform::DocumentController& documents()
    {
        return platform::DocumentController::sharedDocumentController();
    }

    QString temporaryFolder;
    QStringList alerts;
    int alertAnswer = platform::Alert::FirstButtonReturn;
    std::unique_ptr<LBAppController> controller;
};
