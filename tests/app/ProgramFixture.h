#pragma once

// The whole program as a user meets it: the application's controller with every layer's
// factories, and a saved label document opened from its file (in preview, no chooser),
// alerts answered by the test. Tests drive the window through its menu bar, toolbar and
// panels.

#include "app/LBAppController.h"

#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "platform/core/Error.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"
#include "shapes/LBImage.h"
#include "window/LBWindowController.h"

#include "LaunchFixture.h"
#include "ProgramSteps.h"
#include "WindowSettings.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

class ProgramFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        prepareProgram();
        for (const char* key : touchedKeys)
            defaults().setBool(true, QLatin1String(key));
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            alerts << alert.messageText;
            return platform::Alert::Response{};
        });
        app = std::make_unique<LBAppController>();
    }

    void TearDown() override
    {
        platform::DocumentController::sharedDocumentController().closeAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app.reset();
        platform::Alert::setResponder(nullptr);
        for (const char* key : touchedKeys)
            defaults().removeObjectForKey(QLatin1String(key));
        for (const char* key : storedKeys)
            defaults().removeObjectForKey(QLatin1String(key));
        forgetWindowSettings();
    }

    static platform::UserDefaults& defaults()
    {
        return platform::UserDefaults::standardUserDefaults();
    }

    // A saved label document (the document given, or a new one) opened as a user opens
    // one: its window in preview.
    void openDocument(LBDocument* toSave = nullptr)
    {
        const QString path = folder.filePath(QStringLiteral("Labels.quarnlb"));
        {
            LBDocument fresh;
            LBDocument& saved = toSave ? *toSave : fresh;
            platform::Error error;
            ASSERT_TRUE(saved.saveToFile(path, LBDocument::LabelDocumentType,
                                         platform::Document::SaveToOperation, &error))
                << error.description.toStdString();
        }
        auto* opened =
            platform::DocumentController::sharedDocumentController().openDocumentWithContentsOfFile(
                path);
        document = dynamic_cast<LBDocument*>(opened);
        ASSERT_NE(document, nullptr);
        settle();
        window = dynamic_cast<LBWindowController*>(document->windowControllers().value(0));
        ASSERT_NE(window, nullptr);
    }

    void enterDesign()
    {
        window->switchToDesignMode(nullptr);
        settle();
        ASSERT_NE(canvas(), nullptr);
        canvas()->setFocus();
    }

    // File > New by its keys in the window shown: the new document's window, its chooser
    // open on it.
    void newDocumentFromTheKeys()
    {
        const QList<platform::Document*> before =
            platform::DocumentController::sharedDocumentController().documents();
        window->window()->activateWindow();
        settle();
        QTest::keyClick(window->window(), Qt::Key_N, Qt::ControlModifier);
        settle(400); // the chooser comes a moment after the window
        const QList<platform::Document*> after =
            platform::DocumentController::sharedDocumentController().documents();
        ASSERT_EQ(after.size(), before.size() + 1) << "File > New made no document";
        for (platform::Document* each : after) {
            if (!before.contains(each))
                document = dynamic_cast<LBDocument*>(each);
        }
        ASSERT_NE(document, nullptr);
        window = dynamic_cast<LBWindowController*>(document->windowControllers().value(0));
        ASSERT_NE(window, nullptr);
    }

    LBGraphicView* canvas() const { return window->commandCanvas(); }

    // The graphics of the current page's layer, front-most first.
    QList<LBGraphicPtr> layer(qint64 index = 1) const
    {
        return document->graphicsOnPage(document->pageIndex())->value(index);
    }

    // Chooses the menu bar's item as a user does: validated as its menu opens, then
    // triggered; false when it is missing or disabled.
    bool choose(const char* selector, qint64 tag = 0)
    {
        return steps::choose(*window, selector, tag);
    }

    // The file panel open on the window (window-modal, as the user sees it); nullptr when
    // none is.
    template <typename Panel = QFileDialog>
    Panel* openPanel() const
    {
        return steps::openPanel<Panel>(window->window());
    }

    // Answers the file panel as a user does: goes to the file's folder, types its name into
    // the name field and clicks the panel's default button.
    static void answerPanel(QFileDialog* panel, const QString& path)
    {
        ASSERT_TRUE(steps::answerPanel(panel, path)) << "the panel has no name field";
    }

    // A picture file of that size in the test's folder.
    QString pictureFile(const char* name, QSize size, QColor color = Qt::blue) const
    {
        QImage pixels(size, QImage::Format_RGB32);
        pixels.fill(color);
        const QString path = folder.filePath(QLatin1String(name));
        EXPECT_TRUE(pixels.save(path));
        return path;
    }

    // A text file of these contents in the test's folder.
    QString textFile(const char* name, const QByteArray& contents) const
    {
        const QString path = folder.filePath(QLatin1String(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }

    QTemporaryDir folder;
    QStringList alerts;
    std::unique_ptr<LBAppController> app;
    LBDocument* document = nullptr;
    LBWindowController* window = nullptr;

private:
    // Set on for the tests (no welcome window, no insert hint), removed afterwards, with
    // what setting up the support folders stores.
    static constexpr const char* touchedKeys[] = {"SkipWelcomeWindow", "DisableInsertMenuAlert"};
    static constexpr const char* storedKeys[] = {
        "Check For Version 1 Files", "Update Application Name", "Update Application Name2"};
};
