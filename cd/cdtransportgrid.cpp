// The tracks grid over the disc's Tracks rows, and its data control's events.
#include "cd/cdtransport.h"

#include "app/programstate.h"
#include "cd/cdsidehost.h"
#include "cd/mcihelpers.h"
#include "mainwindow/fieldcolumn.h"
#include "mainwindow/ignoringerrors.h"
#include "mainwindow/mainstate.h"
#include "trace/tracescope.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QSqlTableModel>
#include <QTableView>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

// The grid's columns: field, heading and width, in this order; the other fields are not shown.
// The name takes what the number and the rating leave, so that all three fit.
struct ShownColumn {
    const char* field;
    const char* heading;
    QHeaderView::ResizeMode width;
};
const ShownColumn shownColumns[] = {{"TrackNum", "#", QHeaderView::ResizeToContents},
                                    {"TrackName", "Track Name", QHeaderView::Stretch},
                                    {"Rating", "Rating", QHeaderView::ResizeToContents}};

} // namespace

void CdTransport::showTracksGrid()
{
    QTableView& grid = c_.tgTracks;
    grid.setToolTip(QStringLiteral(
        "Click once to enter track title and/or rating. Double-click to play track"));
    // A double click plays the track; it starts no edit.
    grid.setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                         | QAbstractItemView::AnyKeyPressed);
    marks_ = new DataTrackMarks(&grid);
    grid.setItemDelegate(marks_);
    QObject::connect(&grid, &QAbstractItemView::clicked, &c_.window, [this] { tgTracks_Click(); });
    QObject::connect(&grid, &QAbstractItemView::doubleClicked, &c_.window,
                     [this](const QModelIndex& index) { tgTracks_DblClick(index.row()); });
    // The data control exists once the window has bound its database.
    QObject::connect(&c_.state, &MainState::tablesBound, &c_.window, [this, &grid] {
        QSqlTableModel* tracks = c_.state.dtaTracks;
        grid.setModel(tracks);
        store_.follow(tracks);
        showTrackColumns();
        QObject::connect(tracks, &QAbstractItemModel::modelReset, &c_.window, [this] {
            marks_->setDataTracks(dataTracksOf(c_.CDControl));
            showTrackColumns();
            trackRowShown_();
        });
        QObject::connect(grid.selectionModel(), &QItemSelectionModel::currentRowChanged, &c_.window,
                         [this] { dtaTracks_Reposition(); });
        QObject::connect(grid.selectionModel(), &QItemSelectionModel::currentChanged, &c_.window,
                         [this] {
                             if (!movingGrid_)
                                 tgTracks_RowColChange();
                         });
    });
}

void CdTransport::showTrackColumns()
{
    QSqlTableModel& tracks = *c_.state.dtaTracks;
    QTableView& grid = c_.tgTracks;
    for (int column = 0; column < tracks.columnCount(); ++column)
        grid.setColumnHidden(column, true);
    for (const ShownColumn& shown : shownColumns) {
        const int column = fieldColumn(tracks, QLatin1String(shown.field));
        tracks.setHeaderData(column, Qt::Horizontal, QLatin1String(shown.heading));
        grid.setColumnHidden(column, false);
        grid.horizontalHeader()->setSectionResizeMode(column, shown.width);
    }
}

QString CdTransport::trackNumberAt(int row) const
{
    const QSqlTableModel* tracks = c_.state.dtaTracks;
    if (!tracks || row < 0)
        return QString();
    return tracks->data(tracks->index(row, fieldColumn(*tracks, QStringLiteral("TrackNum"))))
        .toString()
        .trimmed();
}

int CdTransport::currentRow() const
{
    const QModelIndex current = c_.tgTracks.currentIndex();
    return current.isValid() ? current.row() : -1;
}

bool CdTransport::moveGridToTrack(int n)
{
    QTableView& grid = c_.tgTracks;
    const QSqlTableModel* tracks = c_.state.dtaTracks;
    grid.clearSelection();
    if (!tracks)
        return false;
    for (int row = 0; row < tracks->rowCount(); ++row) {
        if (trackNumberAt(row).toInt() != n)
            continue;
        const QScopedValueRollback<bool> programsMove(movingGrid_, true);
        const int column = std::max(grid.currentIndex().column(), 0);
        grid.selectionModel()->setCurrentIndex(tracks->index(row, column),
                                               QItemSelectionModel::ClearAndSelect
                                                   | QItemSelectionModel::Rows);
        programState().gvCurrentTrack = n;
        return true;
    }
    return false;
}

void CdTransport::highlightTrackInGrid(int n)
{
    TraceScope trace(module, "Sub highlightTrackInGrid", {{"n", n}});
    trace.run([&] {
        if (trackHighlighting())
            moveGridToTrack(n);
    });
}

void CdTransport::tgTracks_Click()
{
    TraceScope trace(module, "Sub tgTracks_Click");
    trace.run([&] { host_.stampTyping(); });
}

void CdTransport::tgTracks_DblClick(int row)
{
    TraceScope trace(module, "Sub tgTracks_DblClick");
    trace.run([&] {
        const int track = trackNumberAt(row).toInt();
        if (track == 0)
            return;
        playFromTrack(track);
    });
}

void CdTransport::tgTracks_RowColChange()
{
    TraceScope trace(module, "Sub tgTracks_RowColChange");
    trace.run([&] {
        ProgramState& program = programState();
        ignoringErrors([&] {
            bool isNumber = false;
            const int track = trackNumberAt(currentRow()).toInt(&isNumber);
            if (isNumber)
                program.gvCurrentTrack = track;
        });
        if (host_.playing())
            return;
        ignoringErrors([&] {
            // The start of the track, in the box's one format tt:mm:ss.
            c_.txtCurrentPosition.setText(toTMS(program.gvCurrentTrack));
        });
        ignoringErrors([&] { switchToTrack(program.gvCurrentTrack); });
    });
}

void CdTransport::dtaTracks_Reposition()
{
    TraceScope trace(module, "Sub dtaTracks_Reposition");
    trace.run([&] {
        const int row = currentRow();
        if (row >= 0) {
            c_.lblTrackComments.setText(QStringLiteral("Track ") + trackNumberAt(row)
                                        + QStringLiteral(" Comments"));
        }
        c_.pnlTrackLength.setVisible(row >= 0);
        trackRowShown_();
    });
}

} // namespace lentaro
