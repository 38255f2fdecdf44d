#include "platform/core/SqlStore.h"

#include "platform/core/Error.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <limits>
#include <unordered_map>

namespace platform {

namespace {

// SQLite's primary result codes that open() tells apart.
constexpr int SQLiteBusy = 5;
constexpr int SQLiteLocked = 6;
constexpr int SQLiteCorrupt = 11;
constexpr int SQLiteNotADatabase = 26;

int primaryCode(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : -1;
}

QString describe(const QSqlError& error)
{
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? QStringLiteral("unknown error") : text;
}

// The key of a file in the registry of connections: the real folder and the file name, so
// two spellings of one file share a connection.
QString fileKey(const QString& path)
{
    const QFileInfo file(path);
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? file.absolutePath() : folder) + u'/' + file.fileName();
}

} // namespace

struct SqlStore::Connection
{
    struct Statement
    {
        std::unique_ptr<QSqlQuery> query;
        bool inUse = false;
    };

    explicit Connection(const QString& key)
        : name(QStringLiteral("platform.SqlStore:") + key), key(key)
    {}

    ~Connection()
    {
        statements.clear();
        {
            QSqlDatabase database = QSqlDatabase::database(name, false);
            if (database.isOpen())
                database.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    QSqlDatabase database() const { return QSqlDatabase::database(name, false); }

    const QString name;
    const QString key;
    std::unordered_map<QString, Statement> statements;
    int depth = 0;
    qint64 lastInsertId = 0;
};

namespace {

QHash<QString, std::weak_ptr<SqlStore::Connection>>& registry()
{
    static QHash<QString, std::weak_ptr<SqlStore::Connection>> connections;
    return connections;
}

bool fail(Error* error, const QSqlError& sqlError, const QString& what)
{
    return Error::fail(error, SqlStoreErrorDomain, primaryCode(sqlError),
                       QStringLiteral("%1: %2").arg(what, describe(sqlError)));
}

// Runs a statement of our own (no values) on the connection.
bool run(const QSqlDatabase& database, const QString& sql, QSqlError* sqlError = nullptr)
{
    QSqlQuery query(database);
    if (query.exec(sql))
        return true;
    if (sqlError)
        *sqlError = query.lastError();
    return false;
}

} // namespace

QVariant SqlStore::Row::value(int column) const
{
    return _query.value(column);
}

QString SqlStore::Row::string(int column) const
{
    return _query.value(column).toString();
}

qint64 SqlStore::Row::integer(int column) const
{
    return _query.value(column).toLongLong();
}

int SqlStore::Row::columnCount() const
{
    return _query.record().count();
}

SqlStore::SqlStore() = default;

SqlStore::~SqlStore()
{
    close();
}

SqlStore::OpenStatus SqlStore::openConnection(const QString& path, bool readOnly, Error* error,
                                              int busyTimeoutMs)
{
    close();
    _path = path;
    // A reading connection never shares a writing one's (nor the other way round).
    const QString key = fileKey(path) + (readOnly ? QStringLiteral("|read-only") : QString());
    const QString what = QStringLiteral("The store %1 cannot be opened").arg(path);

    std::shared_ptr<Connection> connection = registry().value(key).lock();
    if (!connection) {
        if (readOnly && !QFileInfo(path).isFile()) {
            Error::fail(error, SqlStoreErrorDomain, 0,
                        QStringLiteral("%1: there is no such file.").arg(what));
            _status = OpenStatus::Failed;
            return _status;
        }
        connection = std::make_shared<Connection>(key);
        QSqlDatabase database =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection->name);
        database.setDatabaseName(path);
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs);
        if (readOnly)
            options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        database.setConnectOptions(options);
        if (!database.open()) {
            fail(error, database.lastError(), what);
            _status = OpenStatus::Failed;
            return _status;
        }
        // The whole file is checked before anything is written to it.
        QSqlQuery check(database);
        if (!check.exec(QStringLiteral("PRAGMA quick_check"))) {
            const int code = primaryCode(check.lastError());
            fail(error, check.lastError(), what);
            _status = (code == SQLiteBusy || code == SQLiteLocked)            ? OpenStatus::Locked
                      : (code == SQLiteCorrupt || code == SQLiteNotADatabase) ? OpenStatus::Damaged
                                                                              : OpenStatus::Failed;
            return _status;
        }
        QStringList problems;
        while (check.next())
            problems.append(check.value(0).toString());
        check.finish();
        if (problems != QStringList{QStringLiteral("ok")}) {
            Error::fail(error, SqlStoreErrorDomain, SQLiteCorrupt,
                        QStringLiteral("%1: %2").arg(what, problems.join(QStringLiteral("; "))));
            _status = OpenStatus::Damaged;
            return _status;
        }
        QSqlError sqlError;
        if (!run(database, QStringLiteral("PRAGMA foreign_keys = ON"), &sqlError)) {
            fail(error, sqlError, what);
            _status = OpenStatus::Failed;
            return _status;
        }
        registry().insert(key, connection);
    }
    _connection = connection;
    _status = OpenStatus::Open;
    return _status;
}

SqlStore::OpenStatus SqlStore::openReadOnly(const QString& path, int schemaVersion, Error* error)
{
    if (openConnection(path, true, error, 100) != OpenStatus::Open)
        return _status;
    const int version = userVersion();
    if (version > schemaVersion) {
        Error::fail(error, SqlStoreErrorDomain, 0,
                    QStringLiteral("The store %1 cannot be opened: it was written by a newer "
                                   "version (schema %2, this version knows %3).")
                        .arg(path)
                        .arg(version)
                        .arg(schemaVersion));
        _connection.reset();
        _status = OpenStatus::TooNew;
    }
    return _status;
}

SqlStore::OpenStatus SqlStore::open(const QString& path, const QList<Migration>& migrations,
                                    Error* error, int busyTimeoutMs)
{
    if (openConnection(path, false, error, busyTimeoutMs) != OpenStatus::Open)
        return _status;
    const QString what = QStringLiteral("The store %1 cannot be opened").arg(path);

    const int version = userVersion();
    if (version > migrations.size()) {
        Error::fail(error, SqlStoreErrorDomain, 0,
                    QStringLiteral("%1: it was written by a newer version (schema %2, this "
                                   "version knows %3).")
                        .arg(what)
                        .arg(version)
                        .arg(migrations.size()));
        _connection.reset();
        _status = OpenStatus::TooNew;
        return _status;
    }
    if (version == migrations.size())
        return _status;
    // Every pending step in one transaction: a step that fails leaves the file as it was.
    Transaction transaction(*this, error);
    bool done = transaction.isActive();
    for (int step = version; done && step < migrations.size(); ++step) {
        for (const QString& statement : migrations[step]) {
            if (!done)
                break;
            done = execute(statement, {}, error);
        }
    }
    // The version is our own counter, never outside input.
    done = done
           && execute(QStringLiteral("PRAGMA user_version = %1").arg(migrations.size()), {}, error)
           && transaction.commit(error);
    if (!done) {
        const bool locked = error && (error->code == SQLiteBusy || error->code == SQLiteLocked);
        _connection.reset();
        _status = locked ? OpenStatus::Locked : OpenStatus::Failed;
    }
    return _status;
}

int SqlStore::userVersion() const
{
    if (!_connection)
        return 0;
    QSqlQuery query(_connection->database());
    return query.exec(QStringLiteral("PRAGMA user_version")) && query.next()
               ? query.value(0).toInt()
               : 0;
}

void SqlStore::close()
{
    // The registry's reference is weak: the last store of a file holds the only one.
    if (_connection && _connection.use_count() == 1) {
        // A transaction left open ends with the connection.
        while (_connection->depth > 0)
            rollback();
        registry().remove(_connection->key);
    }
    _connection.reset();
    _status = OpenStatus::Closed;
}

bool SqlStore::execute(const QString& sql, const QVariantList& values, Error* error)
{
    return forEachRow(sql, values, nullptr, error);
}

bool SqlStore::forEachRow(const QString& sql, const QVariantList& values,
                          const std::function<void(const Row&)>& body, Error* error)
{
    if (!_connection)
        return Error::fail(error, SqlStoreErrorDomain, 0,
                           QStringLiteral("The store %1 is not open.").arg(_path));

    // Prepared once per connection and statement text; a statement already running (a
    // query run again from inside its own rows) gets a fresh one.
    Connection::Statement& cached = _connection->statements[sql];
    std::unique_ptr<QSqlQuery> fresh;
    QSqlQuery* query = nullptr;
    if (cached.inUse || !cached.query) {
        fresh = std::make_unique<QSqlQuery>(_connection->database());
        fresh->setForwardOnly(true);
        if (!fresh->prepare(sql))
            return fail(error, fresh->lastError(),
                        QStringLiteral("Cannot prepare \"%1\"").arg(sql));
        if (!cached.inUse) {
            cached.query = std::move(fresh);
            query = cached.query.get();
        } else {
            query = fresh.get();
        }
    } else {
        query = cached.query.get();
    }
    const bool ownsCached = query == cached.query.get();
    if (ownsCached)
        cached.inUse = true;

    for (int i = 0; i < values.size(); ++i)
        query->bindValue(i, values[i]);
    bool ok = query->exec();
    if (ok) {
        _connection->lastInsertId = query->lastInsertId().toLongLong();
        if (body) {
            const Row row(*query);
            while (query->next())
                body(row);
        }
    } else {
        fail(error, query->lastError(), QStringLiteral("\"%1\" failed").arg(sql));
    }
    // Finished at once, so no read stays open on the file.
    query->finish();
    if (ownsCached) {
        // The cache entry may have moved while the rows ran (rehashing); look it up again.
        _connection->statements[sql].inUse = false;
    }
    return ok;
}

std::optional<QList<QVariantList>> SqlStore::select(const QString& sql, const QVariantList& values,
                                                    Error* error)
{
    QList<QVariantList> rows;
    const bool ok = forEachRow(
        sql, values,
        [&](const Row& row) {
            QVariantList entry;
            const int columns = row.columnCount();
            entry.reserve(columns);
            for (int c = 0; c < columns; ++c)
                entry.append(row.value(c));
            rows.append(entry);
        },
        error);
    if (!ok)
        return std::nullopt;
    return rows;
}

qint64 SqlStore::lastInsertId() const
{
    return _connection ? _connection->lastInsertId : 0;
}

bool SqlStore::beginTransaction(Error* error)
{
    if (!_connection)
        return Error::fail(error, SqlStoreErrorDomain, 0,
                           QStringLiteral("The store %1 is not open.").arg(_path));
    QSqlError sqlError;
    const QString name = QStringLiteral("level%1").arg(_connection->depth + 1);
    if (!run(_connection->database(), QStringLiteral("SAVEPOINT ") + name, &sqlError))
        return fail(error, sqlError, QStringLiteral("Cannot begin a transaction"));
    ++_connection->depth;
    return true;
}

bool SqlStore::commit(Error* error)
{
    if (!_connection || _connection->depth == 0)
        return Error::fail(error, SqlStoreErrorDomain, 0,
                           QStringLiteral("No transaction of %1 to commit.").arg(_path));
    QSqlError sqlError;
    const QString name = QStringLiteral("level%1").arg(_connection->depth);
    if (!run(_connection->database(), QStringLiteral("RELEASE ") + name, &sqlError)) {
        fail(error, sqlError, QStringLiteral("Cannot commit"));
        rollback();
        return false;
    }
    --_connection->depth;
    return true;
}

bool SqlStore::rollback()
{
    if (!_connection || _connection->depth == 0)
        return false;
    const QString name = QStringLiteral("level%1").arg(_connection->depth);
    const QSqlDatabase database = _connection->database();
    QSqlError sqlError;
    const bool ok = run(database, QStringLiteral("ROLLBACK TO ") + name, &sqlError)
                    && run(database, QStringLiteral("RELEASE ") + name, &sqlError);
    if (!ok)
        qWarning().noquote()
            << QStringLiteral("Rolling back %1 failed: %2").arg(_path, describe(sqlError));
    --_connection->depth;
    return ok;
}

qint64 SqlStore::readDamaged(const QString& path, const QString& sql,
                             const std::function<void(const Row&)>& body)
{
    static int serial = 0;
    const QString name = QStringLiteral("platform.SqlStore.salvage:%1").arg(++serial);
    // Reading a file in write-ahead-log mode makes its shared-memory and log files: they go
    // again afterwards unless they were there before.
    const QStringList companions = {path + QStringLiteral("-shm"), path + QStringLiteral("-wal")};
    QList<bool> existed;
    for (const QString& companion : companions)
        existed.append(QFileInfo::exists(companion));
    qint64 read = 0;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        database.setDatabaseName(path);
        database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (database.open()) {
            QSqlQuery query(database);
            query.setForwardOnly(true);
            if (query.prepare(sql)) {
                qint64 last = std::numeric_limits<qint64>::min();
                qint64 stride = 1;
                // Rows in order of row id, after the last one read. A failure (a page that
                // does not read) skips ahead by a growing stride, so rows stored beyond the
                // damage are still found; a query that ends cleanly has read them all.
                for (int failures = 0; failures < 48;) {
                    query.bindValue(0, last);
                    bool failed = !query.exec();
                    if (!failed) {
                        const Row row(query);
                        while (query.next()) {
                            last = query.value(0).toLongLong();
                            body(row);
                            ++read;
                            stride = 1;
                        }
                        failed = query.lastError().isValid();
                    }
                    query.finish();
                    if (!failed)
                        break;
                    ++failures;
                    if (last > std::numeric_limits<qint64>::max() - stride)
                        break;
                    last = last == std::numeric_limits<qint64>::min() ? 0 : last + stride;
                    stride *= 2;
                }
            }
            database.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    for (qsizetype i = 0; i < companions.size(); ++i) {
        if (!existed[i] && (i == 0 || QFileInfo(companions[i]).size() == 0))
            QFile::remove(companions[i]);
    }
    return read;
}

} // namespace platform
