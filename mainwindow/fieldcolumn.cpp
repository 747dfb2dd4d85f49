#include "mainwindow/fieldcolumn.h"

#include "trace/runtimeerror.h"

#include <QSqlTableModel>

namespace lentaro {

namespace {

constexpr int itemNotFound = 3265;

} // namespace

int fieldColumn(const QSqlTableModel& model, const QString& name)
{
    const int column = model.fieldIndex(name);
    if (column < 0) {
        throw RuntimeError(itemNotFound, QStringLiteral("Item not found in this collection: the "
                                                        "field %1 of the table %2")
                                             .arg(name, model.tableName()));
    }
    return column;
}

} // namespace lentaro
