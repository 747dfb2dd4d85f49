#include "app/databasefile.h"

#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <atomic>

namespace lentaro {

namespace {

std::atomic<int> connections{0};

// SQLite's primary result codes for a database another connection holds.
constexpr int sqliteBusy = 5;
constexpr int sqliteLocked = 6;

// What is wrong with a file that is there but is no regular file; empty for a regular file.
QString notARegularFile(const QFileInfo& file)
{
    if (file.isDir())
        return QStringLiteral("Not a file but a folder.");
    if (!file.isFile())
        return QStringLiteral("Not a regular file but a named pipe, a device or a socket.");
    return {};
}

// The database's own words as a sentence.
QString sentence(const QSqlError& error)
{
    const int code = error.nativeErrorCode().toInt() & 0xff;
    if (code == sqliteBusy || code == sqliteLocked)
        return QStringLiteral("The database is locked by another program that is changing it.");
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    if (!text.isEmpty()) {
        text[0] = text[0].toUpper();
        if (!text.endsWith(QLatin1Char('.')))
            text += QLatin1Char('.');
    }
    return text;
}

// Reads every page of the database once: a cut-short or damaged file fails here, not later
// in the middle of a change.
QString unreadable(QSqlDatabase& db)
{
    QSqlQuery check(db);
    check.setForwardOnly(true);
    if (!check.exec(QStringLiteral("PRAGMA quick_check(1)")))
        return sentence(check.lastError());
    if (!check.next())
        return sentence(check.lastError());
    const QString result = check.value(0).toString();
    if (result != QLatin1String("ok"))
        return QStringLiteral("The database is damaged: ") + result;
    return {};
}

} // namespace

bool openDatabaseFile(QSqlDatabase& db, const QString& path, Schema schema, QString& reason)
{
    const QFileInfo file(path);
    if (!file.exists()) {
        reason = standardErrorText(errorNumbers::fileNotFound);
        return false;
    }
    reason = notARegularFile(file);
    if (!reason.isEmpty())
        return false;
    if (file.size() == 0) {
        reason = QStringLiteral("The file is empty.");
        return false;
    }
    const bool readOnly = !file.isWritable() || !(file.permissions() & QFileDevice::WriteOwner);

    // Opened as a URI whose mode never lets the database make the file.
    QUrl uri = QUrl::fromLocalFile(file.absoluteFilePath());
    uri.setQuery(readOnly ? QStringLiteral("mode=ro") : QStringLiteral("mode=rw"));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    if (!db.open()) {
        reason = sentence(db.lastError());
        return false;
    }
    reason = unreadable(db);
    if (reason.isEmpty())
        reason = missingSchema(db, schema);
    if (reason.isEmpty())
        return true;
    db.close();
    return false;
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
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    if (!db_.isValid()) {
        reason = db_.lastError().text();
        return false;
    }
    return openDatabaseFile(db_, path, Schema::First, reason);
}

} // namespace lentaro
