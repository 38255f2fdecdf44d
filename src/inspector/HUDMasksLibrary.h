#pragma once

// The masks library: a read-only store of mask shapes the effects pane offers after its
// eight built-in shapes. It is an SQLite file, "Masks Library" among the program's file
// resources, written when the program is built (tools/maskslibrary) and only ever read
// here. One mask is a "MaskObject" row (its menu title "name", its menu picture
// "thumbnail", its sort position "index", the softness it starts with "defaultSoftness")
// whose "maskData" names a "MaskData" row holding the mask picture "imageData": white
// where the picture shows, black where it is hidden.
//
// The palette reads the library once per run (masks()); a library that cannot be read is
// reported to the user once and leaves the pane with its built-in shapes.

#include "platform/core/SqlStore.h"

#include <QImage>
#include <QList>
#include <QString>

#include <optional>

namespace platform {
struct Error;
}

struct HUDMaskRecord
{
    QString name;
    QImage thumbnail; // null when the stored one cannot be read
    qint64 index = 0;
    qint64 defaultSoftness = 0;
    QImage picture; // never null
};

class HUDMasksLibrary
{
public:
    // The schema; the writer of the file uses the same.
    static constexpr int SchemaVersion = 1;
    static QList<platform::SqlStore::Migration> migrations()
    {
        return {{
            QStringLiteral(
                "CREATE TABLE MaskData (id INTEGER PRIMARY KEY, imageData BLOB NOT NULL)"),
            QStringLiteral(
                "CREATE TABLE MaskObject (id INTEGER PRIMARY KEY, name TEXT NOT NULL, "
                "thumbnail BLOB, \"index\" INTEGER NOT NULL, defaultSoftness INTEGER NOT NULL "
                "DEFAULT 0, maskData INTEGER REFERENCES MaskData(id))"),
        }};
    }
    static QString fileName() { return QStringLiteral("Masks Library"); }

    // Every mask of the file, sorted by index (masks of one index keep the file's order).
    // A mask whose picture cannot be read is left out; a file that cannot be opened or
    // read gives none and the error.
    static std::optional<QList<HUDMaskRecord>> readMasks(const QString& path,
                                                         platform::Error* error = nullptr);

    // The library's masks, read on first use from path(); none when it cannot be read,
    // which is reported once.
    static const QList<HUDMaskRecord>& masks();
    // The file read: the program's file resource unless set; setting forgets what was read
    // (and whether a failure was reported).
    static QString path();
    static void setPath(const QString& path);
};
