#pragma once

#include <QObject>
#include <QPointer>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

namespace lentaro {

class MainState;

// The loop rows of the CD or wave file shown, as the loop code reaches them through the data
// control dtaLoopPoints: in ascending startTime (rows sharing a start by rowKey), with a current
// row known by its rowKey. It follows the data control when the shell binds another one, and
// every move of the current row is announced by repositioned(). Changes go to the database in
// one transaction each and are then read back.
class LoopRows : public QObject
{
    Q_OBJECT

public:
    static constexpr int noRow = -1;

    explicit LoopRows(MainState& state);

    QSqlTableModel* model() const { return model_; }
    // Every row, all fetched.
    int count() const;

    // The current row's index in the model, noRow when there is none (no rows, or moved past
    // either end).
    int currentRow() const { return current_; }
    QVariant currentKey() const;
    // A field of the current row; run-time error 3021 when there is none.
    QVariant field(const QString& name) const;
    // Makes row current (noRow for none) and announces it, also when it was current already.
    void moveTo(int row);
    // Moves to the first row whose field equals value; false and no current row when none does.
    bool findFirst(const QString& name, const QVariant& value);
    // Moves one row on; past the last row there is no current row.
    void moveNext();
    // Reads the rows again and stands on the first.
    void requery();

    // The last row whose startTime is at or before position, the first of rows sharing that
    // start; noRow before the first row. Searches the starts read with the rows.
    int lastStartingAtOrBefore(int position) const;

    // Adds one row per record (fields by name) in one transaction: all or none. Throws the
    // database's error as run-time error 3146.
    void add(const std::vector<QSqlRecord>& rows);
    // Sets fields of the current row; run-time error 3021 when there is none.
    void editCurrent(const QSqlRecord& fields);
    // Sets fields of the row with this rowKey, the current row staying where it is.
    void editRow(const QVariant& key, const QSqlRecord& fields);
    // Deletes the current row; run-time error 3021 when there is none.
    void deleteCurrent();

    // An empty record with the loop table's fields, for add().
    QSqlRecord newRow() const;

signals:
    void repositioned();

private:
    void follow(QSqlTableModel* model);
    void reread();
    void fetchAll() const;
    QVariant valueAt(int row, const QString& name) const;
    int requireCurrent() const;
    template <typename Change>
    void inTransaction(Change&& change);

    MainState& state_;
    QPointer<QSqlTableModel> model_;
    int current_ = noRow;
    QVariant keptKey_; // the current row's rowKey, to find it again after a read
    // The starts of the rows, in model order, read with them.
    mutable std::vector<int> starts_;
    mutable bool startsKnown_ = false;
};

} // namespace lentaro
