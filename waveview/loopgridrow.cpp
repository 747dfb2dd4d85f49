#include "waveview/loopgridrow.h"

#include "trace/runtimeerror.h"

#include <QSqlError>
#include <QSqlRecord>
#include <QSqlTableModel>

#include <limits>

namespace lentaro {

namespace {

constexpr char startField[] = "startTime";
constexpr char startName[] = "lastGridStart";
constexpr char widthName[] = "lastGridWidth";
constexpr char visibleName[] = "gridVisible";
// Run-time error "Update or CancelUpdate without AddNew or Edit" stands for a refused write.
constexpr int errUpdateRefused = 3020;

int rowStarting(QSqlTableModel& loops, int startTime)
{
    while (loops.canFetchMore())
        loops.fetchMore();
    const int column = loops.fieldIndex(QLatin1String(startField));
    if (column < 0)
        return -1;
    for (int row = 0; row < loops.rowCount(); ++row) {
        const QVariant start = loops.data(loops.index(row, column));
        if (!start.isNull() && start.toLongLong() == startTime)
            return row;
    }
    return -1;
}

std::optional<std::int32_t> longField(const QSqlRecord& record, const char* name)
{
    const QVariant value = record.value(QLatin1String(name));
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (value.isNull() || !ok || number < std::numeric_limits<std::int32_t>::min()
        || number > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return std::int32_t(number);
}

} // namespace

std::optional<LoopGridFields> readLoopGrid(QSqlTableModel* loops, int startTime)
{
    if (!loops)
        return std::nullopt;
    const int row = rowStarting(*loops, startTime);
    if (row < 0)
        return std::nullopt;
    const QSqlRecord record = loops->record(row);
    LoopGridFields fields{longField(record, startName), longField(record, widthName), {}};
    if (const auto visible = longField(record, visibleName))
        fields.gridVisible = *visible != 0;
    return fields;
}

void writeLoopGrid(QSqlTableModel* loops, int startTime, const LoopGridFields& fields)
{
    if (!loops)
        return;
    const int row = rowStarting(*loops, startTime);
    if (row < 0)
        return;
    const auto set = [&](const char* name, const QVariant& value) {
        const int column = loops->fieldIndex(QLatin1String(name));
        if (column < 0 || !loops->setData(loops->index(row, column), value))
            throw RuntimeError(errUpdateRefused, loops->lastError().text());
    };
    if (fields.lastGridStart)
        set(startName, *fields.lastGridStart);
    if (fields.lastGridWidth)
        set(widthName, *fields.lastGridWidth);
    if (fields.gridVisible)
        set(visibleName, *fields.gridVisible ? -1 : 0);
    if (loops->editStrategy() == QSqlTableModel::OnManualSubmit && !loops->submitAll()) {
        const QString reason = loops->lastError().text();
        loops->revertAll();
        throw RuntimeError(errUpdateRefused, reason);
    }
}

} // namespace lentaro
