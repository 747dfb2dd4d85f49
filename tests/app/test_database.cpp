#include "tests/app/test_database.h"

#include <gtest/gtest.h>

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace lentaro::test {

TestDatabase::TestDatabase(const QString& path)
{
    static int connections = 0;
    connection_ = QStringLiteral("test.%1").arg(++connections);
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db_.setDatabaseName(path);
    EXPECT_TRUE(db_.open()) << db_.lastError().text().toStdString();
}

TestDatabase::~TestDatabase()
{
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

void TestDatabase::run(const QString& script)
{
    for (const QString& statement : script.split(u';', Qt::SkipEmptyParts)) {
        if (statement.trimmed().isEmpty())
            continue;
        QSqlQuery query(db_);
        EXPECT_TRUE(query.exec(statement))
            << statement.toStdString() << ": " << query.lastError().text().toStdString();
    }
}

QVariant TestDatabase::value(const QString& sql)
{
    QSqlQuery query(db_);
    EXPECT_TRUE(query.exec(sql)) << sql.toStdString() << ": "
                                 << query.lastError().text().toStdString();
    return query.next() ? query.value(0) : QVariant();
}

QStringList TestDatabase::rows(const QString& sql)
{
    QSqlQuery query(db_);
    EXPECT_TRUE(query.exec(sql)) << sql.toStdString() << ": "
                                 << query.lastError().text().toStdString();
    QStringList rows;
    while (query.next()) {
        QStringList values;
        for (int i = 0; i < query.record().count(); ++i) {
            const QVariant value = query.value(i);
            values << (value.isNull() ? QStringLiteral("<null>") : value.toString());
        }
        rows << values.join(u'|');
    }
    return rows;
}

QStringList TestDatabase::fields(const QString& table)
{
    QStringList fields;
    const QString sql = QStringLiteral("PRAGMA table_info(\"%1\")").arg(table);
    for (const QString& row : rows(sql)) {
        const QStringList parts = row.split(u'|');
        const QString fallback =
            parts[4] == QStringLiteral("<null>") ? QStringLiteral("-") : parts[4];
        fields << parts[1] + u' ' + parts[2] + u' ' + fallback;
    }
    return fields;
}

QStringList TestDatabase::dump()
{
    QStringList lines =
        rows(QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY name"));
    for (const QString& table : rows(QStringLiteral(
             "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
             "ORDER BY name"))) {
        for (const QString& row :
             rows(QStringLiteral("SELECT rowid, * FROM \"%1\" ORDER BY rowid").arg(table)))
            lines << table + u':' + row;
    }
    return lines;
}

} // namespace lentaro::test
