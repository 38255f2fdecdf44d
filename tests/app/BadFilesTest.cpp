// Failures the user sees: a file that is no document, a damaged document, records that
// are no text, an export the folder refuses. Each reaches the user in an alert that names
// the file and the reason, by whatever road it came, and nothing else changes: no window
// opens, no document changes, no file is written.

#include "app/LBAppController.h"
#include "app/SingleInstance.h"

#include "document/LBDocument.h"
#include "merge/LBExportPanel.h"
#include "platform/core/Error.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/DocumentFileDialog.h"
#include "platform/ui/Responder.h"
#include "platform/ui/WindowController.h"
#include "window/LBWindowController.h"
#include "window/MergeServices.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "LaunchFixture.h"

#include "FilePanelAnswer.h"
#include "ProgramSteps.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

platform::DocumentController& documents()
{
    return platform::DocumentController::sharedDocumentController();
}

struct Shown
{
    QString message;
    QString reason;
};

// What a user could see changing: the open documents and whether they are edited, the
// windows shown, and every file under the folder with its contents.
struct Snapshot
{
    QList<platform::Document*> open;
    QList<bool> edited;
    QSet<QWidget*> windows;
    QMap<QString, QByteArray> files;

    static Snapshot take(const QString& folder)
    {
        Snapshot snapshot;
        snapshot.open = documents().documents();
        for (platform::Document* document : snapshot.open)
            snapshot.edited << document->isDocumentEdited();
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible())
                snapshot.windows.insert(window);
        }
        QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            const QString path = entries.next();
            QFile file(path);
            snapshot.files[path] =
                file.open(QIODevice::ReadOnly)
                    ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1)
                    : QByteArray("folder");
        }
        return snapshot;
    }
    bool operator==(const Snapshot&) const = default;
};

// Says what differs, for the failure message.
std::string changes(const Snapshot& before, const Snapshot& after)
{
    QStringList said;
    if (before.open != after.open || before.edited != after.edited)
        said << QStringLiteral("documents");
    for (QWidget* window : after.windows - before.windows)
        said << QStringLiteral("window shown: ") + window->metaObject()->className() + ' '
                    + window->windowTitle();
    for (QWidget* window : before.windows - after.windows)
        said << QStringLiteral("window gone: ") + window->metaObject()->className();
    for (auto it = after.files.cbegin(); it != after.files.cend(); ++it) {
        if (before.files.value(it.key()) != it.value())
            said << QStringLiteral("file written: ") + it.key();
    }
    for (auto it = before.files.cbegin(); it != before.files.cend(); ++it) {
        if (!after.files.contains(it.key()))
            said << QStringLiteral("file gone: ") + it.key();
    }
    return said.join(QStringLiteral("; ")).toStdString();
}

class BadFiles : public LaunchFixture
{
protected:
    void SetUp() override
    {
        LaunchFixture::SetUp();
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            shown.append({alert.messageText, alert.informativeText});
            return platform::Alert::Response{};
        });
        // The open panel: the user picks the file named, as by typing its name and Open.
        platform::DocumentFileDialog::setResponder([this](platform::DocumentFileDialog& panel) {
            const QFileInfo answer(panelAnswer);
            panel.setDirectory(answer.absolutePath());
            panel.selectFile(answer.fileName());
            panel.accept();
        });

        ASSERT_TRUE(QImage(8, 8, QImage::Format_RGB32).save(path("picture.png")));
        ASSERT_TRUE(QFile(path("Empty.quarnlb")).open(QIODevice::WriteOnly));
        ASSERT_TRUE(QDir().mkpath(path("Damaged.quarnlb")));
        QFile contents(path("Damaged.quarnlb/Contents.quarnd"));
        ASSERT_TRUE(contents.open(QIODevice::WriteOnly));
        contents.write(QByteArray("{ GraphicsList = (\x01\xff garbage", 20));
        contents.close();
        ASSERT_TRUE(QDir().mkpath(path("Hollow.quarnlb")));
        writeDocument(path("Card.quarnlb"));
    }

    void TearDown() override
    {
        LaunchFixture::TearDown();
        platform::DocumentFileDialog::setResponder(nullptr);
    }

    QString path(const QString& name) const { return folder.filePath(name); }

    static void writeDocument(const QString& path)
    {
        LBDocument document;
        platform::Error error;
        ASSERT_TRUE(document.saveToFile(path, LBDocument::LabelDocumentType,
                                        platform::Document::SaveToOperation, &error))
            << error.description.toStdString();
    }

    // The program started with a good document.
    void launch()
    {
        LaunchFixture::launch({path(QStringLiteral("Card.quarnlb"))});
        ASSERT_EQ(documents().documents().size(), 1);
    }

    // The front document's window controller.
    platform::WindowController* frontWindow() const
    {
        return documents().documents().isEmpty()
                   ? nullptr
                   : documents().documents().last()->windowControllers().value(0);
    }

    struct BadOpen
    {
        const char* file;
        const char* reason;
    };
    // Every bad file, with the reason the user is given.
    static QList<BadOpen> badOpens()
    {
        return {
            {"picture.png", "The file is not of a type this program opens."},
            {"Empty.quarnlb", "\"Empty.quarnlb\" is not a document package: it is no folder."},
            {"Hollow.quarnlb",
             "The document package \"Hollow.quarnlb\" holds no file \"Contents.quarnd\"."},
            {"Damaged.quarnlb", nullptr}, // the reader's own words about what it found
        };
    }
    static QString cannotOpen(const char* file)
    {
        return QStringLiteral("The document \u201c%1\u201d could not be opened.")
            .arg(QLatin1String(file));
    }
    void expectReported(const QList<BadOpen>& cases)
    {
        QStringList said;
        for (const Shown& alert : shown)
            said << alert.message + QStringLiteral(" / ") + alert.reason;
        ASSERT_EQ(shown.size(), cases.size()) << said.join(QLatin1Char('\n')).toStdString();
        for (qsizetype i = 0; i < cases.size(); ++i) {
            SCOPED_TRACE(cases[i].file);
            EXPECT_EQ(shown[i].message, cannotOpen(cases[i].file));
            if (cases[i].reason)
                EXPECT_EQ(shown[i].reason, QLatin1String(cases[i].reason));
            else
                EXPECT_FALSE(shown[i].reason.isEmpty());
        }
    }

    QTemporaryDir folder;
    QList<Shown> shown;
    QString panelAnswer;
};

} // namespace

TEST_F(BadFiles, FileOpenTellsWhyEachFileCannotBeOpenedAndOpensNothing)
{
    launch();
    QAction* open = frontWindow()->menuItemWithSelector(QStringLiteral("openDocument:"));
    ASSERT_NE(open, nullptr);

    const Snapshot before = Snapshot::take(folder.path());
    for (const BadOpen& bad : badOpens()) {
        SCOPED_TRACE(bad.file);
        frontWindow()->validateMenus();
        ASSERT_TRUE(open->isEnabled());
        panelAnswer = path(QLatin1String(bad.file));
        open->trigger();
        settle();
        {
            const Snapshot after = Snapshot::take(folder.path());
            EXPECT_TRUE(after == before) << changes(before, after);
        }
    }
    expectReported(badOpens());

    // A good document still opens by the same road, silently.
    shown.clear();
    writeDocument(path(QStringLiteral("Other.quarnlb")));
    panelAnswer = path(QStringLiteral("Other.quarnlb"));
    open->trigger();
    settle();
    EXPECT_TRUE(shown.isEmpty());
    ASSERT_EQ(documents().documents().size(), 2);
    EXPECT_EQ(documents().documents().last()->fileName(), path(QStringLiteral("Other.quarnlb")));
}

TEST_F(BadFiles, FilesOnTheCommandLineAreEachReportedAndTheGoodOnesStillOpen)
{
    // As the program starts with them: the files first, then the launch.
    QStringList files;
    for (const BadOpen& bad : badOpens())
        files << path(QLatin1String(bad.file));
    files.insert(1, path(QStringLiteral("Card.quarnlb")));
    files << path(QStringLiteral("Gone.quarnlb"));
    const Snapshot before = Snapshot::take(folder.path());
    controller = std::make_unique<LBAppController>();
    controller->applicationOpenFiles(files);
    controller->applicationDidFinishLaunching();
    settle();

    QList<BadOpen> expected = badOpens();
    expected << BadOpen{"Gone.quarnlb", "The file does not exist."};
    expectReported(expected);
    // The good one opened; no untitled document follows a launch that opened one.
    ASSERT_EQ(documents().documents().size(), 1);
    EXPECT_EQ(documents().documents().first()->fileName(), path(QStringLiteral("Card.quarnlb")));
    EXPECT_EQ(Snapshot::take(folder.path()).files, before.files);
}

TEST_F(BadFiles, FilesHandedOverByASecondStartAreReported)
{
    // This test is the running program; the second start is the real program.
    SingleInstance running;
    ASSERT_TRUE(running.isRunningProgram());
    launch();
    bool handed = false;
    ASSERT_TRUE(running.listen([&](const QStringList& files) {
        handed = true;
        controller->applicationOpenFiles(files);
    }));
    const Snapshot before = Snapshot::take(folder.path());

    QStringList arguments;
    for (const BadOpen& bad : badOpens())
        arguments << QLatin1String(bad.file); // relative: the second start makes them absolute
    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(folder.path());
    second.start(QStringLiteral(VELTRIN_PROGRAM), arguments);
    const QDeadlineTimer deadline(20000);
    while ((!handed || second.state() != QProcess::NotRunning) && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        second.waitForFinished(20);
    }
    ASSERT_TRUE(handed);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    settle();
    expectReported(badOpens());
    {
        const Snapshot after = Snapshot::take(folder.path());
        EXPECT_TRUE(after == before) << changes(before, after);
    }
}

TEST_F(BadFiles, RecordsFromABinaryFileAreRefusedWithTheReason)
{
    QFile binary(path(QStringLiteral("records.bin")));
    ASSERT_TRUE(binary.open(QIODevice::WriteOnly));
    QByteArray bytes;
    for (int i = 0; i < 512; ++i)
        bytes.append(char(i * 37 % 256));
    binary.write(bytes);
    binary.close();
    launch();
    auto* document = static_cast<LBDocument*>(documents().documents().first());
    QWidget* window = document->appropriateWindowForDocModalOperations();
    ASSERT_NE(window, nullptr);

    // File > Import Comma-Separated Records…, the binary file chosen in its panel.
    QAction* import = nullptr;
    for (QAction* item : window->findChildren<QAction*>()) {
        if (platform::actionSelector(item) == QLatin1String("importText:")
            && platform::actionTag(item) == 1)
            import = item;
    }
    ASSERT_NE(import, nullptr);
    frontWindow()->validateMenus();
    ASSERT_TRUE(import->isEnabled());
    const Snapshot before = Snapshot::take(folder.path());
    import->trigger();
    QFileDialog* panel = window->findChild<QFileDialog*>();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(typeIntoFilePanel(panel, binary.fileName()));
    static_cast<QDialog*>(panel)->accept(); // Open (Save) in the panel
    settle();

    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].message,
              QStringLiteral("The file \u201crecords.bin\u201d cannot be imported."));
    EXPECT_FALSE(shown[0].reason.isEmpty());
    EXPECT_TRUE(document->importTextArrayAndColumnCount(nullptr).isEmpty());
    {
        const Snapshot after = Snapshot::take(folder.path());
        EXPECT_TRUE(after == before) << changes(before, after);
    }
}

TEST_F(BadFiles, AnExportTheFolderRefusesIsReportedAndWritesNothing)
{
    // A folder nobody may write in. The superuser may write in any folder whose mode
    // forbids it, but not in the kernel's own folder of devices.
    QTemporaryDir writable;
    QString readOnly = writable.filePath(QStringLiteral("Locked"));
    ASSERT_TRUE(QDir().mkpath(readOnly));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
    if (QFile probe(readOnly + QStringLiteral("/probe")); probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        readOnly = QStringLiteral("/sys");
    }
    launch();
    auto* window = dynamic_cast<LBWindowController*>(frontWindow());
    ASSERT_NE(window, nullptr);
    const QStringList entries = QDir(readOnly).entryList(QDir::AllEntries | QDir::Hidden);
    const Snapshot before = Snapshot::take(folder.path());

    // The Export command's own handler (the menu item reaches it once the window answers
    // it), the panel answered as a user would.
    MergeServices* services = window->mergeServices();
    ASSERT_NE(services, nullptr);
    services->exportAction();
    auto* panel = window->window()->findChild<LBExportPanel*>();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(typeIntoFilePanel(panel, readOnly + QStringLiteral("/Sheet.pdf")));
    static_cast<QDialog*>(panel)->accept(); // Open (Save) in the panel
    settle();

    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].message, QStringLiteral("The file \"Sheet.pdf\" could not be exported."));
    EXPECT_FALSE(shown[0].reason.isEmpty());
    EXPECT_EQ(QDir(readOnly).entryList(QDir::AllEntries | QDir::Hidden), entries);
    {
        const Snapshot after = Snapshot::take(folder.path());
        EXPECT_TRUE(after == before) << changes(before, after);
    }
    QFile::setPermissions(writable.filePath(QStringLiteral("Locked")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
