#include "tests/loops/loop_side_fixture.h"

#include "app/passend.h"
#include "platform/mci/MMControl.h"
#include "program/loopsideofmain.h"
#include "tests/support/named_control.h"
#include "trace/runtimeerror.h"

#include <QItemSelectionModel>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QTableView>

#include <chrono>

namespace lentaro::test {

mci::Outcome ScriptedDevice::note(const QString& command)
{
    if (journal)
        *journal << name + QLatin1Char(' ') + command;
    return {};
}

mci::Outcome ScriptedDevice::play(const mci::Range& range)
{
    const auto at = [](const std::optional<mci::TimeValue>& value) {
        return value ? QString::number(value->value) : QString();
    };
    note(QStringLiteral("play %1-%2").arg(at(range.from), at(range.to)));
    if (refusesPastMs && range.to && range.to->value > *refusesPastMs)
        return mci::Outcome::failure(277, QStringLiteral("The end lies past the media."));
    ++plays;
    currentMode = mci::Mode::Playing;
    return {};
}

mci::Outcome ScriptedDevice::stop()
{
    currentMode = mci::Mode::Stopped;
    return note(QStringLiteral("stop"));
}

mci::Reading ScriptedDevice::position(mci::TimeFormat format) const
{
    if (format == mci::TimeFormat::Tmsf) {
        const int seconds = lastMs_ / 1000;
        return mci::Reading::of(1 | (seconds / 60) << 8 | (seconds % 60) << 16);
    }
    lastMs_ = positions.front();
    if (positions.size() > 1)
        positions.pop_front();
    return mci::Reading::of(lastMs_);
}

mci::Reading ScriptedDevice::trackLength(int track, mci::TimeFormat) const
{
    const auto found = trackStartAndLength.find(track);
    if (found == trackStartAndLength.end())
        return mci::Reading::failure(mci::Outcome::failure(263, QStringLiteral("no such track")));
    return mci::Reading::of(found->second.second);
}

mci::Reading ScriptedDevice::trackPosition(int track, mci::TimeFormat) const
{
    const auto found = trackStartAndLength.find(track);
    if (found == trackStartAndLength.end())
        return mci::Reading::failure(mci::Outcome::failure(263, QStringLiteral("no such track")));
    return mci::Reading::of(found->second.first);
}

void ScriptedCapture::recordCurrentLoop()
{
    calls_ << "recordCurrentLoop";
    if (fails)
        throw RuntimeError(5, QStringLiteral("Invalid procedure call or argument"));
}

MainWindowSides LoopSideTest::makeSides(frmMain& main)
{
    MainWindowSides sides = recordingSides(main, sides_);
    auto loops = makeProgramLoopSide(main);
    loops_ = loops.get();
    sides.loops = std::move(loops);
    return sides;
}

frmMain& LoopSideTest::ready()
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
    frmMain& main = *main_;
    main.state().cdView = false;
    main.state().setCurrentMMControl(control<mci::MMControl>(main, "WaveControl"));
    main.state().currentWaveFileID = id;
    QString reason;
    EXPECT_TRUE(main.state().bindWaveLoops(id, reason)) << reason.toStdString();
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
    frmMain& main = *main_;
    main.state().cdView = true;
    main.state().setCurrentMMControl(control<mci::MMControl>(main, "CDControl"));
    main.state().currentCDid = cdWithLoopsID;
    QString reason;
    EXPECT_TRUE(main.state().bindCdLoops(cdWithLoopsID, reason)) << reason.toStdString();
}

QStringList LoopSideTest::selectedComments() const
{
    QStringList comments;
    const QTableView& grid = *control<QTableView>(*main_, "loopPoints");
    const auto* model = qobject_cast<const QSqlTableModel*>(grid.model());
    for (const QModelIndex& row : grid.selectionModel()->selectedRows())
        comments << model->record(row.row()).value(QStringLiteral("Comment")).toString();
    return comments;
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

frmMain& LoopSideWithEngineTest::readyWithEngine()
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
