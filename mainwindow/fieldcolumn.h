#pragma once

#include <QString>

class QSqlTableModel;

namespace lentaro {

// The column of the field `name` in a data control; a field its table lacks is run-time error
// 3265 "Item not found in this collection" naming the field and the table, never a column -1.
int fieldColumn(const QSqlTableModel& model, const QString& name);

} // namespace lentaro
