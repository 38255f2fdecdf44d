// The SQLite store: migrations counted in user_version, values bound (never spliced),
// nested transactions, one connection per file, and the outcomes of opening a file that is
// damaged, locked or newer.

#include "platform/core/SqlStore.h"
#include "platform/core/Error.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::SqlStore;

namespace {

const QList<SqlStore::Migration> schema = {
    {QStringLiteral("CREATE TABLE Kit (id INTEGER PRIMARY KEY, name TEXT NOT NULL)")},
    {QStringLiteral("CREATE TABLE Object (id INTEGER PRIMARY KEY, "
                    "kit INTEGER NOT NULL REFERENCES Kit(id) ON DELETE CASCADE, name TEXT)"),
     QStringLiteral("CREATE INDEX ObjectKit ON Object(kit)")},
};

class SqlStoreTest : public ::testing::Test
{
protected:
    QString path() const { return _folder.filePath(QStringLiteral("data")); }
    QStringList names(SqlStore& store, const QString& table)
    {
        QStringList result;
        store.forEachRow(QStringLiteral("SELECT name FROM %1 ORDER BY id").arg(table), {},
                         [&](const SqlStore::Row& row) { result.append(row.string(0)); });
        return result;
    }
    QTemporaryDir _folder;
};

} // namespace

TEST_F(SqlStoreTest, MigrationsRunOnceInOrder)
{
    {
        SqlStore store;
        ASSERT_EQ(store.open(path(), {schema[0]}), SqlStore::OpenStatus::Open);
        EXPECT_EQ(store.userVersion(), 1);
        ASSERT_TRUE(store.execute(QStringLiteral("INSERT INTO Kit (name) VALUES (?)"),
                                  {QStringLiteral("a")}));
    }
    SqlStore store;
    ASSERT_EQ(store.open(path(), schema), SqlStore::OpenStatus::Open);
    EXPECT_EQ(store.userVersion(), 2);
    EXPECT_EQ(names(store, QStringLiteral("Kit")), QStringList{QStringLiteral("a")});
    store.close();
    // A file of a newer schema is left alone.
    EXPECT_EQ(store.open(path(), {schema[0]}), SqlStore::OpenStatus::TooNew);
    EXPECT_FALSE(store.isOpen());
}

TEST_F(SqlStoreTest, ValuesAreBoundAndForeignKeysHold)
{
    SqlStore store;
    ASSERT_EQ(store.open(path(), schema), SqlStore::OpenStatus::Open);
    const QStringList tricky = {QStringLiteral("O'Brien"), QStringLiteral("%"),
                                QStringLiteral("a'); DROP TABLE Kit; --")};
    for (const QString& name : tricky)
        ASSERT_TRUE(store.execute(QStringLiteral("INSERT INTO Kit (name) VALUES (?)"), {name}));
    EXPECT_EQ(names(store, QStringLiteral("Kit")), tricky);
    const auto rows =
        store.select(QStringLiteral("SELECT id FROM Kit WHERE name = ?"), {QStringLiteral("%")});
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 1);
    const qint64 kit = rows->first().first().toLongLong();
    ASSERT_TRUE(store.execute(QStringLiteral("INSERT INTO Object (kit, name) VALUES (?, ?)"),
                              {kit, QStringLiteral("o")}));
    EXPECT_EQ(store.lastInsertId(), 1);
    // No graphic without its kit, and none left when the kit goes.
    platform::Error error;
    EXPECT_FALSE(store.execute(QStringLiteral("INSERT INTO Object (kit, name) VALUES (?, ?)"),
                               {999, QStringLiteral("x")}, &error));
    EXPECT_EQ(error.domain, platform::SqlStoreErrorDomain);
    ASSERT_TRUE(store.execute(QStringLiteral("DELETE FROM Kit WHERE id = ?"), {kit}));
    EXPECT_TRUE(names(store, QStringLiteral("Object")).isEmpty());
}

TEST_F(SqlStoreTest, NestedTransactionsAndOneConnectionPerFile)
{
    SqlStore first;
    ASSERT_EQ(first.open(path(), schema), SqlStore::OpenStatus::Open);
    SqlStore second;
    ASSERT_EQ(second.open(_folder.path() + QStringLiteral("/./data"), schema),
              SqlStore::OpenStatus::Open);
    {
        SqlStore::Transaction outer(first);
        ASSERT_TRUE(first.execute(QStringLiteral("INSERT INTO Kit (name) VALUES ('kept')")));
        {
            SqlStore::Transaction inner(second); // the same connection: nested
            ASSERT_TRUE(
                second.execute(QStringLiteral("INSERT INTO Kit (name) VALUES ('dropped')")));
        } // rolled back
        EXPECT_EQ(names(second, QStringLiteral("Kit")), QStringList{QStringLiteral("kept")});
        EXPECT_TRUE(outer.commit());
    }
    {
        SqlStore::Transaction abandoned(first);
        ASSERT_TRUE(first.execute(QStringLiteral("INSERT INTO Kit (name) VALUES ('gone')")));
    }
    first.close();
    EXPECT_EQ(names(second, QStringLiteral("Kit")), QStringList{QStringLiteral("kept")});
    // A query run again from inside its own rows.
    int inner = 0;
    second.forEachRow(QStringLiteral("SELECT name FROM Kit"), {}, [&](const SqlStore::Row&) {
        second.forEachRow(QStringLiteral("SELECT name FROM Kit"), {},
                          [&](const SqlStore::Row&) { ++inner; });
    });
    EXPECT_EQ(inner, 1);
}

TEST_F(SqlStoreTest, DamagedAndLockedFilesAreToldApartAndLeftAsTheyAre)
{
    QFile garbage(path());
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(2048, 'z'));
    garbage.close();
    SqlStore store;
    platform::Error error;
    EXPECT_EQ(store.open(path(), schema, &error), SqlStore::OpenStatus::Damaged);
    EXPECT_FALSE(error.description.isEmpty());
    QFile check(path());
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray(2048, 'z'));
    check.close();
    QFile::remove(path());

    {
        SqlStore made;
        ASSERT_EQ(made.open(path(), schema), SqlStore::OpenStatus::Open);
    }
    {
        QSqlDatabase other =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
        other.setDatabaseName(path());
        ASSERT_TRUE(other.open());
        QSqlQuery lock(other);
        ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        EXPECT_EQ(store.open(path(), schema, nullptr, 20), SqlStore::OpenStatus::Locked);
        lock.exec(QStringLiteral("ROLLBACK"));
        lock.finish();
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    EXPECT_EQ(store.open(path(), schema), SqlStore::OpenStatus::Open);
}

TEST_F(SqlStoreTest, AReadOnlyStoreReadsButNeverWritesNorMakesAFile)
{
    SqlStore missing;
    platform::Error error;
    EXPECT_EQ(missing.openReadOnly(path(), 2, &error), SqlStore::OpenStatus::Failed);
    EXPECT_FALSE(QFile::exists(path()));
    EXPECT_TRUE(error.description.contains(path()));

    SqlStore writer;
    ASSERT_EQ(writer.open(path(), schema), SqlStore::OpenStatus::Open);
    ASSERT_TRUE(
        writer.execute(QStringLiteral("INSERT INTO Kit (name) VALUES (?)"), {QStringLiteral("a")}));

    // A reader beside the open writer has a connection of its own.
    SqlStore reader;
    ASSERT_EQ(reader.openReadOnly(path(), 2), SqlStore::OpenStatus::Open);
    EXPECT_EQ(names(reader, QStringLiteral("Kit")), QStringList{QStringLiteral("a")});
    EXPECT_FALSE(reader.execute(QStringLiteral("INSERT INTO Kit (name) VALUES (?)"),
                                {QStringLiteral("b")}, &error));
    EXPECT_EQ(names(writer, QStringLiteral("Kit")), QStringList{QStringLiteral("a")});
    reader.close();
    EXPECT_EQ(reader.openReadOnly(path(), 1), SqlStore::OpenStatus::TooNew);
}

TEST_F(SqlStoreTest, PendingMigrationsStandOrFallTogether)
{
    {
        SqlStore store;
        ASSERT_EQ(store.open(path(), {schema[0]}), SqlStore::OpenStatus::Open);
    }
    // Steps 2 and 3 pending; step 3 fails: step 2 is not kept either.
    QList<SqlStore::Migration> failing = schema;
    failing.append({QStringLiteral("NOT SQL")});
    SqlStore store;
    EXPECT_EQ(store.open(path(), failing), SqlStore::OpenStatus::Failed);
    ASSERT_EQ(store.open(path(), {schema[0]}), SqlStore::OpenStatus::Open);
    EXPECT_EQ(store.userVersion(), 1);
    EXPECT_FALSE(store.execute(QStringLiteral("SELECT * FROM Object")));
}

TEST_F(SqlStoreTest, ADamagedFileYieldsTheRowsStillReadable)
{
    {
        SqlStore store;
        ASSERT_EQ(store.open(path(), schema), SqlStore::OpenStatus::Open);
        for (int i = 0; i < 40; ++i)
            ASSERT_TRUE(store.execute(QStringLiteral("INSERT INTO Kit (name) VALUES (?)"),
                                      {QString(3000, QChar(u'a' + i % 26))}));
    }
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 pages = file.size() / 4096;
    file.seek(4096 * (pages / 2));
    file.write(QByteArray(4096, '\xff'));
    file.close();
    const QByteArray damaged = [&] {
        QFile f(path());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    QList<qint64> ids;
    const qint64 read = SqlStore::readDamaged(
        path(), QStringLiteral("SELECT id, name FROM Kit WHERE id > ? ORDER BY id"),
        [&](const SqlStore::Row& row) { ids.append(row.integer(0)); });
    EXPECT_EQ(read, ids.size());
    EXPECT_GT(read, 30);
    EXPECT_LT(read, 40);
    EXPECT_EQ(ids.last(), 40); // rows behind the damage are found
    QFile after(path());
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), damaged);
}
