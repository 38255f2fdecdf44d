#include "app/SupportFolders.h"

#include "platform/core/UserDefaults.h"
#include "platform/drawing/Bundle.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString organization = QStringLiteral("Orvane");
// The program's names before the current one, oldest first.
const QString oldestName = QStringLiteral("Quarn Labels & Envelopes");
const QString middleName = QStringLiteral("Quarn Labels");

QString withSeparator(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

// <root>/Orvane/<name>
QString folder(const QString& root, const QString& name)
{
    return root + QLatin1Char('/') + organization + QLatin1Char('/') + name;
}

// Moves the item when it exists and nothing is at the target.
void moveIfFree(const QString& from, const QString& to)
{
    if (!QFileInfo::exists(from) || QFileInfo::exists(to))
        return;
    QDir().mkpath(QFileInfo(to).absolutePath());
    QDir().rename(from, to);
}

} // namespace

SupportFolders::Locations SupportFolders::Locations::standard()
{
    Locations locations;
    locations.dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    locations.cacheHome = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    locations.configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    locations.documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    locations.systemDataFolders =
        QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    locations.systemDataFolders.removeAll(locations.dataHome);
    // The program's own designs; where the installation keeps them when it has none.
    const platform::Bundle bundle;
    locations.resourceDesigns = bundle.pathForFileResource(QStringLiteral("Designs"));
    if (locations.resourceDesigns.isEmpty())
        locations.resourceDesigns =
            bundle.fileResourceFolders().value(0) + QStringLiteral("Designs");
    return locations;
}

QString SupportFolders::applicationName()
{
    return platform::Bundle().localizedString(QStringLiteral("Veltrin"),
                                              QStringLiteral("Application Names"));
}

void SupportFolders::migrateEarlierInstallations(const Locations& locations,
                                                 platform::UserDefaults& defaults)
{
    const QString current = applicationName();
    const auto moveAll = [&](const QString& from, const QString& to, const QString& cachesTo) {
        moveIfFree(folder(locations.cacheHome, from), folder(locations.cacheHome, cachesTo));
        moveIfFree(folder(locations.dataHome, from), folder(locations.dataHome, to));
        const QString settingsTo = folder(locations.configHome, to) + QStringLiteral(".ini");
        const bool hadSettings = QFileInfo::exists(settingsTo);
        moveIfFree(folder(locations.configHome, from) + QStringLiteral(".ini"), settingsTo);
        if (!hadSettings && QFileInfo::exists(settingsTo))
            defaults.reload();
        moveIfFree(folder(locations.documents, from), folder(locations.documents, to));
    };
    // The oldest name's caches go straight to the current name's; the rest go one name on.
    const QString firstRound = QStringLiteral("Update Application Name");
    if (defaults.boolForKey(firstRound)) {
        moveAll(oldestName, middleName, current);
        defaults.setBool(false, firstRound);
    }
    const QString secondRound = QStringLiteral("Update Application Name2");
    if (defaults.boolForKey(secondRound)) {
        moveAll(middleName, current, current);
        defaults.setBool(false, secondRound);
    }
}

SupportFolders SupportFolders::setUp(const Locations& locations, platform::UserDefaults& defaults)
{
    migrateEarlierInstallations(locations, defaults);

    const QString name = applicationName();
    SupportFolders folders;
    folders.cachesFolderPath = withSeparator(folder(locations.cacheHome, name));
    folders.temporaryFilesPath = folders.cachesFolderPath + QStringLiteral("Temporary Files/");
    QDir().mkpath(folders.temporaryFilesPath);
    folders.supportFolderPath = withSeparator(folder(locations.dataHome, name));
    QDir().mkpath(folders.supportFolderPath);

    const QString designs = QStringLiteral("Designs");
    for (const QString& system : locations.systemDataFolders) {
        const QString path = folder(system, name) + QLatin1Char('/') + designs;
        if (QFileInfo(path).isDir()) {
            folders.designsFolderPath = withSeparator(path);
            return folders;
        }
    }
    if (QFileInfo(folders.supportFolderPath + designs).isDir()) {
        folders.designsFolderPath = folders.supportFolderPath + designs + QLatin1Char('/');
        return folders;
    }
    folders.designsFolderPath = withSeparator(locations.resourceDesigns);
    defaults.setBool(false, QStringLiteral("Check For Version 1 Files"));
    return folders;
}
