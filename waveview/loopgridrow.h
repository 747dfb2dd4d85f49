#pragma once

#include "waveview/waveviewhost.h"

class QSqlTableModel;

namespace lentaro {

// The rhythm grid's fields of the first loop row that starts at startTime, read from and written
// to the loop grid's data control; nothing (and nothing written) without such a row or control.
// gridVisible is stored as -1 and 0; any other nonzero value reads as true.
std::optional<LoopGridFields> readLoopGrid(QSqlTableModel* loops, int startTime);
void writeLoopGrid(QSqlTableModel* loops, int startTime, const LoopGridFields& fields);

} // namespace lentaro
