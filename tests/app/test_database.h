#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace lentaro::test {

// A connection of the test's own to a database file, for building fixtures and reading back.
class TestDatabase
{
public:
    explicit TestDatabase(const QString& path);
    ~TestDatabase();

    // Runs an SQL script; fails the test when a statement fails.
    void run(const QString& script);
    // The one value the query gives (an invalid QVariant when it gives no row).
    QVariant value(const QString& sql);
    // Every row of the query, its values joined by "|", Null as "<null>".
    QStringList rows(const QString& sql);
    // The table's fields as "name type default" ("lastPct INTEGER 50", "WAV TEXT -").
    QStringList fields(const QString& table);
    // The whole database, structure and rows, as text, for comparing two states.
    QStringList dump();

private:
    QString connection_;
    QSqlDatabase db_;
};

} // namespace lentaro::test
