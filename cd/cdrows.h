#pragma once

#include "trace/errornumbers.h"

#include <QSqlDatabase>
#include <QString>

#include <optional>

namespace lentaro {

// One row of CDs, as the CD side reads it.
struct CdRow {
    int CDid = 0;
    QString Title;
    QString Artist;
    int cdlen = 0;
    int numTracks = 0;
    int track1Len = 0;
    std::optional<int> lastLoopSelected; // start time of the loop last selected; none for Null
};

// The CDs and Tracks rows of the CD side, by SQL on the main window's database. Each throws a
// RuntimeError (errorNumbers::databaseCallFailed) with the database's reason when a statement fails.
class CdRows
{
public:
    explicit CdRows(QSqlDatabase db) : db_(std::move(db)) {}

    // Nothing when no row has that CDid.
    std::optional<CdRow> row(int CDid) const;
    // The first row (lowest CDid) of that identity; nothing when none has it.
    std::optional<int> find(int cdlen, int track1Len) const;
    // The no-CD record: the first row with both lengths 0.
    std::optional<int> noCdRecord() const { return find(0, 0); }
    // Adds a disc ("CD Title", "Artist") and its Tracks rows 1..numTracks, each named by its
    // number, in one transaction: all of it or, when any statement fails, none of it (then it
    // throws). Returns the new row's CDid.
    int addDisc(int cdlen, int numTracks, int track1Len);
    // Stores the disc's Title or Artist.
    enum class DiscText { Title, Artist };
    void setDiscText(int CDid, DiscText field, const QString& value);

private:
    QSqlDatabase db_;
};

} // namespace lentaro
