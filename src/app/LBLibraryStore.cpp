#include "app/LBLibraryStore.h"

#include "platform/core/Error.h"
#include "platform/core/Strings.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>

using platform::SqlStore;

namespace {

// Entity names become table names: our own constants, never outside input.
bool isIdentifier(const QString& name)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return identifier.match(name).hasMatch();
}

// An object's row with its thumbnail ("o" the object, "t" its thumbnail).
const QString ObjectColumns =
    QStringLiteral("o.id, o.name, t.thumbnail, o.\"index\", o.category, o.type, o.filePath");
const QString ObjectWithThumbnail =
    QStringLiteral("%Object o LEFT JOIN %ObjectThumbnail t ON t.object = o.id");

LBLibraryStore::Object objectFromRow(const SqlStore::Row& row)
{
    LBLibraryStore::Object object;
    object.id = row.integer(0);
    object.name = row.string(1);
    object.thumbnail = row.value(2).toByteArray();
    object.index = row.integer(3);
    object.category = row.integer(4);
    object.type = row.integer(5);
    object.filePath = row.string(6);
    return object;
}

} // namespace

LBLibraryStore::LBLibraryStore() : LBLibraryStore(EntityNames())
{}

LBLibraryStore::LBLibraryStore(const EntityNames& names) : _names(names)
{
    Q_ASSERT(isIdentifier(names.collection) && isIdentifier(names.category)
             && isIdentifier(names.object) && isIdentifier(names.objectData));
}

LBLibraryStore::~LBLibraryStore()
{
    close();
}

// Statements name the tables by their entity: "%Collection", "%Category", "%Object" and
// "%ObjectData" stand for the names given.
QString LBLibraryStore::sql(QString text) const
{
    text.replace(QStringLiteral("%ObjectThumbnail"), _names.object + QStringLiteral("Thumbnail"));
    text.replace(QStringLiteral("%ObjectData"), _names.objectData);
    text.replace(QStringLiteral("%Object"), _names.object);
    text.replace(QStringLiteral("%Category"), _names.category);
    text.replace(QStringLiteral("%Collection"), _names.collection);
    return text;
}

QList<SqlStore::Migration> LBLibraryStore::migrations(const EntityNames& names)
{
    const LBLibraryStore namer(names);
    return {
        {namer.sql(QStringLiteral("CREATE TABLE %Collection (id INTEGER PRIMARY KEY, "
                                  "name TEXT NOT NULL DEFAULT '')")),
         namer.sql(QStringLiteral(
             "CREATE TABLE %Category (id INTEGER PRIMARY KEY, name TEXT NOT NULL DEFAULT '', "
             "collection INTEGER NOT NULL REFERENCES %Collection(id) ON DELETE CASCADE)")),
         namer.sql(QStringLiteral("CREATE INDEX %Category_collection ON %Category(collection)")),
         namer.sql(QStringLiteral("CREATE TABLE %Object (id INTEGER PRIMARY KEY, name TEXT, "
                                  "\"index\" INTEGER NOT NULL DEFAULT 0, "
                                  "category INTEGER REFERENCES %Category(id) ON DELETE CASCADE, "
                                  "type INTEGER NOT NULL DEFAULT 0, filePath TEXT)")),
         namer.sql(QStringLiteral("CREATE INDEX %Object_category ON %Object(category, \"index\")")),
         // The thumbnail beside its object, one to one: a row whose index changes stays
         // small, so reordering rewrites no pictures.
         namer.sql(QStringLiteral("CREATE TABLE %ObjectThumbnail (object INTEGER PRIMARY KEY "
                                  "REFERENCES %Object(id) ON DELETE CASCADE, thumbnail BLOB)")),
         namer.sql(QStringLiteral(
             "CREATE TABLE %ObjectData (id INTEGER PRIMARY KEY, imageData BLOB, graphicData BLOB, "
             "object INTEGER NOT NULL UNIQUE REFERENCES %Object(id) ON DELETE CASCADE)"))},
    };
}

LBLibraryStore::OpenResult LBLibraryStore::open(const QString& path, platform::Error* error,
                                                QString* setAside,
                                                const QList<SqlStore::Migration>& extraMigrations)
{
    close();
    const QList<SqlStore::Migration> steps = migrations(_names) + extraMigrations;
    const bool existed = QFileInfo::exists(path);
    platform::Error problem;
    SqlStore::OpenStatus status = _sql.open(path, steps, &problem);
    if (status == SqlStore::OpenStatus::Open) {
        useWriteAheadLog();
        return existed ? OpenResult::Opened : OpenResult::Created;
    }
    if (status == SqlStore::OpenStatus::Locked) {
        _sql.close();
        if (error)
            *error = problem;
        return OpenResult::Locked;
    }
    if (status != SqlStore::OpenStatus::Damaged) {
        _sql.close();
        if (error)
            *error = problem;
        return OpenResult::Failed;
    }

    // Damaged: never deleted. Set aside under a name of its own, then whatever it still
    // yields goes into a new store at the old path.
    _sql.close();
    const QString stem =
        path + QStringLiteral(".damaged-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-hhmmss"));
    QString aside = stem;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = stem + QStringLiteral("-%1").arg(n);
    if (!QFile::rename(path, aside)) {
        platform::Error::fail(
            error, platform::SqlStoreErrorDomain, 0,
            QStringLiteral("%1 (it could not be set aside as %2)").arg(problem.description, aside));
        return OpenResult::Failed;
    }
    for (const QString& suffix : {QStringLiteral("-journal"), QStringLiteral("-wal")}) {
        if (QFileInfo::exists(path + suffix))
            QFile::rename(path + suffix, aside + suffix);
    }
    QFile::remove(path + QStringLiteral("-shm"));
    qWarning().noquote() << QStringLiteral("The store %1 is damaged (%2); kept as %3")
                                .arg(path, problem.description, aside);
    if (setAside)
        *setAside = aside;
    status = _sql.open(path, steps, &problem);
    if (status != SqlStore::OpenStatus::Open) {
        _sql.close();
        if (error)
            *error = problem;
        return OpenResult::Failed;
    }
    useWriteAheadLog();
    salvage(aside);
    return OpenResult::Salvaged;
}

void LBLibraryStore::useWriteAheadLog()
{
    // A commit appends to the log without waiting for the disk; the file stays whole
    // whatever happens, at worst losing the last changes to a power cut.
    _sql.execute(QStringLiteral("PRAGMA journal_mode = WAL"));
    _sql.execute(QStringLiteral("PRAGMA synchronous = NORMAL"));
}

void LBLibraryStore::close()
{
    while (_depth > 0)
        rollback();
    _sql.close();
}

// ==== Transactions ========================================================================

bool LBLibraryStore::begin(platform::Error* error)
{
    if (!_sql.beginTransaction(error))
        return false;
    ++_depth;
    return true;
}

bool LBLibraryStore::save(platform::Error* error)
{
    if (_depth == 0)
        return true;
    --_depth;
    // A commit that fails has rolled back already.
    return _sql.commit(error);
}

void LBLibraryStore::rollback()
{
    if (_depth == 0)
        return;
    --_depth;
    _sql.rollback();
}

// ==== Collections and categories ==========================================================

std::optional<QList<LBLibraryStore::Collection>> LBLibraryStore::collections(platform::Error* error)
{
    QList<Collection> result;
    QHash<qint64, qsizetype> places;
    bool ok = _sql.forEachRow(
        sql(QStringLiteral("SELECT id, name FROM %Collection ORDER BY name COLLATE NOCASE, id")),
        {},
        [&](const SqlStore::Row& row) {
            places.insert(row.integer(0), result.size());
            result.append(Collection{row.integer(0), row.string(1), {}});
        },
        error);
    ok = ok
         && _sql.forEachRow(
             sql(QStringLiteral("SELECT id, name, collection FROM %Category "
                                "ORDER BY name COLLATE NOCASE, id")),
             {},
             [&](const SqlStore::Row& row) {
                 const auto place = places.constFind(row.integer(2));
                 if (place != places.constEnd())
                     result[*place].categories.append(
                         Category{row.integer(0), row.string(1), row.integer(2)});
             },
             error);
    if (!ok)
        return std::nullopt;
    return result;
}

qint64 LBLibraryStore::addCollection(const QString& name, const QString& categoryName,
                                     platform::Error* error)
{
    SqlStore::Transaction transaction(_sql, error);
    if (!transaction.isActive()
        || !_sql.execute(sql(QStringLiteral("INSERT INTO %Collection (name) VALUES (?)")), {name},
                         error))
        return 0;
    const qint64 id = _sql.lastInsertId();
    if (!addCategory(id, categoryName, error) || !transaction.commit(error))
        return 0;
    return id;
}

qint64 LBLibraryStore::addCategory(qint64 collection, const QString& name, platform::Error* error)
{
    if (!_sql.execute(sql(QStringLiteral("INSERT INTO %Category (name, collection) VALUES (?, ?)")),
                      {name, collection}, error))
        return 0;
    return _sql.lastInsertId();
}

bool LBLibraryStore::renameCollection(qint64 id, const QString& name, platform::Error* error)
{
    return _sql.execute(sql(QStringLiteral("UPDATE %Collection SET name = ? WHERE id = ?")),
                        {name, id}, error);
}

bool LBLibraryStore::renameCategory(qint64 id, const QString& name, platform::Error* error)
{
    return _sql.execute(sql(QStringLiteral("UPDATE %Category SET name = ? WHERE id = ?")),
                        {name, id}, error);
}

bool LBLibraryStore::deleteCollection(qint64 id, platform::Error* error)
{
    return _sql.execute(sql(QStringLiteral("DELETE FROM %Collection WHERE id = ?")), {id}, error);
}

bool LBLibraryStore::deleteCategory(qint64 id, platform::Error* error)
{
    return _sql.execute(sql(QStringLiteral("DELETE FROM %Category WHERE id = ?")), {id}, error);
}

// ==== Objects =============================================================================

std::optional<QList<LBLibraryStore::Object>>
LBLibraryStore::objectsInCategory(qint64 category, platform::Error* error)
{
    QList<Object> objects;
    const bool ok = _sql.forEachRow(
        sql(QStringLiteral("SELECT %1 FROM %2 WHERE o.category = ? ORDER BY o.\"index\", o.id")
                .arg(ObjectColumns, ObjectWithThumbnail)),
        {category}, [&](const SqlStore::Row& row) { objects.append(objectFromRow(row)); }, error);
    if (!ok)
        return std::nullopt;
    return objects;
}

qint64 LBLibraryStore::objectCount(qint64 category, platform::Error* error)
{
    const auto rows = _sql.select(
        sql(QStringLiteral("SELECT count(*) FROM %Object WHERE category = ?")), {category}, error);
    return rows && !rows->isEmpty() ? rows->first().first().toLongLong() : 0;
}

bool LBLibraryStore::adjustIndexes(qint64 greaterThanOrEqualTo, qint64 category, bool increment,
                                   platform::Error* error, qint64 by)
{
    return _sql.execute(
        sql(QStringLiteral(
            "UPDATE %Object SET \"index\" = \"index\" + ? WHERE category = ? AND \"index\" >= ?")),
        {increment ? by : -by, category, greaterThanOrEqualTo}, error);
}

qint64 LBLibraryStore::insertObject(const Object& object, const std::optional<ObjectData>& data,
                                    platform::Error* error)
{
    SqlStore::Transaction transaction(_sql, error);
    if (!transaction.isActive()
        || !_sql.execute(sql(QStringLiteral("INSERT INTO %Object (name, \"index\", "
                                            "category, type, filePath) VALUES (?, ?, ?, ?, ?)")),
                         {object.name.isNull() ? QVariant() : QVariant(object.name), object.index,
                          object.category, object.type,
                          object.filePath.isEmpty() ? QVariant() : QVariant(object.filePath)},
                         error))
        return 0;
    const qint64 id = _sql.lastInsertId();
    if (!object.thumbnail.isEmpty()
        && !_sql.execute(
            sql(QStringLiteral("INSERT INTO %ObjectThumbnail (object, thumbnail) VALUES (?, ?)")),
            {id, object.thumbnail}, error))
        return 0;
    if (data
        && !_sql.execute(sql(QStringLiteral("INSERT INTO %ObjectData (imageData, graphicData, "
                                            "object) VALUES (?, ?, ?)")),
                         {data->imageData.isNull() ? QVariant() : QVariant(data->imageData),
                          data->graphicData.isNull() ? QVariant() : QVariant(data->graphicData),
                          id},
                         error))
        return 0;
    return transaction.commit(error) ? id : 0;
}

bool LBLibraryStore::deleteObject(const Object& object, platform::Error* error)
{
    SqlStore::Transaction transaction(_sql, error);
    return transaction.isActive()
           && _sql.execute(sql(QStringLiteral("DELETE FROM %Object WHERE id = ?")), {object.id},
                           error)
           && adjustIndexes(object.index + 1, object.category, false, error)
           && transaction.commit(error);
}

bool LBLibraryStore::moveObject(const Object& object, qint64 category, qint64 index,
                                platform::Error* error)
{
    SqlStore::Transaction transaction(_sql, error);
    return transaction.isActive() && adjustIndexes(object.index + 1, object.category, false, error)
           && adjustIndexes(index, category, true, error)
           && _sql.execute(
               sql(QStringLiteral("UPDATE %Object SET \"index\" = ?, category = ? WHERE id = ?")),
               {index, category, object.id}, error)
           && transaction.commit(error);
}

std::optional<LBLibraryStore::ObjectData> LBLibraryStore::objectData(qint64 object,
                                                                     platform::Error* error)
{
    std::optional<ObjectData> data;
    _sql.forEachRow(
        sql(QStringLiteral("SELECT imageData, graphicData FROM %ObjectData WHERE object = ?")),
        {object},
        [&](const SqlStore::Row& row) {
            data = ObjectData{row.value(0).toByteArray(), row.value(1).toByteArray()};
        },
        error);
    return data;
}

// ==== Salvage =============================================================================

qint64 LBLibraryStore::salvage(const QString& from)
{
    SqlStore::Transaction transaction(_sql);
    if (!transaction.isActive())
        return 0;
    QHash<qint64, qint64> collections; // old id → new id
    QHash<qint64, qint64> categories;
    QHash<qint64, qint64> objects;
    SqlStore::readDamaged(
        from, sql(QStringLiteral("SELECT id, name FROM %Collection WHERE id > ? ORDER BY id")),
        [&](const SqlStore::Row& row) {
            if (_sql.execute(sql(QStringLiteral("INSERT INTO %Collection (name) VALUES (?)")),
                             {row.string(1)}))
                collections.insert(row.integer(0), _sql.lastInsertId());
        });
    const auto firstCollection = [&]() {
        if (collections.isEmpty()
            && _sql.execute(sql(QStringLiteral("INSERT INTO %Collection (name) VALUES (?)")),
                            {platform::LocalizedString(QStringLiteral("My Favorites"),
                                                       QStringLiteral("Library drawer"))}))
            collections.insert(-1, _sql.lastInsertId());
        qint64 first = 0;
        for (qint64 id : std::as_const(collections))
            first = first == 0 ? id : std::min(first, id);
        return first;
    };
    SqlStore::readDamaged(
        from,
        sql(QStringLiteral("SELECT id, name, collection FROM %Category WHERE id > ? ORDER BY id")),
        [&](const SqlStore::Row& row) {
            const qint64 collection = collections.value(row.integer(2), firstCollection());
            if (addCategory(collection, row.string(1)))
                categories.insert(row.integer(0), _sql.lastInsertId());
        });
    const auto firstCategory = [&]() {
        if (categories.isEmpty()) {
            if (const qint64 id = addCategory(
                    firstCollection(), platform::LocalizedString(QStringLiteral("Standard"),
                                                                 QStringLiteral("Library drawer"))))
                categories.insert(-1, id);
        }
        qint64 first = 0;
        for (qint64 id : std::as_const(categories))
            first = first == 0 ? id : std::min(first, id);
        return first;
    };
    SqlStore::readDamaged(
        from,
        sql(QStringLiteral("SELECT id, name, NULL, \"index\", category, type, filePath "
                           "FROM %Object WHERE id > ? ORDER BY id")),
        [&](const SqlStore::Row& row) {
            Object object = objectFromRow(row);
            object.category = categories.value(object.category, 0);
            if (object.category == 0)
                object.category = firstCategory();
            if (const qint64 id = insertObject(object, std::nullopt))
                objects.insert(object.id, id);
        });
    SqlStore::readDamaged(
        from,
        sql(QStringLiteral(
            "SELECT object, thumbnail FROM %ObjectThumbnail WHERE object > ? ORDER BY object")),
        [&](const SqlStore::Row& row) {
            const qint64 object = objects.value(row.integer(0), 0);
            if (object != 0)
                _sql.execute(sql(QStringLiteral("INSERT OR IGNORE INTO %ObjectThumbnail (object, "
                                                "thumbnail) VALUES (?, ?)")),
                             {object, row.value(1)});
        });
    SqlStore::readDamaged(
        from,
        sql(QStringLiteral(
            "SELECT id, imageData, graphicData, object FROM %ObjectData WHERE id > ? ORDER BY id")),
        [&](const SqlStore::Row& row) {
            const qint64 object = objects.value(row.integer(3), 0);
            if (object != 0)
                _sql.execute(sql(QStringLiteral("INSERT OR IGNORE INTO %ObjectData (imageData, "
                                                "graphicData, object) VALUES (?, ?, ?)")),
                             {row.value(1), row.value(2), object});
        });
    // Indexes contiguous again, in their old order.
    QList<qint64> categoryIds = categories.values();
    std::sort(categoryIds.begin(), categoryIds.end());
    for (qint64 category : categoryIds) {
        const auto list = objectsInCategory(category);
        if (!list)
            continue;
        for (qsizetype i = 0; i < list->size(); ++i) {
            if ((*list)[i].index != i)
                _sql.execute(sql(QStringLiteral("UPDATE %Object SET \"index\" = ? WHERE id = ?")),
                             {qint64(i), (*list)[i].id});
        }
    }
    if (!transaction.commit())
        return 0;
    return objects.size();
}
