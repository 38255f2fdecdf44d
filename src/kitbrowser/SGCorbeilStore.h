#pragma once

// The kit library's store "data": the tables "Kit" and "Object" (one row per kit and per
// graphic, a graphic's "kit" a foreign key that deletes with its kit), read and written as
// SGKitRecord and SGObjectRecord. Internal to the kit browser.
//
// Searched texts and sort keys are kept a second time folded (case and marks removed), so
// searches that ignore them compare folded texts and sorting ignores case. Conditions are
// built as Predicates: text naming our own columns, with every value bound, never spliced.
//
// Opening: a file that is not a store or fails its check is renamed aside (never deleted)
// and a new store is made, to be filled again from the "Kits" folder; a store another
// process holds locked, or one a newer version wrote, is left alone and the store stays
// unavailable.

#include "kitbrowser/SGCorbeilRecords.h"
#include "platform/core/SqlStore.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace sgstore {

// The text with case and marks removed ("Émilie" gives "emilie").
QString folded(const QString& text);

// A condition over our own column names; every value is bound.
struct Predicate
{
    QString text;
    QVariantList values;

    bool isEmpty() const { return text.isEmpty(); }

    // column = value
    static Predicate equals(const QString& column, const QString& value);
    // The value occurs in the column as it is.
    static Predicate contains(const QString& column, const QString& value);
    // The folded value occurs in the column's folded copy (a column named "<column>Folded").
    static Predicate containsFolded(const QString& column, const QString& value);
    // The value is one of the "|"-separated elements of the column.
    static Predicate hasElement(const QString& column, const QString& value);
    static Predicate allOf(const QList<Predicate>& parts);
    static Predicate anyOf(const QList<Predicate>& parts);
};

} // namespace sgstore

class SGCorbeilStore
{
public:
    enum class State { Unopened, Open, Unavailable };

    explicit SGCorbeilStore(const QString& libraryPath);

    // Opens "data" once; later calls answer the state. *error says why the store is
    // unavailable; *setAside gets the path a damaged store was moved to.
    State open(QString* error = nullptr, QString* setAside = nullptr);
    State state() const { return _state; }
    bool isOpen() const { return _state == State::Open; }
    platform::SqlStore& sql() { return _sql; }

    // Kits matching the condition (all for an empty one), sorted by the attribute ignoring
    // case, then by name.
    QList<SGKitRecord> kits(const sgstore::Predicate& where, const QString& sortedBy);
    // Graphics matching the condition over "o." (graphic) and "k." (its kit) columns, by
    // type, subtype and name ignoring case. The query finds the rows; the records come from
    // a copy of every graphic kept in memory, read on the first query and kept up to date by
    // the writes below (QStrings shared, so handing out records copies no text).
    QList<SGObjectRecord> objects(const sgstore::Predicate& where);
    // Drops the copy (after a write that was rolled back); it is read again when needed.
    void forgetObjects();
    // Distinct values of a graphic column ("type", "subtype") over the matching graphics,
    // in the order met.
    QStringList distinctObjectValues(const QString& column, const sgstore::Predicate& where);
    QStringList distinctKitTypes();

    // Inside a transaction of the caller. Sets the record's id.
    bool insertKit(SGKitRecord& kit, QString* error);
    bool insertObject(SGObjectRecord& object, QString* error);
    // Deletes the kits (and their graphics) with exactly this identifier; their file names
    // go into *filenames.
    bool deleteKitsWithUID(const QString& uid, QStringList* filenames, QString* error);
    bool deleteKit(qint64 id, QString* error);

private:
    void loadObjects();

    QString _libraryPath;
    State _state = State::Unopened;
    platform::SqlStore _sql;
    QHash<qint64, SGObjectRecord> _objects;
    bool _objectsLoaded = false;
};
