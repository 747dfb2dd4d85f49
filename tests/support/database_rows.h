#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariantList>

#include <gtest/gtest.h>

namespace lentaro::test {

// The rows a query on the database file gives, through a connection of the test's own, so that
// what is read is what was stored, not what a model holds.
inline QList<QVariantList> rowsOf(const QString& databaseFile, const QString& sql)
{
    QList<QVariantList> found;
    const QString connection = QStringLiteral("test reader");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(databaseFile);
        EXPECT_TRUE(db.open());
        QSqlQuery query(db);
        EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
        while (query.next()) {
            QVariantList row;
            for (int column = 0; column < query.record().count(); ++column)
                row << query.value(column);
            found << row;
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return found;
}

} // namespace lentaro::test
