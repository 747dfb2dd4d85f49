#pragma once

#include <QSqlDatabase>
#include <QString>

namespace lentaro {

// One connection of its own to an existing database file; closed with the object.
class DatabaseFile
{
public:
    DatabaseFile();
    ~DatabaseFile();

    DatabaseFile(const DatabaseFile&) = delete;
    DatabaseFile& operator=(const DatabaseFile&) = delete;

    // Opens the file, which must exist and be a database: opening never makes a new one.
    // A file its owner may not write is opened read-only, whoever runs the program (root
    // too), as a read-only file is treated everywhere. On failure returns false with the
    // reason in `reason`.
    bool open(const QString& path, QString& reason);

    QSqlDatabase& database() { return db_; }

private:
    QString connection_;
    QSqlDatabase db_;
};

} // namespace lentaro
