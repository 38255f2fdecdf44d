#pragma once

// A store in one SQLite file, through Qt SQL's SQLite driver. Values always travel as bound
// parameters (never inside the statement's text), foreign keys are enforced, and the schema
// is brought up to date at open by ordered migrations counted in the file's
// "PRAGMA user_version".
//
// Opening checks the file first ("PRAGMA quick_check") and tells apart the outcomes a
// caller handles differently: a file that is not a database or fails its check (Damaged),
// a file another connection holds locked (Locked), a file written by a newer schema than
// the migrations know (TooNew), and other failures. None of them changes the file.
//
// Every store of one file in the process shares one named connection (and so one
// transaction): the connection closes with the last store that uses it. Transactions nest
// (savepoints); a failed statement inside one is reported and the caller rolls back.
// Main thread only.

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <memory>
#include <optional>

class QSqlQuery;

namespace platform {

struct Error;

// Failures of the store, with the SQLite result code (the primary code) as the error code.
inline const QString SqlStoreErrorDomain = QStringLiteral("SqlStoreErrorDomain");

class SqlStore
{
public:
    enum class OpenStatus { Closed, Open, Damaged, Locked, TooNew, Failed };

    // One migration: the statements that take the schema from version n to n + 1, run in
    // one transaction with the version change.
    using Migration = QStringList;

    // One row of a result, read while the query stands on it.
    class Row
    {
    public:
        explicit Row(const QSqlQuery& query) : _query(query) {}
        QVariant value(int column) const;
        // NULL reads as a null QString.
        QString string(int column) const;
        qint64 integer(int column) const;
        int columnCount() const;

    private:
        const QSqlQuery& _query;
    };

    SqlStore();
    ~SqlStore();
    SqlStore(const SqlStore&) = delete;
    SqlStore& operator=(const SqlStore&) = delete;

    // Opens the file (creating it when missing), checks it and runs the migrations it has
    // not had yet, all of them in one transaction. Whatever the outcome, the status is kept (status()); only Open leaves
    // the store usable. How long a lock held by another connection is waited for:
    // busyTimeoutMs.
    OpenStatus open(const QString& path, const QList<Migration>& migrations, Error* error = nullptr,
                    int busyTimeoutMs = 100);
    // Opens an existing file for reading only: it is checked as open() checks it, but
    // nothing is created or migrated, and every write fails. A missing file is Failed; a file whose schema is
    // newer than `schemaVersion` is TooNew.
    OpenStatus openReadOnly(const QString& path, int schemaVersion, Error* error = nullptr);
    OpenStatus status() const { return _status; }
    bool isOpen() const { return _status == OpenStatus::Open; }
    QString path() const { return _path; }
    // The schema version the file records.
    int userVersion() const;
    void close();

    // One statement with its values bound in order to its "?" placeholders.
    bool execute(const QString& sql, const QVariantList& values = {}, Error* error = nullptr);
    // Runs a query and hands each row to `body`, in order.
    bool forEachRow(const QString& sql, const QVariantList& values,
                    const std::function<void(const Row&)>& body, Error* error = nullptr);
    // Every row of a query, each as its values in column order.
    std::optional<QList<QVariantList>> select(const QString& sql, const QVariantList& values = {},
                                              Error* error = nullptr);
    // Reads what a damaged file still yields, without checking it first and without
    // changing it: `sql` selects rows of one table in order of row id (the first column),
    // those after the row id bound to its one placeholder; each row goes to `body`. Parts
    // of the file that fail to read are skipped. The number of rows read.
    static qint64 readDamaged(const QString& path, const QString& sql,
                              const std::function<void(const Row&)>& body);

    // The row id the last INSERT of this connection made.
    qint64 lastInsertId() const;

    // Nested transactions; each begin is ended by one commit or one rollback.
    bool beginTransaction(Error* error = nullptr);
    bool commit(Error* error = nullptr);
    bool rollback();

    // A transaction that rolls back unless committed, for one operation's scope.
    class Transaction
    {
    public:
        explicit Transaction(SqlStore& store, Error* error = nullptr)
            : _store(store), _active(store.beginTransaction(error))
        {}
        ~Transaction()
        {
            if (_active)
                _store.rollback();
        }
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        bool isActive() const { return _active; }
        bool commit(Error* error = nullptr)
        {
            const bool committed = _active && _store.commit(error);
            _active = false;
            return committed;
        }

    private:
        SqlStore& _store;
        bool _active;
    };

    struct Connection;

private:
    OpenStatus openConnection(const QString& path, bool readOnly, Error* error, int busyTimeoutMs);

    std::shared_ptr<Connection> _connection;
    QString _path;
    OpenStatus _status = OpenStatus::Closed;
};

} // namespace platform
