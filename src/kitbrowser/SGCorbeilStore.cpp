#include "kitbrowser/SGCorbeilStore.h"

#include "platform/core/Error.h"
#include "platform/core/FileOperations.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace sgstore {

QString folded(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString result;
    result.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        const QChar::Category category = c.category();
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining
            || category == QChar::Mark_Enclosing)
            continue;
        result.append(c);
    }
    return result.toCaseFolded();
}

Predicate Predicate::equals(const QString& column, const QString& value)
{
    return {column + QStringLiteral(" = ?"), {value}};
}

Predicate Predicate::contains(const QString& column, const QString& value)
{
    return {QStringLiteral("instr(%1, ?) > 0").arg(column), {value}};
}

Predicate Predicate::containsFolded(const QString& column, const QString& value)
{
    return {QStringLiteral("instr(%1Folded, ?) > 0").arg(column), {folded(value)}};
}

Predicate Predicate::hasElement(const QString& column, const QString& value)
{
    return {QStringLiteral("instr('|' || %1 || '|', ?) > 0").arg(column),
            {QStringLiteral("|%1|").arg(value)}};
}

namespace {

Predicate joined(const QList<Predicate>& parts, const QString& joiner)
{
    Predicate result;
    QStringList texts;
    for (const Predicate& part : parts) {
        if (part.isEmpty())
            continue;
        texts.append(u'(' + part.text + u')');
        result.values.append(part.values);
    }
    result.text = texts.join(joiner);
    return result;
}

} // namespace

Predicate Predicate::allOf(const QList<Predicate>& parts)
{
    return joined(parts, QStringLiteral(" AND "));
}

Predicate Predicate::anyOf(const QList<Predicate>& parts)
{
    return joined(parts, QStringLiteral(" OR "));
}

} // namespace sgstore

using sgstore::folded;
using sgstore::Predicate;

namespace {

const QString kitColumns = QStringLiteral(
    "id, UID, name, filename, author, kitType, kitSize, kitDescription, tagString, typeString, "
    "subtypeString, primaryColorString, secondaryColorString");

const QString objectColumns = QStringLiteral(
    "o.id, o.UID, o.filename, o.name, o.type, o.subtype, o.orientation, o.paperType, "
    "o.numberOfPictures, o.tagString, o.primaryColorName, o.primaryColorValue, "
    "o.secondaryColorNames, o.secondaryColorValues, o.thumbnailFilename, "
    "o.detailThumbnailFilename, k.id, k.UID, k.filename, k.name, k.author");

// The schema, one migration so far. Texts are never NULL, so a missing value reads as "".
const QList<platform::SqlStore::Migration>& migrations()
{
    static const QList<platform::SqlStore::Migration> all = {{
        QStringLiteral(
            "CREATE TABLE Kit ("
            "id INTEGER PRIMARY KEY, UID TEXT NOT NULL DEFAULT '', "
            "name TEXT NOT NULL DEFAULT '', filename TEXT NOT NULL DEFAULT '', "
            "author TEXT NOT NULL DEFAULT '', kitType TEXT NOT NULL DEFAULT '', "
            "kitSize TEXT NOT NULL DEFAULT '', kitDescription TEXT NOT NULL DEFAULT '', "
            "tagString TEXT NOT NULL DEFAULT '', typeString TEXT NOT NULL DEFAULT '', "
            "subtypeString TEXT NOT NULL DEFAULT '', "
            "primaryColorString TEXT NOT NULL DEFAULT '', "
            "secondaryColorString TEXT NOT NULL DEFAULT '', "
            "nameFolded TEXT NOT NULL DEFAULT '', authorFolded TEXT NOT NULL DEFAULT '', "
            "tagStringFolded TEXT NOT NULL DEFAULT '', "
            "kitDescriptionFolded TEXT NOT NULL DEFAULT '')"),
        QStringLiteral("CREATE INDEX KitUID ON Kit(UID)"),
        QStringLiteral("CREATE INDEX KitFilename ON Kit(filename)"),
        QStringLiteral("CREATE INDEX KitName ON Kit(nameFolded, name)"),
        QStringLiteral("CREATE INDEX KitAuthor ON Kit(author)"),
        QStringLiteral("CREATE INDEX KitAuthorOrder ON Kit(authorFolded, author)"),
        QStringLiteral("CREATE INDEX KitType ON Kit(kitType)"),
        QStringLiteral(
            "CREATE TABLE Object ("
            "id INTEGER PRIMARY KEY, "
            "kit INTEGER NOT NULL REFERENCES Kit(id) ON DELETE CASCADE, "
            "UID TEXT NOT NULL DEFAULT '', filename TEXT NOT NULL DEFAULT '', "
            "name TEXT NOT NULL DEFAULT '', type TEXT NOT NULL DEFAULT '', "
            "subtype TEXT NOT NULL DEFAULT '', orientation TEXT NOT NULL DEFAULT '', "
            "paperType TEXT NOT NULL DEFAULT '', "
            "numberOfPictures TEXT NOT NULL DEFAULT '', "
            "tagString TEXT NOT NULL DEFAULT '', "
            "primaryColorName TEXT NOT NULL DEFAULT '', "
            "primaryColorValue TEXT NOT NULL DEFAULT '', "
            "secondaryColorNames TEXT NOT NULL DEFAULT '', "
            "secondaryColorValues TEXT NOT NULL DEFAULT '', "
            "thumbnailFilename TEXT NOT NULL DEFAULT '', "
            "detailThumbnailFilename TEXT NOT NULL DEFAULT '', "
            "nameFolded TEXT NOT NULL DEFAULT '', tagStringFolded TEXT NOT NULL DEFAULT '', "
            "typeFolded TEXT NOT NULL DEFAULT '', subtypeFolded TEXT NOT NULL DEFAULT '')"),
        QStringLiteral("CREATE INDEX ObjectKit ON Object(kit)"),
        QStringLiteral("CREATE INDEX ObjectOrder ON Object(typeFolded, subtypeFolded, nameFolded)"),
        QStringLiteral("CREATE INDEX ObjectType ON Object(type, subtype)"),
        QStringLiteral("CREATE INDEX ObjectPrimaryColor ON Object(primaryColorName)"),
    }};
    return all;
}

SGKitRecord kitFromRow(const platform::SqlStore::Row& row)
{
    SGKitRecord kit;
    kit.id = row.integer(0);
    kit.UID = row.string(1);
    kit.name = row.string(2);
    kit.filename = row.string(3);
    kit.author = row.string(4);
    kit.kitType = row.string(5);
    kit.kitSize = row.string(6);
    kit.kitDescription = row.string(7);
    kit.tagString = row.string(8);
    kit.typeString = row.string(9);
    kit.subtypeString = row.string(10);
    kit.primaryColorString = row.string(11);
    kit.secondaryColorString = row.string(12);
    return kit;
}

SGObjectRecord objectFromRow(const platform::SqlStore::Row& row)
{
    SGObjectRecord object;
    object.id = row.integer(0);
    object.UID = row.string(1);
    object.filename = row.string(2);
    object.name = row.string(3);
    object.type = row.string(4);
    object.subtype = row.string(5);
    object.orientation = row.string(6);
    object.paperType = row.string(7);
    object.numberOfPictures = row.string(8);
    object.tagString = row.string(9);
    object.primaryColorName = row.string(10);
    object.primaryColorValue = row.string(11);
    object.secondaryColorNames = row.string(12);
    object.secondaryColorValues = row.string(13);
    object.thumbnailFilename = row.string(14);
    object.detailThumbnailFilename = row.string(15);
    object.kit.id = row.integer(16);
    object.kit.UID = row.string(17);
    object.kit.filename = row.string(18);
    object.kit.name = row.string(19);
    object.kit.author = row.string(20);
    return object;
}

QString whereClause(const Predicate& where)
{
    return where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.text;
}

// The graphics' kits, joined only when the condition asks about them, and after the
// graphics, so an order by the graphics' index needs no sort.
QString kitJoin(const Predicate& where)
{
    return where.text.contains(QLatin1String("k."))
               ? QStringLiteral(" CROSS JOIN Kit k ON k.id = o.kit")
               : QString();
}

// Empty texts rather than NULL, whatever the caller left unset.
QString text(const QString& value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

} // namespace

SGCorbeilStore::SGCorbeilStore(const QString& libraryPath) : _libraryPath(libraryPath)
{}

SGCorbeilStore::State SGCorbeilStore::open(QString* error, QString* setAside)
{
    if (_state != State::Unopened)
        return _state;
    const QString path = _libraryPath + QStringLiteral("/data");
    platform::Error problem;
    platform::SqlStore::OpenStatus status = _sql.open(path, migrations(), &problem);
    if (status == platform::SqlStore::OpenStatus::Damaged) {
        // Kept for whoever wants to look at it; the kits are recorded again from "Kits".
        const QString aside = platform::uniquePath(
            path
            + QStringLiteral(" (damaged %1)")
                  .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hhmmss"))));
        _sql.close();
        bool moved = QFile::rename(path, aside);
        const QString journal = path + QStringLiteral("-journal");
        if (moved && QFileInfo::exists(journal))
            QFile::rename(journal, aside + QStringLiteral("-journal"));
        qWarning().noquote() << QStringLiteral("The kit library's store %1 is damaged (%2); %3")
                                    .arg(path, problem.description,
                                         moved ? QStringLiteral("kept as %1").arg(aside)
                                               : QStringLiteral("it could not be set aside"));
        if (moved) {
            if (setAside)
                *setAside = aside;
            status = _sql.open(path, migrations(), &problem);
        }
    }
    if (status == platform::SqlStore::OpenStatus::Open) {
        _state = State::Open;
        return _state;
    }
    _sql.close();
    _state = State::Unavailable;
    if (error)
        *error = problem.description;
    qWarning().noquote()
        << QStringLiteral("The kit library's store is not available: %1").arg(problem.description);
    return _state;
}

QList<SGKitRecord> SGCorbeilStore::kits(const Predicate& where, const QString& sortedBy)
{
    QList<SGKitRecord> result;
    if (!isOpen())
        return result;
    // Attributes with a folded copy sort by it; the others ignore ASCII case.
    QString order;
    if (sortedBy == QLatin1String("name") || sortedBy == QLatin1String("author"))
        order = sortedBy + QStringLiteral("Folded, ") + sortedBy;
    else if (kitColumns.split(QStringLiteral(", ")).contains(sortedBy))
        order = sortedBy + QStringLiteral(" COLLATE NOCASE");
    else
        order = QStringLiteral("nameFolded");
    const QString sql = QStringLiteral("SELECT %1 FROM Kit%2 ORDER BY %3, nameFolded, name, id")
                            .arg(kitColumns, whereClause(where), order);
    _sql.forEachRow(sql, where.values,
                    [&](const platform::SqlStore::Row& row) { result.append(kitFromRow(row)); });
    return result;
}

QList<SGObjectRecord> SGCorbeilStore::objects(const Predicate& where)
{
    QList<SGObjectRecord> result;
    if (!isOpen())
        return result;
    loadObjects();
    const QString sql = QStringLiteral("SELECT o.id FROM Object o%1%2 "
                                       "ORDER BY o.typeFolded, o.subtypeFolded, o.nameFolded, o.id")
                            .arg(kitJoin(where), whereClause(where));
    QList<qint64> ids;
    const bool ok = _sql.forEachRow(
        sql, where.values, [&](const platform::SqlStore::Row& row) { ids.append(row.integer(0)); });
    if (!ok)
        return result;
    result.reserve(ids.size());
    for (qint64 id : ids) {
        const auto found = _objects.constFind(id);
        if (found != _objects.constEnd())
            result.append(found.value());
    }
    return result;
}

void SGCorbeilStore::loadObjects()
{
    if (_objectsLoaded)
        return;
    _objects.clear();
    const QString sql =
        QStringLiteral("SELECT %1 FROM Object o JOIN Kit k ON k.id = o.kit").arg(objectColumns);
    _objectsLoaded = _sql.forEachRow(sql, {}, [&](const platform::SqlStore::Row& row) {
        SGObjectRecord object = objectFromRow(row);
        const qint64 id = object.id;
        _objects.insert(id, std::move(object));
    });
}

void SGCorbeilStore::forgetObjects()
{
    _objects.clear();
    _objectsLoaded = false;
}

QStringList SGCorbeilStore::distinctObjectValues(const QString& column, const Predicate& where)
{
    QStringList result;
    if (!isOpen())
        return result;
    // In the order the graphics are met (by row), each value once.
    const QString sql =
        QStringLiteral("SELECT o.%1 FROM Object o%2%3 GROUP BY o.%1 ORDER BY min(o.id)")
            .arg(column, kitJoin(where), whereClause(where));
    _sql.forEachRow(sql, where.values,
                    [&](const platform::SqlStore::Row& row) { result.append(row.string(0)); });
    return result;
}

QStringList SGCorbeilStore::distinctKitTypes()
{
    QStringList result;
    if (!isOpen())
        return result;
    _sql.forEachRow(QStringLiteral("SELECT DISTINCT kitType FROM Kit"), {},
                    [&](const platform::SqlStore::Row& row) { result.append(row.string(0)); });
    return result;
}

bool SGCorbeilStore::insertKit(SGKitRecord& kit, QString* error)
{
    platform::Error problem;
    const bool ok = _sql.execute(
        QStringLiteral(
            "INSERT INTO Kit (UID, name, filename, author, kitType, kitSize, "
            "kitDescription, tagString, typeString, subtypeString, primaryColorString, "
            "secondaryColorString, nameFolded, authorFolded, tagStringFolded, "
            "kitDescriptionFolded) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {text(kit.UID), text(kit.name), text(kit.filename), text(kit.author), text(kit.kitType),
         text(kit.kitSize), text(kit.kitDescription), text(kit.tagString), text(kit.typeString),
         text(kit.subtypeString), text(kit.primaryColorString), text(kit.secondaryColorString),
         folded(kit.name), folded(kit.author), folded(kit.tagString), folded(kit.kitDescription)},
        &problem);
    if (!ok) {
        if (error)
            *error = problem.description;
        return false;
    }
    kit.id = _sql.lastInsertId();
    return true;
}

bool SGCorbeilStore::insertObject(SGObjectRecord& object, QString* error)
{
    platform::Error problem;
    const bool ok = _sql.execute(
        QStringLiteral("INSERT INTO Object (kit, UID, filename, name, type, subtype, orientation, "
                       "paperType, numberOfPictures, tagString, primaryColorName, "
                       "primaryColorValue, secondaryColorNames, secondaryColorValues, "
                       "thumbnailFilename, detailThumbnailFilename, nameFolded, tagStringFolded, "
                       "typeFolded, subtypeFolded) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {object.kit.id,
         text(object.UID),
         text(object.filename),
         text(object.name),
         text(object.type),
         text(object.subtype),
         text(object.orientation),
         text(object.paperType),
         text(object.numberOfPictures),
         text(object.tagString),
         text(object.primaryColorName),
         text(object.primaryColorValue),
         text(object.secondaryColorNames),
         text(object.secondaryColorValues),
         text(object.thumbnailFilename),
         text(object.detailThumbnailFilename),
         folded(object.name),
         folded(object.tagString),
         folded(object.type),
         folded(object.subtype)},
        &problem);
    if (!ok) {
        if (error)
            *error = problem.description;
        return false;
    }
    object.id = _sql.lastInsertId();
    if (_objectsLoaded)
        _objects.insert(object.id, object);
    return true;
}

bool SGCorbeilStore::deleteKitsWithUID(const QString& uid, QStringList* filenames, QString* error)
{
    const QList<SGKitRecord> found = kits(Predicate::equals(QStringLiteral("UID"), uid), QString());
    for (const SGKitRecord& kit : found) {
        if (!deleteKit(kit.id, error))
            return false;
        if (filenames)
            filenames->append(kit.filename);
    }
    return true;
}

bool SGCorbeilStore::deleteKit(qint64 id, QString* error)
{
    platform::Error problem;
    if (_sql.execute(QStringLiteral("DELETE FROM Kit WHERE id = ?"), {id}, &problem)) {
        // Its graphics went with it.
        for (auto it = _objects.begin(); it != _objects.end();) {
            if (it->kit.id == id)
                it = _objects.erase(it);
            else
                ++it;
        }
        return true;
    }
    if (error)
        *error = problem.description;
    return false;
}
