#pragma once

// The program's folders on the user's machine, set up first thing at start-up:
//   support     <data home>/Orvane/<name>/                    the user's own files
//   caches      <cache home>/Orvane/<name>/                   working files
//   temporary   <caches>/Temporary Files/                     AutoRecover copies
//   designs     <system data folder>/Orvane/<name>/Designs/   ready-made designs for all
//               users, else the support folder's "Designs/", else the program's own
//   settings    <config home>/Orvane/<name>.ini
// <name> is the program's name (table "Application Names"). Every folder path ends in a
// separator.
//
// Earlier installations kept the same places under the program's two earlier names; their
// folders and settings file move to the current name once, each only when it exists and
// the current one does not. Moves report nothing: what cannot move stays where it is.

#include <QString>
#include <QStringList>

namespace platform {
class UserDefaults;
}

class SupportFolders
{
public:
    // The roots the folders are made in: the XDG folders of the user and the system.
    struct Locations
    {
        QString dataHome;
        QString cacheHome;
        QString configHome;
        QString documents;
        // The system's data folders, in the order they are searched.
        QStringList systemDataFolders;
        // The program's own ready-made designs, shipped with it.
        QString resourceDesigns;

        // The user's and the system's folders (QStandardPaths).
        static Locations standard();
    };

    // The program's name in the folder names ("Veltrin").
    static QString applicationName();

    // Moves the folders and the settings file of the earlier names to the current one,
    // each round once (its settings key turns NO). The settings are read again after
    // their file moved.
    static void migrateEarlierInstallations(const Locations& locations,
                                            platform::UserDefaults& defaults);

    // Migrates, makes the support and temporary folders and chooses the designs folder
    // (the program's own turns "Check For Version 1 Files" off).
    static SupportFolders setUp(const Locations& locations, platform::UserDefaults& defaults);

    QString supportFolderPath;
    QString cachesFolderPath;
    QString temporaryFilesPath;
    QString designsFolderPath;
};
