// The loop side's wiring: the grid follows the loop rows and the rows follow the grid, the
// loop-length panel, and the grid's mouse and key events.
#include "loops/loopSide.h"

#include "app/dataerror.h"
#include "app/programstate.h"
#include "app/timetexts.h"
#include "loops/makeLoopPoints.h"
#include "mainwindow/gridediting.h"
#include "mainwindow/ignoringerrors.h"
#include "mainwindow/mainstate.h"
#include "platform/shell/programfolder.h"
#include "trace/tracescope.h"

#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

} // namespace

LoopSideOfMain::LoopSideOfMain(LoopSideControls controls, std::unique_ptr<LoopSideHost> host)
    : c_(controls), host_(std::move(host)), rows_(c_.state), sliderLock_(c_.tmrSliderFreedom)
{
    connect(&rows_, &LoopRows::repositioned, this, [this] {
        showRowInGrid();
        dtaLoopPoints_Reposition();
        loopPoints_RowColChange();
    });
    // The shell hands the grid a new model first; this side then takes it over.
    connect(&c_.state, &MainState::loopsRebound, this, [this] {
        followGrid();
        applyLayout();
    });
    connectRoad();
    connect(&c_.cmdStartNewLoop, &QPushButton::clicked, this,
            &LoopSideOfMain::cmdStartNewLoop_Click);
    c_.cmdStartNewLoop.setToolTip(QStringLiteral("Start making loop points during play."));
    c_.cmdStartNewLoop.installEventFilter(this);
    connect(&c_.mnuLoopHelp, &QAction::triggered, this, &LoopSideOfMain::mnuLoopHelp_Click);
    c_.loopPoints.viewport()->installEventFilter(this);
    c_.loopPoints.installEventFilter(this);
    c_.loopPoints.setToolTip(QStringLiteral(
        "Click once to select loop & enter description. Double-click to play loop, ctrl-double "
        "click to play loop to end of CD/Wave file"));
    c_.loopPoints.setSelectionMode(QAbstractItemView::SingleSelection);
    c_.loopPoints.setEditTriggers(QAbstractItemView::SelectedClicked
                                  | QAbstractItemView::EditKeyPressed
                                  | QAbstractItemView::AnyKeyPressed);
    // The Normal view's columns until a view is chosen; the built-in ones without its file.
    ignoringErrors([&] {
        layout_ = readGridLayout(programFolder() + QStringLiteral("/smallvw.grx"),
                                 QStringLiteral("smallvw"));
    });
    followGrid();
    applyLayout();
    connectSpeedControls();
}

LoopSideOfMain::~LoopSideOfMain()
{
    if (maker_)
        delete maker_;
    if (trim_)
        delete trim_;
}

void LoopSideOfMain::followGrid()
{
    QItemSelectionModel* selection = c_.loopPoints.selectionModel();
    if (!selection)
        return;
    connect(selection, &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (movingGrid_ || current.row() == rows_.currentRow())
                    return;
                rows_.moveTo(current.isValid() ? current.row() : LoopRows::noRow);
            });
    connect(&c_.loopPoints, &QAbstractItemView::clicked, this, &LoopSideOfMain::loopPoints_Click,
            Qt::UniqueConnection);
    showRowInGrid();
}

void LoopSideOfMain::showRowInGrid()
{
    QTableView& grid = c_.loopPoints;
    if (!grid.model() || grid.model() != rows_.model())
        return;
    const QScopedValueRollback<bool> moving(movingGrid_, true);
    const int row = rows_.currentRow();
    if (row == LoopRows::noRow) {
        grid.clearSelection();
        return;
    }
    const QModelIndex current = grid.currentIndex();
    if (current.row() != row) {
        const int column =
            current.isValid() ? current.column() : grid.horizontalHeader()->logicalIndex(0);
        grid.setCurrentIndex(grid.model()->index(row, column));
    }
    // The whole row, the cell clicked staying current: typing then goes into that cell.
    grid.selectionModel()->select(grid.model()->index(row, grid.currentIndex().column()),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid.scrollTo(grid.model()->index(row, grid.currentIndex().column()));
}

void LoopSideOfMain::dtaLoopPoints_Reposition()
{
    ignoringErrors([&] {
        c_.pnlLoopLength.hide();
        const QVariant end = rows_.field(QStringLiteral("endTime"));
        if (end.isNull())
            return;
        const qint64 length =
            end.toLongLong() - rows_.field(QStringLiteral("startTime")).toLongLong();
        c_.pnlLoopLength.setText(QStringLiteral("Loop Length: ") + lengthMmss(length));
        c_.pnlLoopLength.show();
    });
    ignoringErrors([&] { cmdSlowPlayAdjust(); });
}

void LoopSideOfMain::loopPoints_RowColChange()
{
    TraceScope trace(module, "Sub loopPoints_RowColChange");
    trace.run([&] {
        if (rows_.currentRow() == LoopRows::noRow || !c_.state.cdView)
            return;
        const QVariant start = rows_.field(QStringLiteral("startTime"));
        const int cd = c_.state.currentCDid;
        const QVariant written = QVariantList{cd, start};
        // Written only when it changes: position updates land here twice a second.
        if (written == lastLoopSelected_)
            return;
        QSqlQuery update(c_.state.database());
        update.prepare(QStringLiteral("UPDATE CDs SET lastLoopSelected = ? WHERE CDid = ?"));
        update.addBindValue(start);
        update.addBindValue(cd);
        if (!update.exec())
            throw RuntimeError(errorNumbers::databaseCallFailed, update.lastError().text());
        lastLoopSelected_ = written;
    });
}

void LoopSideOfMain::dtaLoopPoints_Error(int DataErr)
{
    TraceScope trace(module, "Sub dtaLoopPoints_Error", {{"DataErr", DataErr}});
    trace.run([&] { showDataError(DataErr, "Loop Point"); });
}

bool LoopSideOfMain::eventFilter(QObject* watched, QEvent* event)
{
    if (sliderInputLocked(watched, *event))
        return true;
    QTableView& grid = c_.loopPoints;
    const bool rightRelease = event->type() == QEvent::MouseButtonRelease
                              && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
    if (watched == &c_.cmdStartNewLoop || watched == &c_.cmdSlowPlay
        || watched == &c_.btnLoopPlay) {
        if (!rightRelease)
            return false;
        if (watched == &c_.cmdStartNewLoop)
            cmdStartNewLoop_MouseUp();
        else if (watched == &c_.cmdSlowPlay)
            cmdSlowPlay_MouseUp();
        else
            btnLoopPlay_MouseUp();
        return false;
    }
    if (watched == grid.viewport()) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            const Qt::KeyboardModifiers keys = static_cast<QMouseEvent*>(event)->modifiers();
            loopPoints_dblclick(keys.testFlag(Qt::ControlModifier), keys.testFlag(Qt::AltModifier));
            // The double-click plays the loop; it does not also open a cell.
            return true;
        }
        if (rightRelease)
            c_.mnuLoopHelp.trigger();
        return false;
    }
    if (watched == &grid && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            loopPoints_keyup(key->key(), key->modifiers().testFlag(Qt::ControlModifier));
    }
    return false;
}

} // namespace lentaro
