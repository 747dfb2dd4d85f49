#include "tests/loops/loop_side_fixture.h"

#include "app/passend.h"
#include "app/shippedfiles.h"
#include "platform/mci/MMControl.h"
#include "platform/shell/programfolder.h"
#include "tests/support/database_rows.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QItemSelectionModel>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QTableView>

#include <chrono>

namespace lentaro::test {

void LoopSideTest::SetUp()
{
    WindowTest::SetUp();
    ASSERT_TRUE(copyShippedFiles());
    card_.setSink(sink_);
}

void LoopSideTest::TearDown()
{
    captureInPlace_.reset();
    side_.reset();
    passEndInPlace_.reset();
    faceInPlace_.reset();
    rig_.reset();
    deleteUnloaded();
    WindowTest::TearDown();
}

LoopSideRig& LoopSideTest::made()
{
    rig_ = std::make_unique<LoopSideRig>();
    faceInPlace_.emplace(mainWindowFace, *rig_);
    QString reason;
    EXPECT_TRUE(
        rig_->state().bindDatabase(programFolder() + QStringLiteral("/lentaro.mdb"), reason))
        << reason.toStdString();
    side_ = std::make_unique<LoopSideOfMain>(rig_->controls(), rig_->host());
    loops_ = side_.get();
    rig_->useSide(*side_);
    passEndInPlace_.emplace(passEndReceiver, *rig_);
    captureInPlace_.emplace(loopCapture, side_->waveCapture());
    return *rig_;
}

LoopSideRig& LoopSideTest::ready()
{
    LoopSideRig& rig = made();
    auto cd = std::make_unique<ScriptedDevice>();
    cd_ = cd.get();
    rig.CDControl->setDevice(std::move(cd), QStringLiteral("CDAudio"));
    auto wave = std::make_unique<ScriptedDevice>();
    wave_ = wave.get();
    rig.WaveControl->setDevice(std::move(wave), QStringLiteral("WaveAudio"));
    // A command clears what the devices before these reported.
    for (mci::MMControl* control : {rig.CDControl, rig.WaveControl})
        control->setCommand(QStringLiteral("Stop"));
    cd_->name = QStringLiteral("cd");
    wave_->name = QStringLiteral("wave");
    cd_->journal = wave_->journal = &devicesJournal_;
    return rig;
}

int LoopSideTest::waveWithLoops(const std::vector<std::pair<int, QVariant>>& startsAndEnds)
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
    MainState& state = rig_->state();
    state.cdView = false;
    state.setCurrentMMControl(rig_->WaveControl);
    state.currentWaveFileID = id;
    QString reason;
    EXPECT_TRUE(state.bindWaveLoops(id, reason)) << reason.toStdString();
    return id;
}

void LoopSideTest::cdWithLoops(const std::vector<int>& starts)
{
    execute(QStringLiteral("INSERT OR IGNORE INTO CDs (CDid, Title, cdlen, numTracks, track1Len) "
                           "VALUES (%1, 'Disc', 60000, 4, 15000)")
                .arg(cdWithLoopsID));
    for (const int start : starts) {
        execute(QStringLiteral("INSERT INTO LoopPoints (CDid, startTime) VALUES (%1, %2)")
                    .arg(cdWithLoopsID)
                    .arg(start));
    }
    MainState& state = rig_->state();
    state.cdView = true;
    state.setCurrentMMControl(rig_->CDControl);
    state.currentCDid = cdWithLoopsID;
    QString reason;
    EXPECT_TRUE(state.bindCdLoops(cdWithLoopsID, reason)) << reason.toStdString();
}

QStringList LoopSideTest::selectedComments() const
{
    QStringList comments;
    const QTableView& grid = *rig_->loopPoints;
    const auto* model = qobject_cast<const QSqlTableModel*>(grid.model());
    for (const QModelIndex& row : grid.selectionModel()->selectedRows())
        comments << model->record(row.row()).value(QStringLiteral("Comment")).toString();
    return comments;
}

bool LoopSideTest::runUntil(const std::function<bool()>& condition)
{
    QDeadlineTimer deadline(10000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

QList<QVariantList> LoopSideTest::rows(const QString& sql) const
{
    return rowsOf(path(QStringLiteral("lentaro.mdb")), sql);
}

void LoopSideTest::execute(const QString& sql) const
{
    rows(sql);
}

void LoopSideWithEngineTest::SetUp()
{
    LoopSideTest::SetUp();
    runnerInPlace_.emplace(engineRunner, runner_);
    runner_.registerCallBack(&handOverPassEnd);
}

void LoopSideWithEngineTest::TearDown()
{
    runnerInPlace_.reset();
    LoopSideTest::TearDown();
}

LoopSideRig& LoopSideWithEngineTest::readyWithEngine()
{
    using namespace std::chrono_literals;
    LoopSideRig& rig = ready();
    loops_->setClock([this] {
        return std::chrono::duration_cast<std::chrono::steady_clock::duration>(runner_.stops
                                                                               * 500ms);
    });
    return rig;
}

} // namespace lentaro::test
