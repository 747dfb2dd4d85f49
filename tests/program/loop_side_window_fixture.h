#pragma once

#include "tests/loops/fake_engine_runner.h"
#include "tests/loops/scripted_capture.h"
#include "tests/loops/scripted_device.h"
#include "tests/loops/scripted_graph.h"
#include "tests/mainwindow/wave_window_fixture.h"

#include "loops/loopSide.h"

#include <QList>
#include <QVariantList>

#include <optional>

namespace lentaro::test {

// The main window with the real loop side (and recording sides for the rest), both devices
// scripted.
class LoopSideWindowTest : public WaveWindowTest
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
class LoopSideWindowWithEngineTest : public LoopSideWindowTest
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
