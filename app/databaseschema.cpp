#include "app/databaseschema.h"

#include <QSqlQuery>
#include <QStringList>

#include <map>

namespace lentaro {

const std::vector<SchemaField> firstFields = {
    {"CDs", "CDid"},
    {"CDs", "Title"},
    {"CDs", "Artist"},
    {"CDs", "cdlen"},
    {"CDs", "numTracks"},
    {"CDs", "track1Len"},
    {"Tracks", "CDid"},
    {"Tracks", "TrackNum"},
    {"Tracks", "TrackName"},
    {"Tracks", "Comments"},
    {"Tracks", "Rating"},
    {"Tracks", "Notation"},
    {"LoopPoints", "CDid"},
    {"LoopPoints", "TrackNum"},
    {"LoopPoints", "startTime"},
    {"LoopPoints", "Comment"},
    {"LoopPoints", "chords"},
    {"LoopPoints", "lyrics"},
    {"Wave Files", "waveFileID"},
    {"Wave Files", "waveFilePath"},
    {"Wave Files", "waveFileName"},
    {"Wave Files", "waveDataLength"},
    {"Wave Files", "waveFileModDate"},
    {"WaveLoopPoints", "waveFileID"},
    {"WaveLoopPoints", "startTime"},
    {"WaveLoopPoints", "Comment"},
    {"WaveLoopPoints", "chords"},
    {"WaveLoopPoints", "lyrics"},
};

const std::vector<NewField> newFields = {
    {"CDs", "lastTrackIDSelected", 0},       {"CDs", "lastLoopSelected", 0},
    {"LoopPoints", "endTime", std::nullopt}, {"LoopPoints", "lastPct", 50},
    {"LoopPoints", "lastSelStart", 0},       {"LoopPoints", "lastSelEnd", 0},
    {"LoopPoints", "lastGridStart", 0},      {"LoopPoints", "lastGridWidth", 0},
    {"LoopPoints", "gridVisible", 0},        {"WaveLoopPoints", "endTime", std::nullopt},
    {"WaveLoopPoints", "lastPct", 50},       {"WaveLoopPoints", "lastSelStart", 0},
    {"WaveLoopPoints", "lastSelEnd", 0},     {"WaveLoopPoints", "lastGridStart", 0},
    {"WaveLoopPoints", "lastGridWidth", 0},  {"WaveLoopPoints", "gridVisible", 0},
    {"Tracks", "lastPitchChange", 0},        {"Wave Files", "lastPitchChange", 0},
};

namespace {

// The field names of each table the database has (compared without regard to case, as the
// database does).
class TableFields
{
public:
    explicit TableFields(QSqlDatabase& db) : db_(db) {}

    // Empty when the table is missing (a table has at least one field).
    const QStringList& of(const QString& table)
    {
        auto found = fields_.find(table);
        if (found != fields_.end())
            return found->second;
        QStringList& names = fields_[table];
        QSqlQuery query(db_);
        QString quoted = table;
        quoted.replace(u'"', QStringLiteral("\"\""));
        if (query.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(quoted))) {
            while (query.next())
                names.append(query.value(1).toString());
        }
        return names;
    }

private:
    QSqlDatabase& db_;
    std::map<QString, QStringList> fields_;
};

QString missing(TableFields& tables, const char* table, const char* field)
{
    const QString tableName = QString::fromUtf8(table);
    const QStringList& fields = tables.of(tableName);
    if (fields.isEmpty())
        return QStringLiteral("The database has no table ") + tableName + QLatin1Char('.');
    if (!fields.contains(QString::fromUtf8(field), Qt::CaseInsensitive)) {
        return QStringLiteral("The table ") + tableName + QStringLiteral(" has no field ")
               + QString::fromUtf8(field) + QLatin1Char('.');
    }
    return {};
}

} // namespace

QString missingSchema(QSqlDatabase& db, Schema schema)
{
    TableFields tables(db);
    for (const SchemaField& f : firstFields) {
        if (QString lacks = missing(tables, f.table, f.field); !lacks.isEmpty())
            return lacks;
    }
    if (schema == Schema::Upgraded) {
        for (const NewField& f : newFields) {
            if (QString lacks = missing(tables, f.table, f.field); !lacks.isEmpty())
                return lacks;
        }
    }
    return {};
}

} // namespace lentaro
