#include "loops/loopRows.h"

#include "mainwindow/fieldcolumn.h"
#include "mainwindow/mainstate.h"
#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QStringList>

#include <algorithm>

namespace lentaro {

namespace {

[[noreturn]] void failed(const QSqlError& error)
{
    throw RuntimeError(errorNumbers::databaseCallFailed, error.text());
}

} // namespace

LoopRows::LoopRows(MainState& state) : state_(state)
{
    connect(&state_, &MainState::loopsRebound, this, [this] { follow(state_.dtaLoopPoints); });
    follow(state_.dtaLoopPoints);
}

void LoopRows::follow(QSqlTableModel* model)
{
    if (model_)
        model_->disconnect(this);
    model_ = model;
    startsKnown_ = false;
    current_ = noRow;
    if (!model_)
        return;
    // The grid edits the notes in place; each edit is stored as it is made.
    model_->setEditStrategy(QSqlTableModel::OnFieldChange);
    const auto forgetStarts = [this] { startsKnown_ = false; };
    connect(model_, &QAbstractItemModel::rowsInserted, this, forgetStarts);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, forgetStarts);
    connect(model_, &QAbstractItemModel::dataChanged, this, forgetStarts);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { reread(); });
    reread();
}

void LoopRows::fetchAll() const
{
    while (model_ && model_->canFetchMore())
        model_->fetchMore();
}

QVariant LoopRows::valueAt(int row, const QString& name) const
{
    return model_->index(row, fieldColumn(*model_, name)).data();
}

int LoopRows::count() const
{
    fetchAll();
    return model_ ? model_->rowCount() : 0;
}

void LoopRows::reread()
{
    // Read again, whoever asked: the current row stays where its key still is, else the first.
    const QVariant key = keptKey_;
    startsKnown_ = false;
    const int rows = count();
    int row = rows > 0 ? 0 : noRow;
    if (key.isValid()) {
        for (int r = 0; r < rows; ++r) {
            if (valueAt(r, QStringLiteral("rowKey")) == key) {
                row = r;
                break;
            }
        }
    }
    moveTo(row);
}

QVariant LoopRows::currentKey() const
{
    return current_ == noRow ? QVariant() : valueAt(current_, QStringLiteral("rowKey"));
}

int LoopRows::requireCurrent() const
{
    if (current_ == noRow || !model_)
        throw RuntimeError(errorNumbers::noCurrentRecord);
    return current_;
}

QVariant LoopRows::field(const QString& name) const
{
    return valueAt(requireCurrent(), name);
}

void LoopRows::moveTo(int row)
{
    current_ = row >= 0 && row < count() ? row : noRow;
    keptKey_ = currentKey();
    emit repositioned();
}

bool LoopRows::findFirst(const QString& name, const QVariant& value)
{
    const int rows = count();
    for (int r = 0; r < rows; ++r) {
        if (valueAt(r, name) == value) {
            moveTo(r);
            return true;
        }
    }
    moveTo(noRow);
    return false;
}

void LoopRows::moveNext()
{
    moveTo(current_ == noRow ? noRow : current_ + 1);
}

void LoopRows::requery()
{
    if (!model_)
        return;
    keptKey_ = QVariant();
    if (!model_->select())
        failed(model_->lastError());
}

int LoopRows::lastStartingAtOrBefore(int position) const
{
    if (!startsKnown_) {
        const int rows = count();
        starts_.resize(static_cast<std::size_t>(rows));
        for (int r = 0; r < rows; ++r)
            starts_[static_cast<std::size_t>(r)] = valueAt(r, QStringLiteral("startTime")).toInt();
        startsKnown_ = true;
    }
    // The first row starting after the position; the loop wanted starts before it.
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), position);
    if (after == starts_.begin())
        return noRow;
    const auto sameStart = std::lower_bound(starts_.begin(), after, *(after - 1));
    return static_cast<int>(sameStart - starts_.begin());
}

QSqlRecord LoopRows::newRow() const
{
    QSqlRecord record = model_ ? model_->record() : QSqlRecord();
    record.remove(record.indexOf(QStringLiteral("rowKey")));
    record.clearValues();
    return record;
}

template <typename Change>
void LoopRows::inTransaction(Change&& change)
{
    if (!model_)
        throw RuntimeError(errorNumbers::noCurrentRecord);
    QSqlDatabase db = model_->database();
    if (!db.transaction())
        failed(db.lastError());
    const QVariant kept = keptKey_;
    try {
        change(db);
        if (!db.commit())
            failed(db.lastError());
    } catch (...) {
        db.rollback();
        keptKey_ = kept;
        throw;
    }
    startsKnown_ = false;
    if (!model_->select())
        failed(model_->lastError());
}

void LoopRows::add(const std::vector<QSqlRecord>& rows)
{
    inTransaction([&](QSqlDatabase& db) {
        const QString table =
            db.driver()->escapeIdentifier(model_->tableName(), QSqlDriver::TableName);
        for (const QSqlRecord& row : rows) {
            QStringList names;
            QStringList marks;
            for (int i = 0; i < row.count(); ++i) {
                if (row.isGenerated(i) && !row.isNull(i)) {
                    names << db.driver()->escapeIdentifier(row.fieldName(i), QSqlDriver::FieldName);
                    marks << QStringLiteral("?");
                }
            }
            QSqlQuery insert(db);
            insert.prepare(
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
            for (int i = 0; i < row.count(); ++i) {
                if (row.isGenerated(i) && !row.isNull(i))
                    insert.addBindValue(row.value(i));
            }
            if (!insert.exec())
                failed(insert.lastError());
        }
    });
}

void LoopRows::editCurrent(const QSqlRecord& fields)
{
    editRow(valueAt(requireCurrent(), QStringLiteral("rowKey")), fields);
}

void LoopRows::editRow(const QVariant& key, const QSqlRecord& fields)
{
    inTransaction([&](QSqlDatabase& db) {
        QStringList sets;
        for (int i = 0; i < fields.count(); ++i)
            sets << db.driver()->escapeIdentifier(fields.fieldName(i), QSqlDriver::FieldName)
                        + QStringLiteral("=?");
        QSqlQuery update(db);
        update.prepare(
            QStringLiteral("UPDATE %1 SET %2 WHERE rowKey=?")
                .arg(db.driver()->escapeIdentifier(model_->tableName(), QSqlDriver::TableName),
                     sets.join(QLatin1Char(','))));
        for (int i = 0; i < fields.count(); ++i)
            update.addBindValue(fields.value(i));
        update.addBindValue(key);
        if (!update.exec())
            failed(update.lastError());
    });
}

void LoopRows::deleteCurrent()
{
    const int row = requireCurrent();
    const QVariant key = valueAt(row, QStringLiteral("rowKey"));
    // The row after the deleted one takes its place, or the one before it at the end.
    const int neighbour = row + 1 < count() ? row + 1 : row - 1;
    const QVariant next =
        neighbour >= 0 ? valueAt(neighbour, QStringLiteral("rowKey")) : QVariant();
    inTransaction([&](QSqlDatabase& db) {
        QSqlQuery remove(db);
        remove.prepare(
            QStringLiteral("DELETE FROM %1 WHERE rowKey=?")
                .arg(db.driver()->escapeIdentifier(model_->tableName(), QSqlDriver::TableName)));
        remove.addBindValue(key);
        if (!remove.exec())
            failed(remove.lastError());
        keptKey_ = next;
    });
}

} // namespace lentaro
