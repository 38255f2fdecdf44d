#pragma once

// The favourites' store: one SQLite file of collections that hold categories that hold
// objects, each object with its thumbnail (in a table of its own beside the object's, so
// rows that change as items are reordered stay small) and, for pictures kept in the store and for
// graphics, one row of data (read only when the object's graphics are built). Relations are
// foreign keys with cascading deletes: deleting a collection deletes its categories, their
// objects and their data.
//
// An object's "index" is its place in its category, 0-based and contiguous; objects are
// read ordered by index, then by row id.
//
// Changes made between begin() and save() are one transaction: save() commits them,
// rollback() forgets them. Opening tells apart a damaged file (set aside under a new name,
// and whatever rows it still yields copied into a new store), a file another process
// holds locked (left as it is) and other failures. The table names are given by the
// library that uses the store (entity names).
//
// Main thread only. Knows no widgets.

#include "platform/core/SqlStore.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace platform {
struct Error;
}

class LBLibraryStore
{
public:
    // What an object holds, as stored ("type").
    enum ObjectType : qint64 { ImageDataObject = 0, LinkedFileObject = 1, GraphicsObject = 2 };

    struct EntityNames
    {
        QString collection = QStringLiteral("Collection");
        QString category = QStringLiteral("Category");
        QString object = QStringLiteral("Object");
        QString objectData = QStringLiteral("ObjectData");
    };

    struct Category
    {
        qint64 id = 0;
        QString name;
        qint64 collection = 0;
    };
    struct Collection
    {
        qint64 id = 0;
        QString name;
        QList<Category> categories; // by name, ignoring case
    };
    struct Object
    {
        qint64 id = 0;
        QString name;
        QByteArray thumbnail; // PNG
        qint64 index = 0;
        qint64 category = 0;
        qint64 type = ImageDataObject;
        QString filePath;
    };
    struct ObjectData
    {
        QByteArray imageData;
        QByteArray graphicData;
    };

    enum class OpenResult {
        Opened,   // an existing store
        Created,  // a new, empty store
        Salvaged, // a damaged store was set aside; what it yielded is in the new one
        Locked,   // another process holds the file; nothing changed
        Failed    // see the error; nothing changed
    };

    LBLibraryStore();
    explicit LBLibraryStore(const EntityNames& names);
    ~LBLibraryStore();
    LBLibraryStore(const LBLibraryStore&) = delete;
    LBLibraryStore& operator=(const LBLibraryStore&) = delete;

    // The schema's migrations, oldest first.
    static QList<platform::SqlStore::Migration> migrations(const EntityNames& names);

    // Opens (or creates) the file. A damaged file is renamed "<name>.damaged-<date>"
    // (made unique) and its path handed back in *setAside. Extra migrations after ours
    // are for tests of failing upgrades.
    OpenResult open(const QString& path, platform::Error* error = nullptr,
                    QString* setAside = nullptr,
                    const QList<platform::SqlStore::Migration>& extraMigrations = {});
    bool isOpen() const { return _sql.isOpen(); }
    void close();
    QString path() const { return _sql.path(); }
    const EntityNames& names() const { return _names; }

    // --- Transactions ---
    bool begin(platform::Error* error = nullptr);
    // Commits what was changed since begin().
    bool save(platform::Error* error = nullptr);
    void rollback();
    bool inTransaction() const { return _depth > 0; }

    // --- Collections and categories ---
    // Every collection with its categories; collections by name, ignoring case.
    std::optional<QList<Collection>> collections(platform::Error* error = nullptr);
    // A new collection with one category; its id, 0 on failure.
    qint64 addCollection(const QString& name, const QString& categoryName,
                         platform::Error* error = nullptr);
    qint64 addCategory(qint64 collection, const QString& name, platform::Error* error = nullptr);
    bool renameCollection(qint64 id, const QString& name, platform::Error* error = nullptr);
    bool renameCategory(qint64 id, const QString& name, platform::Error* error = nullptr);
    bool deleteCollection(qint64 id, platform::Error* error = nullptr);
    bool deleteCategory(qint64 id, platform::Error* error = nullptr);

    // --- Objects ---
    // The category's objects by index, then row id, thumbnails included.
    std::optional<QList<Object>> objectsInCategory(qint64 category,
                                                   platform::Error* error = nullptr);
    qint64 objectCount(qint64 category, platform::Error* error = nullptr);
    // Raises (increment) or lowers by `by` the index of every object of the category at
    // or behind `index`: one statement.
    bool adjustIndexes(qint64 greaterThanOrEqualTo, qint64 category, bool increment,
                       platform::Error* error = nullptr, qint64 by = 1);
    // A new object with its data when given; the new row id, 0 on failure.
    qint64 insertObject(const Object& object, const std::optional<ObjectData>& data,
                        platform::Error* error = nullptr);
    // Deletes the object (and its data) and closes the gap in its category's indexes.
    bool deleteObject(const Object& object, platform::Error* error = nullptr);
    // Moves the object to `index` of `category` (its own or another), closing its old
    // place and opening the new one.
    bool moveObject(const Object& object, qint64 category, qint64 index,
                    platform::Error* error = nullptr);
    // The object's data; nullopt when it has none (or on failure, with the error).
    std::optional<ObjectData> objectData(qint64 object, platform::Error* error = nullptr);

    // Copies every row the damaged file at `from` still yields into this (open, empty)
    // store: collections, categories, objects and their data, objects whose category is
    // lost going to the first category. Indexes are made contiguous again. The number of
    // objects recovered.
    qint64 salvage(const QString& from);

private:
    QString sql(QString text) const;
    void useWriteAheadLog();

    EntityNames _names;
    platform::SqlStore _sql;
    int _depth = 0;
};
