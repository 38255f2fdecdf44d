// Copying folder trees (links and special files left out, a failed copy leaving nothing),
// free names, and the pasteboard's type names.

#include "platform/core/FileOperations.h"
#include "platform/core/Error.h"
#include "platform/ui/Pasteboard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

bool write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

TEST(FileOperations, CopyTreeLeavesLinksOutAndCleansUpAfterAFailure)
{
    QTemporaryDir folder;
    const QString from = folder.filePath(QStringLiteral("kit"));
    ASSERT_TRUE(write(from + QStringLiteral("/a.txt"), "a"));
    ASSERT_TRUE(write(from + QStringLiteral("/Images/b.png"), "b"));
    ASSERT_TRUE(write(folder.filePath(QStringLiteral("secret.txt")), "secret"));
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("secret.txt")),
                            from + QStringLiteral("/link.txt")));
    ASSERT_TRUE(QFile::link(folder.path(), from + QStringLiteral("/Images/loop")));

    const QString to = folder.filePath(QStringLiteral("copy"));
    ASSERT_TRUE(platform::copyItem(from, to));
    EXPECT_EQ(
        QDir(to).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name),
        (QStringList{"Images", "a.txt"}));
    EXPECT_EQ(QDir(to + QStringLiteral("/Images"))
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
              QStringList{"b.png"});
    // Never over something that is there.
    platform::Error error;
    EXPECT_FALSE(platform::copyItem(from, to, &error));
    EXPECT_EQ(error.domain, platform::FileErrorDomain);

    // A copy failing at its second file leaves no half copy.
    int files = 0;
    platform::FileOperationHooks hooks;
    hooks.copyFile = [&files](const QString& source, const QString& target) {
        return ++files < 2 && QFile::copy(source, target);
    };
    platform::setFileOperationHooks(hooks);
    const QString failed = folder.filePath(QStringLiteral("failed"));
    EXPECT_FALSE(platform::copyItem(from, failed, &error));
    platform::setFileOperationHooks({});
    EXPECT_FALSE(QFileInfo::exists(failed));
    EXPECT_TRUE(error.description.contains(QStringLiteral("could not be copied")));

    EXPECT_TRUE(platform::removeItem(to));
    EXPECT_FALSE(QFileInfo::exists(to));
    EXPECT_TRUE(QFileInfo::exists(folder.filePath(QStringLiteral("secret.txt"))));
    EXPECT_TRUE(platform::removeItem(to)); // missing counts as removed
}

TEST(FileOperations, CopiedFilesKeepTheirBytesAndPermissions)
{
    QTemporaryDir folder;
    const QString from = folder.filePath(QStringLiteral("kit"));
    QByteArray large(300 * 1024 + 7, '\0');
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = char(i * 31 % 251);
    ASSERT_TRUE(write(from + QStringLiteral("/large.bin"), large));
    ASSERT_TRUE(write(from + QStringLiteral("/empty"), QByteArray()));
    ASSERT_TRUE(write(from + QStringLiteral("/tool.sh"), "#!/bin/sh\n"));
    const QFile::Permissions executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                          | QFile::ReadGroup | QFile::ReadUser | QFile::WriteUser
                                          | QFile::ExeUser;
    ASSERT_TRUE(QFile::setPermissions(from + QStringLiteral("/tool.sh"), executable));

    const QString to = folder.filePath(QStringLiteral("copy"));
    ASSERT_TRUE(platform::copyItem(from, to));
    for (const char* name : {"large.bin", "empty", "tool.sh"}) {
        QFile original(from + u'/' + QLatin1String(name));
        QFile copy(to + u'/' + QLatin1String(name));
        ASSERT_TRUE(original.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(copy.readAll(), original.readAll()) << name;
        EXPECT_EQ(copy.permissions(), original.permissions()) << name;
    }
}

TEST(FileOperations, UniquePath)
{
    QTemporaryDir folder;
    const QString kit = folder.filePath(QStringLiteral("Garden.icorbeil"));
    EXPECT_EQ(platform::uniquePath(kit), kit);
    QDir().mkpath(kit);
    EXPECT_EQ(platform::uniquePath(kit), folder.filePath(QStringLiteral("Garden 2.icorbeil")));
    QDir().mkpath(folder.filePath(QStringLiteral("Garden 2.icorbeil")));
    EXPECT_EQ(platform::uniquePath(kit), folder.filePath(QStringLiteral("Garden 3.icorbeil")));
    ASSERT_TRUE(write(folder.filePath(QStringLiteral("notes")), "x"));
    EXPECT_EQ(platform::uniquePath(folder.filePath(QStringLiteral("notes"))),
              folder.filePath(QStringLiteral("notes 2")));
}

// File panels open in the documents folder, or in the home folder while there is none: a
// panel sent to a missing folder would show the program's working folder.
TEST(FileOperations, DocumentsFolderIsTheHomeFolderUntilThereIsOne)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", oldHome);
        qputenv("XDG_CONFIG_HOME", oldConfig);
    });
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral(".config")).toLocal8Bit());
    EXPECT_EQ(QDir(platform::documentsFolder()), QDir(home.path()));
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("Documents")));
    EXPECT_EQ(QDir(platform::documentsFolder()), QDir(home.filePath(QStringLiteral("Documents"))));
}

TEST(Pasteboard, TypeNamesAndMimeTypes)
{
    const std::pair<QString, const char*> cases[] = {
        {platform::FilenamesPboardType, "text/uri-list"},
        {platform::TIFFPboardType, "image/tiff"},
        {platform::PDFPboardType, "application/pdf"},
        {platform::PostScriptPboardType, "application/postscript"},
        {platform::PNGPboardType, "image/png"},
        {QStringLiteral("Quarn Print Line 1"), "application/x-quarn-print-line-1"},
    };
    for (const auto& [type, mime] : cases)
        EXPECT_EQ(platform::mimeTypeForPasteboardType(type), QString::fromLatin1(mime))
            << type.toStdString();

    QMimeData data;
    data.setText(QStringLiteral("old"));
    platform::Pasteboard pasteboard(&data);
    pasteboard.declareTypes({platform::PNGPboardType, platform::FilenamesPboardType});
    EXPECT_FALSE(data.hasText()); // new contents
    EXPECT_TRUE(pasteboard.setData("png", platform::PNGPboardType));
    EXPECT_FALSE(pasteboard.setData("pdf", platform::PDFPboardType)); // not declared
    EXPECT_TRUE(pasteboard.setPropertyList(QStringList{QStringLiteral("/a b/c.png")},
                                           platform::FilenamesPboardType));
    EXPECT_EQ(data.data(QStringLiteral("image/png")), QByteArray("png"));
    EXPECT_EQ(data.urls(), QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/a b/c.png"))});
    EXPECT_EQ(pasteboard.propertyListForType(platform::FilenamesPboardType).toStringList(),
              QStringList{QStringLiteral("/a b/c.png")});
}
