#pragma once

#include <QSqlDatabase>
#include <QString>

#include <optional>
#include <vector>

namespace lentaro {

// A field of one of the program's five tables.
struct SchemaField {
    const char* table;
    const char* field;
};

// A field the schema upgrade adds, with the default it gets (none: no default). False is 0.
struct NewField {
    const char* table;
    const char* field;
    std::optional<int> defaultValue;
};

// The fields of the tables that every version of the database has: what the upgrade builds on.
extern const std::vector<SchemaField> firstFields;

// The fields later versions added, in the order the upgrade adds them.
extern const std::vector<NewField> newFields;

// How much of the schema a database must have.
enum class Schema {
    First,    // the five tables with their first fields (firstFields)
    Upgraded, // those and every field the upgrade adds (newFields)
};

// What the open database lacks of the schema, as a sentence ("The database has no table Tracks.",
// "The table Tracks has no field TrackNum."); empty when it has all of it, or when it cannot be read,
// which the read says. Reads only.
QString missingSchema(QSqlDatabase& db, Schema schema);

} // namespace lentaro
