#include "cd/trackrowstore.h"

#include "app/dataerror.h"
#include "cd/cdrows.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>

namespace lentaro {

namespace {

// The fields of a Tracks row the user changes; the others are the disc's.
const char* const editableFields[] = {"TrackName", "Comments", "Rating", "Notation"};

} // namespace

TrackRowStore::~TrackRowStore()
{
    QObject::disconnect(changes_);
}

void TrackRowStore::follow(QSqlTableModel* dtaTracks)
{
    QObject::disconnect(changes_);
    tracks_ = dtaTracks;
    if (!tracks_)
        return;
    changes_ = QObject::connect(tracks_, &QAbstractItemModel::dataChanged, tracks_,
                                [this](const QModelIndex& first, const QModelIndex& last) {
                                    for (int row = first.row(); row <= last.row(); ++row)
                                        store(row);
                                });
}

void TrackRowStore::store(int row)
{
    // A row read back from the database is clean: nothing to write.
    bool changed = false;
    for (int column = 0; column < tracks_->columnCount() && !changed; ++column)
        changed = tracks_->isDirty(tracks_->index(row, column));
    if (!changed)
        return;
    const QSqlRecord record = tracks_->record(row);
    QString assignments;
    for (const char* field : editableFields) {
        if (!assignments.isEmpty())
            assignments += QStringLiteral(", ");
        assignments += QLatin1String(field) + QStringLiteral(" = ?");
    }
    QSqlQuery update(tracks_->database());
    bool written = update.prepare(QStringLiteral("UPDATE Tracks SET ") + assignments
                                  + QStringLiteral(" WHERE rowKey = ?"));
    if (written) {
        for (const char* field : editableFields)
            update.addBindValue(record.value(QLatin1String(field)));
        update.addBindValue(record.value(QStringLiteral("rowKey")));
        written = update.exec();
    }
    if (!written) {
        tracks_->revertRow(row);
        showDataError(errorNumbers::databaseCallFailed, "Tracks");
        return;
    }
    tracks_->selectRow(row);
}

} // namespace lentaro
