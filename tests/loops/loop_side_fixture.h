#pragma once

#include "tests/app/window_fixture.h"
#include "tests/loops/fake_engine_runner.h"
#include "tests/loops/loop_side_rig.h"
#include "tests/loops/scripted_capture.h"
#include "tests/loops/scripted_device.h"
#include "tests/loops/scripted_graph.h"
#include "tests/support/mono_wave_files.h"

#include "loops/loopSide.h"
#include "platform/audio/Clock.h"
#include "platform/audio/FrameSink.h"
#include "platform/audio/NullSoundCard.h"
#include "platform/mci/SoundCard.h"

#include <QList>
#include <QVariantList>

#include <functional>
#include <memory>
#include <optional>

namespace lentaro::test {

// The real loop side over a rig of its controls (loop_side_rig.h), the shipped database in the
// program folder bound, and a null sound card that plays only as far as the test moves its
// clock, keeping all it plays.
class LoopSideTest : public WindowTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The rig and the side over it, the devices the rig's own.
    LoopSideRig& made();
    // made(), both devices scripted.
    LoopSideRig& ready();
    // A "Wave Files" row with loops starting (and ending) as given, shown in the Wave view's
    // grid; its waveFileID.
    int waveWithLoops(const std::vector<std::pair<int, QVariant>>& startsAndEnds);
    // The disc cdWithLoopsID shown in the CD view, with loops starting at `starts` in its grid.
    static constexpr int cdWithLoopsID = 7;
    void cdWithLoops(const std::vector<int>& starts);
    // The Comment of the grid's selected rows.
    QStringList selectedComments() const;
    // The loop maker's marks, kept until stored.
    loopPoints& makerMarks() { return rig_->state().loopPointBuffer; }

    // Runs the event loop until the condition holds (false when it never did).
    static bool runUntil(const std::function<bool()>& condition);
    // The rows a query on lentaro.mdb gives, through a connection of the test's own.
    QList<QVariantList> rows(const QString& sql) const;
    void execute(const QString& sql) const;

    std::unique_ptr<LoopSideRig> rig_;
    LoopSideOfMain* loops_ = nullptr;
    // What both devices were told, in order.
    QStringList devicesJournal_;
    ScriptedDevice* cd_ = nullptr;
    ScriptedDevice* wave_ = nullptr;

    std::shared_ptr<audio::ManualClock> clock_ = std::make_shared<audio::ManualClock>();
    std::shared_ptr<audio::MemorySink> sink_ = std::make_shared<audio::MemorySink>();
    audio::NullSoundCard card_{1, clock_};
    mci::OnNullCard seam_{card_};
    ScopedOverride<mci::SoundCard> cardInPlace_{mci::soundCard, seam_};

private:
    std::unique_ptr<LoopSideOfMain> side_;
    std::optional<ScopedOverride<MainWindowFace>> faceInPlace_;
    std::optional<ScopedOverride<PassEndReceiver>> passEndInPlace_;
    std::optional<ScopedOverride<LoopCapture>> captureInPlace_;
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
    LoopSideRig& readyWithEngine();

    FakeEngineRunner runner_;
    std::optional<ScopedOverride<EngineRunner>> runnerInPlace_;
};

} // namespace lentaro::test
