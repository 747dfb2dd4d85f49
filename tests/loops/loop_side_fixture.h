#pragma once

#include "tests/loops/fake_engine_runner.h"
#include "tests/mainwindow/wave_window_fixture.h"

#include "loops/loopCapture.h"
#include "loops/loopSide.h"
#include "loops/trimGraph.h"
#include "platform/mci/Device.h"

#include <QList>
#include <QVariantList>

#include <deque>
#include <map>
#include <optional>
#include <stdexcept>

namespace lentaro::test {

// A media device whose position the test scripts: each read in ms takes the next of
// `positions`, the last one staying; a read in the track format gives that last position as
// track 1's minutes and seconds (its disc has track 1 from 0). Play starts it playing, unless it ends after `refusesPastMs`; a track the test
// gave no start for is an error. Its commands go to `journal`, if given, as "<name> <command>"
// with the range asked ("play 1000-2000", "play 1000-" without an end).
class ScriptedDevice : public mci::Device
{
public:
    mutable std::deque<int> positions{0};
    std::map<int, std::pair<int, int>> trackStartAndLength;
    mci::Mode currentMode = mci::Mode::Stopped;
    int plays = 0;
    int mediaLength = 600000;
    std::optional<int> refusesPastMs;
    QString name;
    QStringList* journal = nullptr;

    bool supports(mci::TimeFormat) const override { return true; }
    bool canRecord() const override { return false; }
    bool canEject() const override { return false; }
    // It starts open, as the program's devices are once a file or disc is shown; Close closes it
    // as the real ones do, and Open opens it again.
    mci::Outcome open(const QString&) override
    {
        open_ = true;
        return {};
    }
    mci::Outcome close() override
    {
        open_ = false;
        return {};
    }
    mci::Outcome play(const mci::Range&) override;
    mci::Outcome record(const mci::Range&) override { return note(QStringLiteral("record")); }
    mci::Outcome pause() override { return note(QStringLiteral("pause")); }
    mci::Outcome stop() override;
    mci::Outcome cue() override { return note(QStringLiteral("cue")); }
    mci::Outcome seek(const std::optional<mci::TimeValue>&) override { return {}; }
    mci::Outcome move(mci::Move) override { return {}; }
    mci::Outcome save(const QString&) override { return {}; }
    mci::Outcome eject() override { return {}; }
    mci::Outcome setWaveFormat(const mci::WaveFormat&) override { return {}; }
    void waitUntilEnded() override {}
    bool isOpen() const override { return open_; }
    mci::Mode mode() const override { return open_ ? currentMode : mci::Mode::NotOpen; }
    mci::Reading position(mci::TimeFormat) const override;
    mci::Reading length(mci::TimeFormat) const override { return mci::Reading::of(mediaLength); }
    mci::Reading tracks() const override { return mci::Reading::of(10); }
    mci::Reading trackLength(int track, mci::TimeFormat) const override;
    mci::Reading trackPosition(int track, mci::TimeFormat) const override;

private:
    mci::Outcome note(const QString& command);

    mutable int lastMs_ = 0;
    bool open_ = true;
};

// The waveform view's selection as a test sets it; setting the start marker throws on request.
class ScriptedGraph final : public TrimGraph
{
public:
    bool open = true;
    bool startFails = false;
    double start = 0;
    double end = 0;

    bool isOpen() const override { return open; }
    double startMarkerMs() const override { return start; }
    double endMarkerMs() const override { return end; }
    void setStartMarkerMs(double ms) override
    {
        if (startFails)
            throw std::runtime_error("Invalid property value");
        start = ms;
    }
    void setEndMarkerMs(double ms) override { end = ms; }
};

// A capture of the current loop that only says it was asked, and fails on request.
class ScriptedCapture : public LoopCapture
{
public:
    explicit ScriptedCapture(QStringList& calls) : calls_(calls) {}
    bool fails = false;
    void recordCurrentLoop() override;

private:
    QStringList& calls_;
};

// The main window with the real loop side (and recording sides for the rest), both devices
// scripted.
class LoopSideTest : public WaveWindowTest
{
protected:
    MainWindowSides makeSides(frmMain& main) override;
    // Started, devices scripted, the database bound.
    frmMain& ready();
    // A "Wave Files" row with loops starting (and ending) as given, shown in the Wave view's
    // grid; its waveFileID.
    int waveWithLoops(const std::vector<std::pair<int, QVariant>>& startsAndEnds);
    // The disc cdWithLoopsID shown in the CD view, with loops starting at `starts` in its grid.
    static constexpr int cdWithLoopsID = 7;
    void cdWithLoops(const std::vector<int>& starts);
    // The Comment of the grid's selected rows.
    QStringList selectedComments() const;
    // The loop maker's marks, kept until stored.
    loopPoints& makerMarks() { return main_->state().loopPointBuffer; }

    LoopSideOfMain* loops_ = nullptr;
    // What both devices were told, in order.
    QStringList devicesJournal_;
    ScriptedDevice* cd_ = nullptr;
    ScriptedDevice* wave_ = nullptr;
};

// The loop side with a fake engine runner in the real one's place, the ends of its passes
// handed over as the real runner's are; a stop, and each stop asked again, moves the loop
// side's clock half a second, so that a wait for a pass that never ends gives up after a few.
class LoopSideWithEngineTest : public LoopSideTest
{
protected:
    void SetUp() override;
    void TearDown() override;
    // ready(), with the loop side on the stops' clock.
    frmMain& readyWithEngine();

    FakeEngineRunner runner_;
    std::optional<ScopedOverride<EngineRunner>> runnerInPlace_;
};

} // namespace lentaro::test
