#include "app/SupportFolders.h"

#include "platform/core/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SupportFoldersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        locations.dataHome = root.filePath(QStringLiteral("data"));
        locations.cacheHome = root.filePath(QStringLiteral("cache"));
        locations.configHome = root.filePath(QStringLiteral("config"));
        locations.documents = root.filePath(QStringLiteral("Documents"));
        locations.systemDataFolders = {root.filePath(QStringLiteral("usr/local/share")),
                                       root.filePath(QStringLiteral("usr/share"))};
        locations.resourceDesigns = root.filePath(QStringLiteral("resources/Designs"));
        defaults.registerDefaults({{QStringLiteral("Update Application Name"), true},
                                   {QStringLiteral("Update Application Name2"), true},
                                   {QStringLiteral("Check For Version 1 Files"), true}});
    }

    // A folder with one file in it, to follow where it goes.
    void makeFolder(const QString& path, const QString& marker)
    {
        QDir().mkpath(path);
        QFile file(path + QLatin1Char('/') + marker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QString path(const QString& relative) const { return root.filePath(relative); }

    QTemporaryDir root;
    SupportFolders::Locations locations;
    platform::UserDefaults defaults{root.filePath(QStringLiteral("config/Orvane/Veltrin.ini"))};
};

} // namespace

TEST_F(SupportFoldersTest, MakesTheFoldersEachEndingInASeparator)
{
    const SupportFolders folders = SupportFolders::setUp(locations, defaults);
    EXPECT_EQ(folders.supportFolderPath, path(QStringLiteral("data/Orvane/Veltrin/")));
    EXPECT_EQ(folders.cachesFolderPath, path(QStringLiteral("cache/Orvane/Veltrin/")));
    EXPECT_EQ(folders.temporaryFilesPath,
              path(QStringLiteral("cache/Orvane/Veltrin/Temporary Files/")));
    EXPECT_TRUE(QFileInfo(folders.supportFolderPath).isDir());
    EXPECT_TRUE(QFileInfo(folders.temporaryFilesPath).isDir());
    // Both rounds are done for good.
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("Update Application Name")));
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("Update Application Name2")));
}

TEST_F(SupportFoldersTest, MigratesEarlierInstallationsOnlyWhereTheTargetIsFree)
{
    struct Case
    {
        const char* name;
        QStringList present; // folders made before the start, each with a marker file
        // Where each marker is afterwards ("<folder>/<marker>").
        QStringList expected;
        QStringList gone;
    };
    const QList<Case> cases = {
        {"the oldest and the middle present: the middle moves on, the oldest stays",
         {"data/Orvane/Quarn Labels & Envelopes", "data/Orvane/Quarn Labels"},
         {"data/Orvane/Quarn Labels & Envelopes/marker0", "data/Orvane/Veltrin/marker1"},
         {"data/Orvane/Quarn Labels"}},
        {"the oldest alone reaches the current name in one start",
         {"data/Orvane/Quarn Labels & Envelopes", "Documents/Orvane/Quarn Labels & Envelopes",
          "cache/Orvane/Quarn Labels & Envelopes"},
         {"data/Orvane/Veltrin/marker0", "Documents/Orvane/Veltrin/marker1",
          "cache/Orvane/Veltrin/marker2"},
         {"data/Orvane/Quarn Labels & Envelopes", "data/Orvane/Quarn Labels"}},
        {"the target present: nothing moves",
         {"data/Orvane/Quarn Labels", "data/Orvane/Veltrin", "cache/Orvane/Quarn Labels"},
         {"data/Orvane/Quarn Labels/marker0", "data/Orvane/Veltrin/marker1",
          "cache/Orvane/Veltrin/marker2"},
         {"cache/Orvane/Quarn Labels"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(root.path()).removeRecursively();
        QDir().mkpath(root.path());
        defaults.removeObjectForKey(QStringLiteral("Update Application Name"));
        defaults.removeObjectForKey(QStringLiteral("Update Application Name2"));
        for (qsizetype i = 0; i < c.present.size(); ++i)
            makeFolder(path(c.present[i]), QStringLiteral("marker%1").arg(i));
        SupportFolders::setUp(locations, defaults);
        for (const QString& expected : c.expected)
            EXPECT_TRUE(QFileInfo::exists(path(expected))) << expected.toStdString();
        for (const QString& gone : c.gone)
            EXPECT_FALSE(QFileInfo::exists(path(gone))) << gone.toStdString();
    }
}

TEST_F(SupportFoldersTest, SettingsOfAnEarlierNameMoveAndAreReadAgain)
{
    const QString oldSettings = path(QStringLiteral("config/Orvane/Quarn Labels.ini"));
    {
        QDir().mkpath(QFileInfo(oldSettings).absolutePath());
        platform::UserDefaults old(oldSettings);
        old.setInteger(2, QStringLiteral("Units Type"));
        old.setBool(false, QStringLiteral("Update Application Name"));
    }
    SupportFolders::setUp(locations, defaults);
    EXPECT_FALSE(QFileInfo::exists(oldSettings));
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("Units Type")), 2);
    // The round's key is written into the moved file.
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("Update Application Name2")));
    QSettings moved(path(QStringLiteral("config/Orvane/Veltrin.ini")), QSettings::IniFormat);
    EXPECT_TRUE(moved.contains(QStringLiteral("Units Type")));
}

TEST_F(SupportFoldersTest, DesignsComeFromTheSystemThenTheUserThenTheProgram)
{
    struct Case
    {
        const char* name;
        QStringList present;
        const char* expected;
        bool checkVersion1Files;
    };
    const QList<Case> cases = {
        {"the first system folder that has them",
         {"usr/share/Orvane/Veltrin/Designs", "usr/local/share/Orvane/Veltrin/Designs",
          "data/Orvane/Veltrin/Designs"},
         "usr/local/share/Orvane/Veltrin/Designs/",
         true},
        {"a later system folder",
         {"usr/share/Orvane/Veltrin/Designs"},
         "usr/share/Orvane/Veltrin/Designs/",
         true},
        {"the user's", {"data/Orvane/Veltrin/Designs"}, "data/Orvane/Veltrin/Designs/", true},
        {"the program's own: no version-1 files to look for", {}, "resources/Designs/", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(path(QStringLiteral("usr"))).removeRecursively();
        QDir(path(QStringLiteral("data"))).removeRecursively();
        defaults.removeObjectForKey(QStringLiteral("Check For Version 1 Files"));
        for (const QString& folder : c.present)
            QDir().mkpath(path(folder));
        const SupportFolders folders = SupportFolders::setUp(locations, defaults);
        EXPECT_EQ(folders.designsFolderPath, path(QLatin1String(c.expected)));
        EXPECT_EQ(defaults.boolForKey(QStringLiteral("Check For Version 1 Files")),
                  c.checkVersion1Files);
    }
}
