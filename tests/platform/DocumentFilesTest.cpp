// Documents and their files: file wrappers, saves that swap a new file in beside the old
// one, Save As and revert with their alerts, and the file dialog that takes packages as
// documents.

#include "FileTestSupport.h"

#include "platform/core/Error.h"
#include "platform/core/FileOperations.h"
#include "platform/core/FileWrapper.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Document.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/DocumentFileDialog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::Document;
using platform::Error;
using platform::FileWrapper;

namespace {

QStringList entriesOf(const QString& folder)
{
    QStringList entries;
    for (const QString& entry : treeOf(folder).keys())
        entries.append(entry.endsWith('/') ? entry.chopped(1) : entry);
    entries.sort();
    return entries;
}

// A document of one text, saved as a folder holding "text"; its writing can be made to fail
// halfway, and its save panel is answered by the test.
class NoteDocument : public Document
{
public:
    bool readFromFile(const QString& path, const QString& type, Error* error) override
    {
        const std::optional<FileWrapper> folder = FileWrapper::directoryWithPath(path, error);
        const FileWrapper* file = folder ? folder->fileWrapper(QStringLiteral("text")) : nullptr;
        const std::optional<QByteArray> bytes =
            file ? file->regularFileContents(error) : std::nullopt;
        if (!bytes)
            return Error::fail(error, QStringLiteral("Notes"), 1, QStringLiteral("No text."));
        text = *bytes;
        readType = type;
        return true;
    }
    bool writeToFile(const QString& path, const QString& type, SaveOperationType operation,
                     Error* error) override
    {
        savingPaths.append(savingPath());
        writtenTypes.append(type);
        Q_UNUSED(operation);
        FileWrapper folder = FileWrapper::directory();
        folder.addFileWrapper(QStringLiteral("text"), FileWrapper::regularFileWithContents(text));
        if (!folder.writeToPath(path, error))
            return false;
        if (failAfterWriting)
            return Error::fail(error, QStringLiteral("Notes"), 2, QStringLiteral("Disk full."));
        return true;
    }
    QString fileNameExtensionForType(const QString& type) const override
    {
        return type == QLatin1String("Note") ? QStringLiteral("note") : QString();
    }
    void runSavePanel(const QString& proposedPath,
                      std::function<void(const QString&)> didEnd) override
    {
        proposals.append(proposedPath);
        didEnd(answer);
    }
    void change() { updateChangeCount(ChangeDone); }

    QByteArray text;
    QString readType;
    bool failAfterWriting = false;
    QString answer;
    QStringList proposals;
    QStringList savingPaths;
    QStringList writtenTypes;
};

class DocumentFiles : public ::testing::Test
{
protected:
    DocumentFiles()
    {
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            alerts.append(alert.messageText + QLatin1Char('|') + alert.informativeText);
            return platform::Alert::Response();
        });
    }
    ~DocumentFiles() override { platform::Alert::setResponder({}); }

    QString path(const QString& name) const { return _folder.filePath(name); }

    // A folder "<name>/text" holding the text, made by hand.
    void writeNote(const QString& name, const QByteArray& text) const
    {
        ASSERT_TRUE(QDir().mkpath(path(name)));
        QFile file(path(name + "/text"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QStringList alerts;

private:
    QTemporaryDir _folder;
};

} // namespace

TEST_F(DocumentFiles, FileWrappersWriteAndReadFolders)
{
    const QString source = path("source.txt");
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("source");
    file.close();

    FileWrapper folder = FileWrapper::directory();
    folder.addFileWrapper("bytes", FileWrapper::regularFileWithContents("bytes"));
    folder.addFileWrapper("copied", FileWrapper::regularFileWithPath(source));
    folder.addFileWrapper("linked", FileWrapper::regularFileWithPath(source, true));
    FileWrapper inner = FileWrapper::directory();
    inner.addFileWrapper("link", FileWrapper::symbolicLinkWithDestination("../bytes"));
    folder.addFileWrapper("inner", inner);
    Error error;
    ASSERT_TRUE(folder.writeToPath(path("out"), &error)) << error.description.toStdString();
    EXPECT_EQ(bytesOf(path("out/bytes")), "bytes");
    EXPECT_EQ(bytesOf(path("out/copied")), "source");
    EXPECT_NE(inodeOf(path("out/copied")), inodeOf(source));
    EXPECT_EQ(inodeOf(path("out/linked")), inodeOf(source));
    EXPECT_EQ(QFileInfo(path("out/inner/link")).symLinkTarget(),
              QFileInfo(path("out/bytes")).absoluteFilePath());
    // Written files are not overwritten.
    EXPECT_FALSE(FileWrapper::regularFileWithContents("x").writeToPath(path("out/bytes"), &error));
    EXPECT_EQ(error.domain, platform::FileErrorDomain);
    EXPECT_TRUE(error.description.contains("bytes"));

    // Read back: files (not read yet), folders, links to files of the folder; links leading
    // out are left out.
    ASSERT_TRUE(QFile::link(source, path("out/outside")));
    ASSERT_TRUE(QFile::link("bytes", path("out/alias")));
    ASSERT_TRUE(QFile::link("missing", path("out/dangling")));
    const std::optional<FileWrapper> read = FileWrapper::directoryWithPath(path("out"), &error);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->fileWrappers().keys(),
              (QStringList{"alias", "bytes", "copied", "inner", "linked"}));
    EXPECT_TRUE(read->fileWrapper("inner")->isDirectory());
    EXPECT_EQ(read->fileWrapper("alias")->regularFileContents(), QByteArray("bytes"));
    EXPECT_TRUE(read->fileWrapper("copied")->regularFileStartsWith("sour"));
    EXPECT_FALSE(read->fileWrapper("inner")->regularFileContents(&error));
    QFile::remove(path("out/bytes"));
    EXPECT_FALSE(read->fileWrapper("bytes")->regularFileContents(&error));
    EXPECT_TRUE(error.description.contains("bytes"));
    EXPECT_FALSE(FileWrapper::directoryWithPath(source, &error));
    EXPECT_FALSE(FileWrapper::directoryWithPath(path("none"), &error));

    for (const char* name : {"a", "a.b", "~x"})
        EXPECT_TRUE(FileWrapper::isSinglePathComponent(name)) << name;
    for (const char* name : {"", ".", "..", "a/b", "/"})
        EXPECT_FALSE(FileWrapper::isSinglePathComponent(name)) << name;
}

TEST_F(DocumentFiles, ASaveSwapsTheNewFileInAndAFailedOneLeavesTheOld)
{
    NoteDocument document;
    document.text = "first";
    const QString file = path("Notes.note");
    Error error;
    ASSERT_TRUE(document.saveToFile(file, "Note", Document::SaveAsOperation, &error));
    EXPECT_EQ(document.fileName(), file);
    EXPECT_EQ(document.fileType(), "Note");
    // Written beside the file, then put in its place.
    ASSERT_EQ(document.savingPaths.size(), 1);
    EXPECT_EQ(document.savingPaths.first(), file);
    EXPECT_EQ(bytesOf(file + "/text"), "first");

    document.text = "second";
    document.change();
    EXPECT_TRUE(document.isDocumentEdited());
    document.saveDocument();
    EXPECT_EQ(bytesOf(file + "/text"), "second");
    EXPECT_FALSE(document.isDocumentEdited());
    EXPECT_EQ(entriesOf(path("")), (QStringList{"Notes.note", "Notes.note/text"}));

    // Failing after writing: the old file as it was, nothing left over, still edited.
    document.text = "third";
    document.change();
    document.failAfterWriting = true;
    document.saveDocument();
    EXPECT_EQ(bytesOf(file + "/text"), "second");
    EXPECT_EQ(entriesOf(path("")), (QStringList{"Notes.note", "Notes.note/text"}));
    EXPECT_TRUE(document.isDocumentEdited());
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first(), "The document \u201cNotes.note\u201d could not be saved.|Disk full.");
    document.failAfterWriting = false;

    // Save To: a copy; the document keeps its file, type and edited state.
    ASSERT_TRUE(document.saveToFile(path("Copy.note"), "Note", Document::SaveToOperation, &error));
    EXPECT_EQ(bytesOf(path("Copy.note/text")), "third");
    EXPECT_EQ(document.fileName(), file);
    EXPECT_TRUE(document.isDocumentEdited());

    // Revert: read again.
    document.revertDocumentToSaved();
    EXPECT_EQ(document.text, "second");
    EXPECT_EQ(document.readType, "Note");
    EXPECT_FALSE(document.isDocumentEdited());
    QDir(file).removeRecursively();
    document.revertDocumentToSaved();
    EXPECT_EQ(alerts.size(), 2);
    EXPECT_TRUE(
        alerts.last().startsWith("The document \u201cNotes.note\u201d could not be reverted."));
}

TEST_F(DocumentFiles, ASaveReplacesOnlyItsOwnFileAndLeavesNothingBehind)
{
    // A document of the user's whose name is the saved one's with "~", and hidden files
    // that look like a save's siblings but are not.
    writeNote("Notes~.note", "mine");
    writeNote(".Notes.note~", "hidden");
    writeNote(".Notes.note-1", "hidden too");
    const QMap<QString, QByteArray> others = treeOf(path(""));

    // In one step where the file system exchanges names; in two where it cannot.
    for (const bool exchanges : {true, false}) {
        SCOPED_TRACE(exchanges ? "exchange" : "two renames");
        QStringList exchanged;
        platform::FileOperationHooks hooks;
        if (!exchanges) {
            hooks.exchange = [&](const QString& a, const QString& b) {
                // The new file is complete, on the disk, when it takes the old one's place.
                exchanged << bytesOf(a + "/text") + " for " + bytesOf(b + "/text");
                return false;
            };
        }
        platform::setFileOperationHooks(hooks);
        NoteDocument document;
        const QString file = path("Notes.note");
        for (const char* text : {"first", "second", "third"}) {
            document.text = text;
            Error error;
            ASSERT_TRUE(document.saveToFile(file, "Note", Document::SaveAsOperation, &error))
                << error.description.toStdString();
            EXPECT_EQ(bytesOf(file + "/text"), text);
        }
        platform::setFileOperationHooks({});
        if (!exchanges) {
            EXPECT_EQ(exchanged, (QStringList{"second for first", "third for second"}));
        }
        QMap<QString, QByteArray> expected = others;
        expected.insert("Notes.note/", {});
        expected.insert("Notes.note/text", "third");
        EXPECT_EQ(treeOf(path("")), expected);
        ASSERT_TRUE(QDir(file).removeRecursively());
    }
}

TEST_F(DocumentFiles, AnInterruptedSaveIsMendedWhenTheFileIsOpenedAgain)
{
    auto& controller = platform::DocumentController::sharedDocumentController();
    platform::DocumentController::DocumentTypes types;
    types.extensions = {"note"};
    types.typeForExtension = [](const QString& e) { return e == "note" ? "Note" : QString(); };
    types.read = [](const QString& p, const QString& type, Error* error) {
        auto document = std::make_unique<NoteDocument>();
        return document->readFromFile(p, type, error) ? std::move(document) : nullptr;
    };
    controller.setDocumentTypes(types);
    // Makes a leftover of a save, `age` seconds old.
    const auto leftover = [&](const QString& name, const QByteArray& text, int age) {
        writeNote(name, text);
        const timespec when[2] = {{time(nullptr) - age, 0}, {time(nullptr) - age, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path(name)).constData(), when, 0);
    };
    struct Case
    {
        const char* what;
        std::function<void()> make;
        const char* opened;
    };
    const Case cases[] = {
        {"exchanged, the old one not yet gone",
         [&] {
             writeNote("Notes.note", "new");
             leftover(".Notes.note~ab12CD", "old", 60);
         },
         "new"},
        {"written in part",
         [&] {
             writeNote("Notes.note", "old");
             leftover(".Notes.note-ab12CD", "ne", 0);
         },
         "old"},
        {"the old one moved aside, the new one complete beside it",
         [&] {
             leftover(".Notes.note~aaaaaa", "old", 60);
             leftover(".Notes.note~bbbbbb", "new", 0);
             leftover(".Notes.note-cccccc", "newer, in part", 0);
         },
         "new"},
        {"only the old one, moved aside", [&] { leftover(".Notes.note~aaaaaa", "old", 60); },
         "old"},
    };
    writeNote("Notes~.note", "mine");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.make();
        Error error;
        Document* opened = controller.openDocumentWithContentsOfFile(path("Notes.note"), &error);
        ASSERT_NE(opened, nullptr) << error.description.toStdString();
        EXPECT_EQ(static_cast<NoteDocument*>(opened)->text, c.opened);
        EXPECT_EQ(entriesOf(path("")), (QStringList{"Notes.note", "Notes.note/text", "Notes~.note",
                                                    "Notes~.note/text"}));
        controller.closeAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(QDir(path("Notes.note")).removeRecursively());
    }
    EXPECT_EQ(bytesOf(path("Notes~.note/text")), "mine");
    controller.setDocumentTypes({});
}

TEST_F(DocumentFiles, AFullDiskIsReportedWithTheSystemsReason)
{
    NoteDocument document;
    document.text = "first";
    const QString file = path("Notes.note");
    Error error;
    ASSERT_TRUE(document.saveToFile(file, "Note", Document::SaveAsOperation, &error));

    // A disk with room for a few bytes: the system writes what fits (a short count, no
    // error), then the next write fails as a full device does.
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    size_t room = 3;
    platform::FileWrapper::setWriteHook([&](int descriptor, const char* data, size_t size) {
        if (room == 0)
            return long(::write(full, data, size));
        const long written = long(::write(descriptor, data, std::min(size, room)));
        room -= size_t(written);
        return written;
    });
    document.text = "second";
    document.change();
    document.saveDocument();
    // A copy of a file (a member of the package) fails the same way.
    writeNote("source", "bytes");
    room = 2;
    EXPECT_FALSE(
        FileWrapper::regularFileWithPath(path("source/text")).writeToPath(path("copy"), &error));
    platform::FileWrapper::setWriteHook({});
    ::close(full);

    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().startsWith(
        "The document \u201cNotes.note\u201d could not be saved.|The file \""))
        << alerts.first().toStdString();
    EXPECT_TRUE(alerts.first().endsWith("/text\" cannot be written: No space left on device"))
        << alerts.first().toStdString();
    EXPECT_TRUE(error.description.endsWith("No space left on device"))
        << error.description.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("copy")));
    EXPECT_EQ(bytesOf(file + "/text"), "first");
    EXPECT_EQ(entriesOf(path("")),
              (QStringList{"Notes.note", "Notes.note/text", "source", "source/text"}));
    EXPECT_TRUE(document.isDocumentEdited());
}

TEST_F(DocumentFiles, SaveAsProposesTheTypesExtensionAndSavesWhereChosen)
{
    NoteDocument document;
    document.setFileType("Note");
    // Untitled: Save runs Save As, proposing "Untitled" in the documents folder (the home
    // folder while there is none).
    bool saved = true;
    document.saveDocumentWithDelegate([&](bool s) { saved = s; });
    EXPECT_FALSE(saved);
    EXPECT_EQ(document.proposals,
              QStringList{QDir(platform::documentsFolder()).filePath("Untitled.note")});
    EXPECT_TRUE(document.fileName().isNull());

    document.answer = path("Chosen.note");
    document.saveDocumentWithDelegate([&](bool s) { saved = s; });
    EXPECT_TRUE(saved);
    EXPECT_EQ(document.fileName(), path("Chosen.note"));
    document.proposals.clear();
    document.setFileName(path("Old.txt"));
    document.answer = QString();
    document.saveDocumentAs();
    EXPECT_EQ(document.proposals, QStringList{path("Old.note")});
    EXPECT_EQ(document.fileName(), path("Old.txt"));
    EXPECT_EQ(document.displayName(), "Old.txt");
}

// A panel opens in the folder it is given, else where the user last chose something in any
// panel: saving into a folder makes the next open panel start there.
TEST_F(DocumentFiles, PanelsOpenWhereTheUserLastChose)
{
    ASSERT_TRUE(QDir().mkpath(path("Given")));
    ASSERT_TRUE(QDir().mkpath(path("Chosen")));
    QFileDialog save;
    save.setOption(QFileDialog::DontUseNativeDialog);
    save.setAcceptMode(QFileDialog::AcceptSave);
    platform::openInUsersFolder(&save, path("Given"));
    EXPECT_EQ(save.directory(), QDir(path("Given")));
    save.selectFile(path("Chosen/Card.note"));
    static_cast<QDialog&>(save).accept(); // as its Save button does

    QFileDialog open;
    open.setOption(QFileDialog::DontUseNativeDialog);
    platform::openInUsersFolder(&open);
    EXPECT_EQ(open.directory(), QDir(path("Chosen")));
    QFileDialog given;
    platform::openInUsersFolder(&given, path("Given"));
    EXPECT_EQ(given.directory(), QDir(path("Given")));
}

TEST_F(DocumentFiles, TheFileDialogTakesPackagesAsDocuments)
{
    for (const char* folder : {"Card.quarnlb", "Plain", "Plain/Inner.quarnlb"})
        ASSERT_TRUE(QDir().mkpath(path(folder)));

    platform::DocumentFileDialog open(nullptr, platform::DocumentFileDialog::Open,
                                      {"quarnlb", "quarnev"});
    EXPECT_TRUE(open.isDocumentPackage(path("Card.quarnlb")));
    EXPECT_FALSE(open.isDocumentPackage(path("Plain")));
    EXPECT_TRUE(open.testOption(QFileDialog::DontUseNativeDialog));
    // Shown with a document's icon, where the style tells files and folders apart.
    const auto look = [](const QIcon& icon) { return icon.pixmap(16).toImage(); };
    const QFileIconProvider plain;
    const QImage fileIcon = look(plain.icon(QAbstractFileIconProvider::File));
    const QImage folderIcon = look(plain.icon(QAbstractFileIconProvider::Folder));
    EXPECT_EQ(look(open.iconProvider()->icon(QFileInfo(path("Card.quarnlb")))), fileIcon);
    if (fileIcon != folderIcon) {
        EXPECT_EQ(look(open.iconProvider()->icon(QFileInfo(path("Plain")))), folderIcon);
    }
    // And listed as one.
    EXPECT_EQ(open.iconProvider()->type(QFileInfo(path("Card.quarnlb"))), "Document");
    EXPECT_EQ(open.iconProvider()->type(QFileInfo(path("Plain"))),
              plain.type(QFileInfo(path("Plain"))));
    // Its name typed and Open: chosen, not browsed into.
    open.setDirectory(path(""));
    open.selectFile("Card.quarnlb");
    open.accept();
    EXPECT_EQ(open.result(), QDialog::Accepted);
    EXPECT_EQ(open.selectedDocumentPaths(), QStringList{path("Card.quarnlb")});

    // A plain folder is browsed into; a package entered there (double-click) is chosen.
    platform::DocumentFileDialog browse(nullptr, platform::DocumentFileDialog::Open, {"quarnlb"});
    browse.setDirectory(path(""));
    browse.selectFile("Plain");
    browse.accept();
    EXPECT_NE(browse.result(), QDialog::Accepted);
    EXPECT_EQ(QDir(browse.directory()).absolutePath(), QDir(path("Plain")).absolutePath());
    Q_EMIT browse.directoryEntered(path("Plain/Inner.quarnlb"));
    EXPECT_EQ(browse.result(), QDialog::Accepted);
    EXPECT_EQ(browse.selectedDocumentPaths(), QStringList{path("Plain/Inner.quarnlb")});

    // Saving: the type's extension, and a question before replacing a document.
    QStringList asked;
    bool replace = false;
    platform::DocumentFileDialog save(nullptr, platform::DocumentFileDialog::Save, {"quarnlb"});
    save.setReplaceQuestion([&](const QString& p) {
        asked.append(p);
        return replace;
    });
    save.setDirectory(path(""));
    save.selectFile("Card");
    static_cast<QDialog&>(save).accept(); // as its Save button does
    EXPECT_EQ(asked, QStringList{path("Card.quarnlb")});
    EXPECT_NE(save.result(), QDialog::Accepted);
    replace = true;
    Q_EMIT save.directoryEntered(path("Card.quarnlb"));
    EXPECT_EQ(save.result(), QDialog::Accepted);
    EXPECT_EQ(save.selectedDocumentPaths(), QStringList{path("Card.quarnlb")});

    platform::DocumentFileDialog fresh(nullptr, platform::DocumentFileDialog::Save, {"quarnlb"});
    fresh.setReplaceQuestion([&](const QString& p) {
        asked.append(p);
        return false;
    });
    fresh.setDirectory(path(""));
    fresh.selectFile("New.txt");
    fresh.accept();
    EXPECT_EQ(fresh.result(), QDialog::Accepted);
    EXPECT_EQ(fresh.selectedDocumentPaths(), QStringList{path("New.txt.quarnlb")});
    EXPECT_EQ(asked.size(), 2) << "nothing to replace, nothing asked";
}

TEST_F(DocumentFiles, WhatTheOpenDialogChoseIsKnownWhenItIsAccepted)
{
    // A plain file (no package), as a picture chosen by name: the choice is there when the
    // dialog announces its acceptance, which is when its users read it.
    ASSERT_TRUE(QFile(path("picture.png")).open(QIODevice::WriteOnly));
    platform::DocumentFileDialog open(nullptr, platform::DocumentFileDialog::Open, {"quarnlb"});
    QStringList announced;
    QObject::connect(&open, &QDialog::accepted, [&] { announced = open.selectedDocumentPaths(); });
    open.setDirectory(path(""));
    open.selectFile("picture.png");
    open.accept();
    EXPECT_EQ(announced, QStringList{path("picture.png")});

    // Answered by a test's responder instead of the user; one that leaves the dialog
    // open cancels it.
    QList<int> results;
    platform::DocumentFileDialog::setResponder([](platform::DocumentFileDialog& dialog) {
        if (dialog.acceptMode() == QFileDialog::AcceptOpen) {
            dialog.selectFile("picture.png");
            dialog.accept();
        }
    });
    for (auto mode : {platform::DocumentFileDialog::Open, platform::DocumentFileDialog::Save}) {
        platform::DocumentFileDialog dialog(nullptr, mode, {"quarnlb"});
        dialog.setDirectory(path(""));
        QObject::connect(&dialog, &QDialog::finished, [&](int result) { results << result; });
        dialog.begin();
        EXPECT_FALSE(dialog.isVisible());
    }
    platform::DocumentFileDialog::setResponder(nullptr);
    EXPECT_EQ(results, QList<int>({QDialog::Accepted, QDialog::Rejected}));
}

TEST_F(DocumentFiles, OtherPanelsShowDocumentsAsDocumentsAndStayOutOfThem)
{
    ASSERT_TRUE(QDir().mkpath(path("Card.quarnlb/QuickLook")));
    ASSERT_TRUE(QDir().mkpath(path("Plain")));
    // A picture panel, where a user double-clicks a saved document or types its name.
    QFileDialog panel;
    panel.setFileMode(QFileDialog::ExistingFiles);
    platform::keepOutOfDocuments(&panel, {"quarnlb"});
    EXPECT_TRUE(panel.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(panel.iconProvider()->type(QFileInfo(path("Card.quarnlb"))), "Document");
    const QString here = QFileInfo(path("")).absoluteFilePath();
    panel.setDirectory(here);
    panel.selectFile("Card.quarnlb");
    QMetaObject::invokeMethod(&panel, "accept");
    QCoreApplication::processEvents();
    EXPECT_EQ(QFileInfo(panel.directory().absolutePath()).absoluteFilePath(), here);
    EXPECT_NE(panel.result(), QDialog::Accepted);
    // A plain folder is still browsed into.
    panel.setDirectory(path("Plain"));
    EXPECT_EQ(panel.directory().absolutePath(), QFileInfo(path("Plain")).absoluteFilePath());
}

TEST(AlertCancelButton, EscapeChoosesIt)
{
    platform::Alert::setResponder(nullptr);
    QWidget window;
    platform::Alert alert;
    alert.buttons = {"New File...", "Cancel", "Replace Old File"};
    alert.cancelButton = 1;
    int code = 0;
    alert.beginSheetModalForWindow(
        &window, [&](const platform::Alert::Response& response) { code = response.returnCode; });
    auto* box = window.findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    QTest::keyClick(box, Qt::Key_Escape);
    QElapsedTimer clock;
    clock.start();
    while (code == 0 && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(code, platform::Alert::SecondButtonReturn);
}
