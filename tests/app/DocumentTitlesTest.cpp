// What a document window's title tells the user, in the running program: which untitled
// document it is ("Untitled", "Untitled 2", …), the file a Save As gave it, a recovered
// document, and the edited mark; and that an edited window, a recovered one included, asks
// before it closes.

#include "app/LBAppController.h"

#include "document/LBDocument.h"
#include "platform/core/Error.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/DocumentFileDialog.h"
#include "platform/ui/WindowController.h"

#include "../support/MessageLog.h"
#include "LaunchFixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QTemporaryDir>

#include "FilePanelAnswer.h"
#include "ProgramSteps.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class DocumentTitles : public LaunchFixture
{
protected:
    static platform::WindowController* windowOf(platform::Document* document)
    {
        return document->windowControllers().value(0);
    }
    static QMainWindow* mainWindowOf(platform::Document* document)
    {
        platform::WindowController* controller = windowOf(document);
        return controller ? controller->mainWindow() : nullptr;
    }
    // The title as the title bar shows it: the edited mark in place of "[*]".
    static QString shownTitle(platform::Document* document)
    {
        const QWidget* window = mainWindowOf(document);
        QString title = window->windowTitle();
        return title.replace(QStringLiteral("[*]"),
                             window->isWindowModified() ? QStringLiteral("*") : QString());
    }
    // The user picks the window's menu item of the selector; it must be enabled.
    static void choose(platform::Document* document, const char* selector, qint64 tag = 0)
    {
        platform::WindowController* window = windowOf(document);
        window->validateMenus();
        QAction* item = window->menuItemWithSelector(QLatin1String(selector), tag);
        ASSERT_NE(item, nullptr) << selector;
        ASSERT_TRUE(item->isEnabled()) << selector;
        item->trigger();
        settle();
    }
};

} // namespace

TEST_F(DocumentTitles, UntitledWindowsAreNumberedAndSaveAsNamesTheWindow)
{
    MessageLog log;
    launch();
    ASSERT_EQ(documents().documents().size(), 1);
    platform::Document* first = documents().documents().first();
    EXPECT_EQ(shownTitle(first), QStringLiteral("Untitled"));

    choose(first, "newDocument:");
    choose(first, "newDocument:");
    ASSERT_EQ(documents().documents().size(), 3);
    platform::Document* second = documents().documents().at(1);
    platform::Document* third = documents().documents().at(2);
    EXPECT_EQ(shownTitle(second), QStringLiteral("Untitled 2"));
    EXPECT_EQ(shownTitle(third), QStringLiteral("Untitled 3"));

    // Save As: the panel answered with a name in a folder; the window takes the file's name.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    choose(second, "saveDocumentAs:");
    auto* panel = mainWindowOf(second)->findChild<platform::DocumentFileDialog*>();
    ASSERT_NE(panel, nullptr);
    panel->setDirectory(folder.path());
    ASSERT_TRUE(typeIntoFilePanel(panel, QStringLiteral("Party")));
    panel->accept();
    settle();
    ASSERT_FALSE(second->fileName().isEmpty());
    EXPECT_EQ(QFileInfo(second->fileName()).completeBaseName(), QStringLiteral("Party"));
    EXPECT_EQ(shownTitle(second), QFileInfo(second->fileName()).fileName());
    // Its number is free again; the others keep theirs.
    choose(first, "newDocument:");
    ASSERT_EQ(documents().documents().size(), 4);
    EXPECT_EQ(shownTitle(documents().documents().at(3)), QStringLiteral("Untitled 2"));
    EXPECT_EQ(shownTitle(first), QStringLiteral("Untitled"));
    EXPECT_EQ(shownTitle(third), QStringLiteral("Untitled 3"));
    EXPECT_FALSE(log.contains(QStringLiteral("placeholder")));
}

TEST_F(DocumentTitles, ARecoveredDocumentShowsItsEditsAndAsksBeforeClosing)
{
    MessageLog log;
    {
        LBDocument copy;
        platform::Error error;
        ASSERT_TRUE(copy.saveToFile(temporaryFolder + QStringLiteral("100.quarnlb"),
                                    LBDocument::LabelDocumentType,
                                    platform::Document::SaveToOperation, &error))
            << error.description.toStdString();
    }
    alertAnswer = platform::Alert::FirstButtonReturn; // Open Files
    launch();
    ASSERT_EQ(documents().documents().size(), 1);
    platform::Document* recovered = documents().documents().first();
    EXPECT_EQ(shownTitle(recovered), QStringLiteral("(Recovered File)"));
    // It holds no untitled number: a new document is the first untitled one.
    choose(recovered, "newDocument:");
    ASSERT_EQ(documents().documents().size(), 2);
    EXPECT_EQ(shownTitle(documents().documents().at(1)), QStringLiteral("Untitled"));

    // An edit marks the window.
    choose(recovered, "switchToDesignMode:");
    choose(recovered, "createTextBoxAction:", 1);
    ASSERT_TRUE(recovered->isDocumentEdited());
    EXPECT_EQ(shownTitle(recovered), QStringLiteral("(Recovered File)*"));
    EXPECT_FALSE(log.contains(QStringLiteral("placeholder")));

    // Closing the window asks; Cancel keeps it.
    alerts.clear();
    alertAnswer = platform::Alert::ThirdButtonReturn;
    mainWindowOf(recovered)->close();
    settle();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().startsWith(QStringLiteral("Do you want to save")));
    ASSERT_TRUE(documents().documents().contains(recovered));
    EXPECT_TRUE(mainWindowOf(recovered)->isVisible());
}
