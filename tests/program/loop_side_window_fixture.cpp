#include "tests/program/loop_side_window_fixture.h"

#include "app/passend.h"
#include "platform/mci/MMControl.h"
#include "program/loopsideofmain.h"
#include "tests/support/named_control.h"

#include <QItemSelectionModel>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QTableView>

#include <chrono>

namespace lentaro::test {

MainWindowSides LoopSideWindowTest::makeSides(frmMain& main)
{
    MainWindowSides sides = recordingSides(main, sides_);
    auto loops = makeProgramLoopSide(main);
    loops_ = loops.get();
    sides.loops = std::move(loops);
    return sides;
}

frmMain& LoopSideWindowTest::ready()
{
    frmMain& main = started();
    auto cd = std::make_unique<ScriptedDevice>();
    cd_ = cd.get();
    control<mci::MMControl>(main, "CDControl")->setDevice(std::move(cd), QStringLiteral("CDAudio"));
    auto wave = std::make_unique<ScriptedDevice>();
    wave_ = wave.get();
    control<mci::MMControl>(main, "WaveControl")
        ->setDevice(std::move(wave), QStringLiteral("WaveAudio"));
    // A command clears what the devices before these reported.
    for (mci::MMControl* control :
         {control<mci::MMControl>(main, "CDControl"), control<mci::MMControl>(main, "WaveControl")})
        control->setCommand(QStringLiteral("Stop"));
    cd_->name = QStringLiteral("cd");
    wave_->name = QStringLiteral("wave");
    cd_->journal = wave_->journal = &devicesJournal_;
    return main;
}

int LoopSideWindowTest::waveWithLoops(const std::vector<std::pair<int, QVariant>>& startsAndEnds)
{
    execute(QStringLiteral("INSERT INTO \"Wave Files\" (waveFileName) VALUES ('song.wav')"));
    const int id = rows(QStringLiteral("SELECT max(waveFileID) FROM \"Wave Files\""))[0][0].toInt();
    int n = 0;
    for (const auto& [start, end] : startsAndEnds) {
        execute(QStringLiteral("INSERT INTO WaveLoopPoints (waveFileID, startTime, endTime, "
                               "Comment) VALUES (%1, %2, %3, 'loop %4')")
                    .arg(id)
                    .arg(start)
                    .arg(end.isNull() ? QStringLiteral("NULL") : end.toString())
                    .arg(++n));
    }
    frmMain& main = *main_;
    main.state().cdView = false;
    main.state().setCurrentMMControl(control<mci::MMControl>(main, "WaveControl"));
    main.state().currentWaveFileID = id;
    QString reason;
    EXPECT_TRUE(main.state().bindWaveLoops(id, reason)) << reason.toStdString();
    return id;
}

void LoopSideWindowTest::cdWithLoops(const std::vector<int>& starts)
{
    execute(QStringLiteral("INSERT OR IGNORE INTO CDs (CDid, Title, cdlen, numTracks, track1Len) "
                           "VALUES (%1, 'Disc', 60000, 4, 15000)")
                .arg(cdWithLoopsID));
    for (const int start : starts) {
        execute(QStringLiteral("INSERT INTO LoopPoints (CDid, startTime) VALUES (%1, %2)")
                    .arg(cdWithLoopsID)
                    .arg(start));
    }
    frmMain& main = *main_;
    main.state().cdView = true;
    main.state().setCurrentMMControl(control<mci::MMControl>(main, "CDControl"));
    main.state().currentCDid = cdWithLoopsID;
    QString reason;
    EXPECT_TRUE(main.state().bindCdLoops(cdWithLoopsID, reason)) << reason.toStdString();
}

QStringList LoopSideWindowTest::selectedComments() const
{
    QStringList comments;
    const QTableView& grid = *control<QTableView>(*main_, "loopPoints");
    const auto* model = qobject_cast<const QSqlTableModel*>(grid.model());
    for (const QModelIndex& row : grid.selectionModel()->selectedRows())
        comments << model->record(row.row()).value(QStringLiteral("Comment")).toString();
    return comments;
}

void LoopSideWindowWithEngineTest::SetUp()
{
    LoopSideWindowTest::SetUp();
    runnerInPlace_.emplace(engineRunner, runner_);
    runner_.registerCallBack(&handOverPassEnd);
}

void LoopSideWindowWithEngineTest::TearDown()
{
    runnerInPlace_.reset();
    LoopSideWindowTest::TearDown();
}

frmMain& LoopSideWindowWithEngineTest::readyWithEngine()
{
    using namespace std::chrono_literals;
    frmMain& main = ready();
    loops_->setClock([this] {
        return std::chrono::duration_cast<std::chrono::steady_clock::duration>(runner_.stops
                                                                               * 500ms);
    });
    return main;
}

} // namespace lentaro::test
