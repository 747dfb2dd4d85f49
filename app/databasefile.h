#pragma once

#include "app/databaseschema.h"

#include <QSqlDatabase>
#include <QString>

namespace lentaro {

// Opens `db`, a connection not yet open, on the existing database file `path`, and finds out
// whether it is one the program can use: a regular file (a folder, a named pipe or a device is
// refused before anything opens it, so nothing waits on a pipe), not empty, a database that
// reads whole (a damaged, cut-short or foreign file is refused, as is one another program keeps
// locked past the wait for it) and with the program's tables as `schema` asks. Opening never
// makes a file and writes nothing. A file its owner may not write is opened read-only, whoever
// runs the program (root too), as a read-only file is treated everywhere. On failure returns
// false, the connection closed, with what is wrong with the file in `reason`.
bool openDatabaseFile(QSqlDatabase& db, const QString& path, Schema schema, QString& reason);

// One connection of its own to an existing database file; closed with the object.
class DatabaseFile
{
public:
    DatabaseFile();
    ~DatabaseFile();

    DatabaseFile(const DatabaseFile&) = delete;
    DatabaseFile& operator=(const DatabaseFile&) = delete;

    // openDatabaseFile with the tables every version of the database has.
    bool open(const QString& path, QString& reason);

    QSqlDatabase& database() { return db_; }

private:
    QString connection_;
    QSqlDatabase db_;
};

} // namespace lentaro
