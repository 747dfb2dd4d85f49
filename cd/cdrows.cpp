#include "cd/cdrows.h"

#include "trace/runtimeerror.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace lentaro {

namespace {

[[noreturn]] void fail(const QSqlError& error)
{
    throw RuntimeError(errorNumbers::databaseCallFailed, error.text());
}

QSqlQuery prepared(const QSqlDatabase& db, const char* statement)
{
    QSqlQuery query(db);
    if (!query.prepare(QString::fromLatin1(statement)))
        fail(query.lastError());
    return query;
}

void exec(QSqlQuery& query)
{
    if (!query.exec())
        fail(query.lastError());
}

} // namespace

std::optional<CdRow> CdRows::row(int CDid) const
{
    QSqlQuery query = prepared(db_, "SELECT CDid, Title, Artist, cdlen, numTracks, track1Len, "
                                    "lastLoopSelected FROM CDs WHERE CDid = ?");
    query.addBindValue(CDid);
    exec(query);
    if (!query.next())
        return std::nullopt;
    CdRow row;
    row.CDid = query.value(0).toInt();
    row.Title = query.value(1).toString();
    row.Artist = query.value(2).toString();
    row.cdlen = query.value(3).toInt();
    row.numTracks = query.value(4).toInt();
    row.track1Len = query.value(5).toInt();
    if (!query.value(6).isNull())
        row.lastLoopSelected = query.value(6).toInt();
    return row;
}

std::optional<int> CdRows::find(int cdlen, int track1Len) const
{
    QSqlQuery query = prepared(
        db_, "SELECT CDid FROM CDs WHERE cdlen = ? AND track1Len = ? ORDER BY CDid LIMIT 1");
    query.addBindValue(cdlen);
    query.addBindValue(track1Len);
    exec(query);
    if (!query.next())
        return std::nullopt;
    return query.value(0).toInt();
}

int CdRows::addDisc(int cdlen, int numTracks, int track1Len)
{
    if (!db_.transaction())
        fail(db_.lastError());
    try {
        QSqlQuery disc =
            prepared(db_, "INSERT INTO CDs (Title, Artist, cdlen, numTracks, track1Len) "
                          "VALUES ('CD Title', 'Artist', ?, ?, ?)");
        disc.addBindValue(cdlen);
        disc.addBindValue(numTracks);
        disc.addBindValue(track1Len);
        exec(disc);
        // The tracks join the row this insert made, whatever else the table holds.
        const int CDid = disc.lastInsertId().toInt();
        QSqlQuery track =
            prepared(db_, "INSERT INTO Tracks (CDid, TrackNum, TrackName) VALUES (?, ?, ?)");
        for (int i = 1; i <= numTracks; ++i) {
            track.addBindValue(CDid);
            track.addBindValue(i);
            track.addBindValue(QString::number(i));
            exec(track);
        }
        if (!db_.commit())
            fail(db_.lastError());
        return CDid;
    } catch (...) {
        db_.rollback();
        throw;
    }
}

void CdRows::setDiscText(int CDid, DiscText field, const QString& value)
{
    QSqlQuery query =
        prepared(db_, field == DiscText::Title ? "UPDATE CDs SET Title = ? WHERE CDid = ?"
                                               : "UPDATE CDs SET Artist = ? WHERE CDid = ?");
    query.addBindValue(value);
    query.addBindValue(CDid);
    exec(query);
}

} // namespace lentaro
