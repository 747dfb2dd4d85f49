#pragma once

#include <QMetaObject>

class QSqlTableModel;

namespace lentaro {

// Writes each change made to a row of the tracks' data control (a cell of the tracks grid, the
// comments, the notation link) to its Tracks row at once, by the row's key, so that the grid
// keeps its rows and current cell. When the database refuses, the row shows what is stored
// again and the Tracks control's data error is shown.
class TrackRowStore
{
public:
    TrackRowStore() = default;
    ~TrackRowStore();
    TrackRowStore(const TrackRowStore&) = delete;
    TrackRowStore& operator=(const TrackRowStore&) = delete;

    // Follows that data control from now on (null: none).
    void follow(QSqlTableModel* dtaTracks);

private:
    void store(int row);

    QSqlTableModel* tracks_ = nullptr;
    QMetaObject::Connection changes_;
};

} // namespace lentaro
