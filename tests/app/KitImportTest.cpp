// Kits handed to the program: the question, and the import through the current document
// window's kit browser or, without a window, through a browser of the program's own.

#include "../window/ModeControllerFakes.h"

#include "KitFixtures.h"
#include "app/LBAppController.h"
#include "document/LBDocument.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/DocumentFileDialog.h"
#include "platform/ui/ProgressWindow.h"
#include "window/DesignModeController.h"
#include "window/LBWindowController.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "WindowSettings.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

void settle()
{
    const QDeadlineTimer deadline(50);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Turns the event loop until the condition holds (a loaded machine may need more than a
// few turns), at most five seconds.
template <class Condition>
void settleUntil(Condition condition)
{
    const QDeadlineTimer deadline(5000);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Where the first kit browser of the process keeps its library.
QString kitsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Orvane/iCorbeil Library.icorbeillib/Kits");
}

QStringList importedKits()
{
    return QDir(kitsFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

struct SeenAlert
{
    QString message;
    bool offersSuppression = false;
    QWidget* window = nullptr;
    QStringList kitsAtTheTime; // in the library when the alert came
};

class KitImport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LBAppController::registerDefaults();
        defaults().removeObjectForKey(QStringLiteral("DisableImportCorbeilConfirmation"));
        QDir(kitsFolder()).removeRecursively();
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget* window) {
            alerts.append(
                {alert.messageText, alert.showsSuppressionButton, window, importedKits()});
            // The question is the alert that offers the box; the browser's confirmation OK.
            return alert.showsSuppressionButton
                       ? platform::Alert::Response{answer, tickBox}
                       : platform::Alert::Response{platform::Alert::FirstButtonReturn, false};
        });
        platform::ProgressWindow::setMonitor(
            [](const platform::ProgressWindow&, platform::ProgressWindow::Change) {});
        controller = std::make_unique<LBAppController>();
        for (const char* name : {"Acorn", "Birch", "Cedar"}) {
            const QString path =
                sources.filePath(QLatin1String(name) + QStringLiteral(".icorbeil"));
            QString error;
            ASSERT_TRUE(
                kitfixtures::writeKit(path, kitfixtures::tinyKit(QLatin1String(name), 1), &error))
                << error.toStdString();
            kits << path;
        }
    }

    void TearDown() override
    {
        controller.reset();
        platform::DocumentController::sharedDocumentController().closeAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        platform::Alert::setResponder(nullptr);
        platform::ProgressWindow::setMonitor(nullptr);
        defaults().removeObjectForKey(QStringLiteral("DisableImportCorbeilConfirmation"));
        forgetWindowSettings();
    }

    QTemporaryDir sources;
    QStringList kits;
    QList<SeenAlert> alerts;
    int answer = platform::Alert::FirstButtonReturn;
    bool tickBox = false;
    std::unique_ptr<LBAppController> controller;
};

} // namespace

TEST_F(KitImport, HandedKitsWithoutAWindowAreConfirmedAfterTheLastOnly)
{
    ASSERT_EQ(LBWindowController::currentWindowController(), nullptr);
    controller->applicationOpenFiles(kits);
    EXPECT_TRUE(alerts.isEmpty()); // on the next turn of the event loop
    settleUntil([this] { return alerts.size() >= 2; });

    ASSERT_EQ(alerts.size(), 2);
    EXPECT_EQ(alerts[0].message, QStringLiteral("Do you want to import the selected kits?"));
    EXPECT_TRUE(alerts[0].offersSuppression);
    EXPECT_EQ(alerts[0].window, nullptr); // modal: no document window
    // One confirmation, once all three had arrived.
    EXPECT_TRUE(alerts[1].message.startsWith(QStringLiteral("The kits were successfully imported")))
        << alerts[1].message.toStdString();
    EXPECT_EQ(alerts[1].kitsAtTheTime.size(), 3);
    EXPECT_EQ(importedKits().size(), 3);
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("DisableImportCorbeilConfirmation")));
}

TEST_F(KitImport, TheQuestionDecidesAndItsBoxStopsIt)
{
    // One kit: its own wording. Cancel imports nothing, even with the box ticked it
    // remembers the box.
    answer = platform::Alert::SecondButtonReturn;
    controller->importCorbeils({kits[0]});
    settle();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0].message, QStringLiteral("Do you want to import the selected kit?"));
    EXPECT_TRUE(importedKits().isEmpty());
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("DisableImportCorbeilConfirmation")));

    // Import with the box ticked: imported, and the key is set.
    alerts.clear();
    answer = platform::Alert::FirstButtonReturn;
    tickBox = true;
    controller->importCorbeils({kits[0]});
    settle();
    EXPECT_EQ(importedKits().size(), 1);
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("DisableImportCorbeilConfirmation")));

    // From now on no question: straight to the import (the browser still confirms).
    alerts.clear();
    controller->importCorbeils({kits[1], kits[2]});
    settle();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_FALSE(alerts[0].offersSuppression);
    EXPECT_EQ(importedKits().size(), 3);
}

TEST_F(KitImport, WithAWindowTheDrawerOpensOnKitsAndImportsEveryKit)
{
    QStringList log;
    RecordingFactories factories(&log, true, true, false);
    auto document = std::make_unique<LBDocument>();
    auto* window = new LBWindowController;
    document->addWindowController(window);
    window->window()->resize(1000, 700);
    window->window()->show();
    QApplication::setActiveWindow(window->window());
    settle();
    ASSERT_EQ(LBWindowController::currentWindowController(), window);
    window->switchToDesignMode(nullptr);
    log.clear();

    controller->importCorbeils(kits);
    settle();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0].window, window->window()); // a sheet on the document window
    QStringList expected = {QStringLiteral("D openDrawer YES YES YES"),
                            QStringLiteral("D drawerMode 3")};
    for (int i = 0; i < 3; ++i)
        expected << QStringLiteral("D importCorbeil %1 %2 of 3").arg(kits[i]).arg(i);
    QStringList calls;
    for (const QString& call : log)
        if (call.contains(QLatin1String("openDrawer")) || call.contains(QLatin1String("drawerMode"))
            || call.contains(QLatin1String("importCorbeil")))
            calls << call;
    EXPECT_EQ(calls, expected);
    document->close();
    document.reset();
}

TEST_F(KitImport, AWindowWithoutItsDrawerLeavesTheImportToTheProgramsOwnBrowser)
{
    // A window without design mode (the application installs it).
    DesignModeController::setFactory({});
    auto document = std::make_unique<LBDocument>();
    auto* window = new LBWindowController;
    document->addWindowController(window);
    window->window()->show();
    QApplication::setActiveWindow(window->window());
    settle();
    ASSERT_EQ(LBWindowController::currentWindowController(), window);
    ASSERT_EQ(window->editController(), nullptr);

    controller->importCorbeils(kits);
    settle();
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_EQ(alerts[0].window, window->window());
    EXPECT_EQ(alerts[1].kitsAtTheTime.size(), 3);
    EXPECT_EQ(importedKits().size(), 3);
    document->close();
    document.reset();
}

TEST_F(KitImport, AKitChosenInTheOpenPanelIsImported)
{
    // File > Open offers kits beside documents: a kit is a folder, chosen as one file.
    QStringList offered;
    platform::DocumentFileDialog::setResponder([&](platform::DocumentFileDialog& panel) {
        offered = panel.nameFilters();
        panel.setDirectory(QFileInfo(kits[1]).absolutePath());
        panel.selectFile(QFileInfo(kits[1]).fileName());
        panel.accept();
    });
    ASSERT_TRUE(controller->tryToPerform(QStringLiteral("openDocument:"), nullptr));
    settleUntil([] { return !importedKits().isEmpty(); });
    platform::DocumentFileDialog::setResponder(nullptr);
    ASSERT_EQ(offered.size(), 1);
    EXPECT_TRUE(offered[0].contains(QLatin1String("*.icorbeil"))) << offered[0].toStdString();
    EXPECT_EQ(importedKits().size(), 1);
    // Asked as any kit handed to the program is; no document was opened, none reported.
    ASSERT_FALSE(alerts.isEmpty());
    EXPECT_TRUE(alerts[0].offersSuppression);
    EXPECT_TRUE(platform::DocumentController::sharedDocumentController().documents().isEmpty());
}
