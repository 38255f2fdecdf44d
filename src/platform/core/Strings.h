#pragma once

// Named string tables: the texts the program shows, looked up by key. A table is the file
// "<table>.strings" in the program's resources (":/strings/<table>.strings"), in the
// property-list text form of bare pairs:
//
//     /* Undo menu item */
//     "Undo %@" = "Undo %@";
//
// Each table is read once and kept. A key the table lacks reads as the key itself, so a
// missing or unreadable table shows the keys (and logs one warning for that table).
//
// A library that ships its own texts keeps its tables in its own resources, under the name
// of its bundle (":/<bundle>/strings/<table>.strings"), so its tables never mix with the
// program's tables of the same name.

#include <QString>

namespace platform {

// The text for `key` in `table`; the key itself when there is none. An empty table name
// means the table "Localizable". An empty bundle means the program's own tables.
QString LocalizedString(const QString& key, const QString& table,
                        const QString& bundle = QString());

// Searches `folder` for the program's tables before the resources (folders added later
// first). Tables already read are read again on their next use.
void addStringTableFolder(const QString& folder);

} // namespace platform
