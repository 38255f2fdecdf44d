#include "platform/ui/DocumentController.h"

#include "platform/core/Error.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Document.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>

#include <optional>

#include <gtest/gtest.h>

namespace {

class FakeDocument : public platform::Document
{
public:
    void saveDocumentWithDelegate(std::function<void(bool)> didSave) override
    {
        ++saves;
        didSave(saveSucceeds);
    }
    int saves = 0;
    bool saveSucceeds = true;
};

class DocumentControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::DocumentController::DocumentTypes types;
        types.defaultType = QStringLiteral("Card");
        types.extensions = {QStringLiteral("card")};
        types.typeForExtension = [](const QString& extension) {
            return extension == QLatin1String("card") ? QStringLiteral("Card") : QString();
        };
        types.makeUntitled = [](const QString& type) {
            auto document = std::make_unique<FakeDocument>();
            document->setFileType(type);
            return document;
        };
        types.read = [this](const QString& path, const QString& type,
                            platform::Error* error) -> std::unique_ptr<platform::Document> {
            reads << path;
            if (path.contains(QLatin1String("broken"))) {
                platform::Error::fail(error, QStringLiteral("Test"), 1, QStringLiteral("broken"));
                return nullptr;
            }
            auto document = std::make_unique<FakeDocument>();
            document->setFileType(type);
            return document;
        };
        controller().setDocumentTypes(types);
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            asked << alert.messageText;
            reasons << alert.informativeText;
            return platform::Alert::Response{answers.isEmpty() ? platform::Alert::FirstButtonReturn
                                                               : answers.takeFirst(),
                                             false};
        });
    }
    void TearDown() override
    {
        controller().closeAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        controller().setDocumentTypes({});
        platform::Alert::setResponder(nullptr);
    }
    static platform::DocumentController& controller()
    {
        return platform::DocumentController::sharedDocumentController();
    }

    QStringList reads;
    QStringList asked;
    QStringList reasons;
    QList<int> answers;
};

} // namespace

TEST_F(DocumentControllerTest, OpensFilesByExtensionOnceEach)
{
    QTemporaryDir folder;
    for (const char* name : {"a/One.card", "notes.txt", "broken.card"}) {
        ASSERT_TRUE(QDir(folder.path()).mkpath(QFileInfo(folder.filePath(name)).path()));
        ASSERT_TRUE(QFile(folder.filePath(name)).open(QIODevice::WriteOnly));
    }
    const auto path = [&folder](const char* name) { return folder.filePath(name); };
    platform::Document* untitled = controller().openUntitledDocument();
    ASSERT_NE(untitled, nullptr);
    EXPECT_EQ(untitled->fileType(), QStringLiteral("Card"));
    EXPECT_TRUE(untitled->fileName().isEmpty());

    platform::Document* opened =
        controller().openDocumentWithContentsOfFile(path("a/../a/One.card"));
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->fileName(), path("a/../a/One.card"));
    // The same file again, however it is written: the open document.
    EXPECT_EQ(controller().openDocumentWithContentsOfFile(path("a/One.card")), opened);
    EXPECT_EQ(controller().documentForFileName(path("a//One.card")), opened);
    EXPECT_EQ(reads.size(), 1);
    EXPECT_TRUE(asked.isEmpty());

    // A file that cannot be opened is reported, whoever asked, with the reason, and is
    // not added.
    struct Case
    {
        const char* file;
        QString reason;
    };
    const QList<Case> cases = {
        {"notes.txt", QStringLiteral("The file is not of a type this program opens.")},
        {"broken.card", QStringLiteral("broken")},
        {"Gone.card", QStringLiteral("The file does not exist.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        asked.clear();
        platform::Error error;
        EXPECT_EQ(controller().openDocumentWithContentsOfFile(path(c.file), &error), nullptr);
        EXPECT_EQ(error.description, c.reason);
        ASSERT_EQ(asked.size(), 1);
        EXPECT_EQ(asked[0], QStringLiteral("The document \u201c%1\u201d could not be opened.")
                                .arg(QLatin1String(c.file)));
        EXPECT_EQ(reasons.value(0), c.reason);
        reasons.clear();
    }
    EXPECT_EQ(controller().documents(), QList<platform::Document*>({untitled, opened}));

    // Closing a document lets it go.
    QPointer<platform::Document> closed(opened);
    opened->close();
    EXPECT_EQ(controller().documents(), QList<platform::Document*>({untitled}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closed.isNull());
}

TEST_F(DocumentControllerTest, ReviewAsksEachEditedDocumentAndCancelStops)
{
    auto* first = static_cast<FakeDocument*>(controller().openUntitledDocument());
    auto* clean = static_cast<FakeDocument*>(controller().openUntitledDocument());
    auto* second = static_cast<FakeDocument*>(controller().openUntitledDocument());
    first->updateChangeCount(platform::Document::ChangeDone);
    second->updateChangeCount(platform::Document::ChangeDone);
    (void)clean;

    struct Case
    {
        const char* name;
        QList<int> answers;
        bool saveSucceeds;
        bool terminates;
        int questions;
        int saves; // of the first document
    };
    const QList<Case> cases = {
        {"Cancel at the first stops", {platform::Alert::ThirdButtonReturn}, true, false, 1, 0},
        {"Don't Save both goes on",
         {platform::Alert::SecondButtonReturn, platform::Alert::SecondButtonReturn},
         true,
         true,
         2,
         0},
        {"Save, then Cancel",
         {platform::Alert::FirstButtonReturn, platform::Alert::ThirdButtonReturn},
         true,
         false,
         2,
         1},
        {"a save that fails stops", {platform::Alert::FirstButtonReturn}, false, false, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        asked.clear();
        answers = c.answers;
        first->saves = 0;
        first->saveSucceeds = c.saveSucceeds;
        std::optional<bool> result;
        controller().reviewUnsavedDocuments([&result](bool terminate) { result = terminate; });
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(*result, c.terminates);
        EXPECT_EQ(asked.size(), c.questions);
        EXPECT_EQ(first->saves, c.saves);
    }
}
