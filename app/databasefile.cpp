#include "app/databasefile.h"

#include "trace/runtimeerror.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace lentaro {

namespace {
std::atomic<int> connections{0};
}

DatabaseFile::DatabaseFile()
    : connection_(QStringLiteral("lentaro.databasefile.%1").arg(++connections))
{
}

DatabaseFile::~DatabaseFile()
{
    if (db_.isValid())
        db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

bool DatabaseFile::open(const QString& path, QString& reason)
{
    const QFileInfo file(path);
    if (!file.isFile()) {
        reason = standardErrorText(53);
        return false;
    }
    const bool readOnly = !file.isWritable() || !(file.permissions() & QFileDevice::WriteOwner);

    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    if (!db_.isValid()) {
        reason = db_.lastError().text();
        return false;
    }
    db_.setDatabaseName(path);
    if (readOnly)
        db_.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db_.open()) {
        reason = db_.lastError().text();
        return false;
    }
    // The file is only read at the first statement: this finds one that is no database.
    QSqlQuery probe(db_);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        reason = probe.lastError().text();
        db_.close();
        return false;
    }
    return true;
}

} // namespace lentaro
