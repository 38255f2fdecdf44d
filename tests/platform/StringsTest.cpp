#include "platform/core/Strings.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::LocalizedString;

namespace {

// Collects the warnings logged while it lives.
class WarningCatcher
{
public:
    WarningCatcher()
    {
        messages().clear();
        _previous = qInstallMessageHandler(&WarningCatcher::handle);
    }
    ~WarningCatcher() { qInstallMessageHandler(_previous); }
    QStringList warnings() const { return messages(); }

private:
    static QStringList& messages()
    {
        static QStringList list;
        return list;
    }
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type == QtWarningMsg)
            messages().append(message);
    }
    QtMessageHandler _previous;
};

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(bytes) == bytes.size();
}

} // namespace

TEST(Strings, LooksKeysUpInTheResourceTable)
{
    struct Case
    {
        QString key;
        QString text;
    };
    const Case cases[] = {
        {"Undo %@", "Undo %@"},
        {QString::fromUtf8("Print\u2026"), QString::fromUtf8("Print\u2026")},
        {"Open Recent", "Open a recent design"},
        {"Copies", "Copies: %ld"},
        {QString::fromUtf8("Caf\u00e9"), QString::fromUtf8("Caf\u00e9 \u2615")},
        {"Empty", ""},
        {"Not a text", "Not a text"}, // only texts count
        {"Not in the table", "Not in the table"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LocalizedString(c.key, "PlatformTest"), c.text) << c.key.toStdString();
}

TEST(Strings, MissingOrBrokenTablesShowTheKeysAndWarnOnce)
{
    for (const char* table : {"NoSuchTable", "BrokenTest", "ListTest"}) {
        WarningCatcher catcher;
        EXPECT_EQ(LocalizedString("Broken", table), QString("Broken"));
        EXPECT_EQ(LocalizedString("Other key", table), QString("Other key"));
        ASSERT_EQ(catcher.warnings().size(), 1) << table;
        EXPECT_TRUE(catcher.warnings().first().contains(table))
            << catcher.warnings().first().toStdString();
    }
}

TEST(Strings, AddedFoldersComeFirstAndTablesAreReadOnce)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(writeFile(folder.filePath("PlatformTest.strings"), "Copies = \"%ld copies\";\n"));
    ASSERT_TRUE(writeFile(folder.filePath("FolderTest.strings"), "Key = First;\n"));
    platform::addStringTableFolder(folder.path());

    EXPECT_EQ(LocalizedString("Copies", "PlatformTest"), QString("%ld copies"));
    EXPECT_EQ(LocalizedString("Undo %@", "PlatformTest"),
              QString("Undo %@")); // the key: not in this copy
    EXPECT_EQ(LocalizedString("Key", "FolderTest"), QString("First"));

    ASSERT_TRUE(writeFile(folder.filePath("FolderTest.strings"), "Key = Second;\n"));
    EXPECT_EQ(LocalizedString("Key", "FolderTest"), QString("First"));

    ASSERT_TRUE(QFile::remove(folder.filePath("PlatformTest.strings")));
    platform::addStringTableFolder(folder.path() + "/none"); // read afresh: the resource again
    EXPECT_EQ(LocalizedString("Copies", "PlatformTest"), QString("Copies: %ld"));
    EXPECT_EQ(LocalizedString("Key", "FolderTest"), QString("Second"));
}

TEST(Strings, LibraryTablesComeFromTheirOwnBundle)
{
    EXPECT_EQ(LocalizedString("Copies", "PlatformTest", "TestBundle"),
              QString("%ld copies of the library"));
    EXPECT_EQ(LocalizedString("Undo %@", "PlatformTest", "TestBundle"), QString("Undo %@"));
    EXPECT_EQ(LocalizedString("Open Recent", "PlatformTest"), QString("Open a recent design"));

    // Folders added for the program's tables never stand in for a library's.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(writeFile(folder.filePath("PlatformTest.strings"), "Copies = Folder;\n"));
    platform::addStringTableFolder(folder.path());
    EXPECT_EQ(LocalizedString("Copies", "PlatformTest", "TestBundle"),
              QString("%ld copies of the library"));
    WarningCatcher catcher;
    EXPECT_EQ(LocalizedString("Copies", "PlatformTest", "NoSuchBundle"), QString("Copies"));
    EXPECT_EQ(catcher.warnings().size(), 1);
}
