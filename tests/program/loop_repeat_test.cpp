#include "tests/program/loop_side_window_fixture.h"

#include "app/programstate.h"
#include "platform/mci/MMControl.h"
#include "tests/support/named_control.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace lentaro::test {
namespace {

// A loop played on the real wave device repeats, each time when the device reports its end;
// the null sound card keeps what was heard.
class LoopRepeat : public LoopSideWindowTest
{
protected:
    // Moves the clock on until the condition holds.
    bool playUntil(const std::function<bool()>& condition)
    {
        return runUntil([&] {
            if (condition())
                return true;
            clock_->advance(std::chrono::milliseconds(20));
            return false;
        });
    }
};

TEST_F(LoopRepeat, ASecondOfASixSecondFileIsHeardThreeTimesSampleForSample)
{
    frmMain& main = started();
    openThroughMenu(main, secondsWave(path(QStringLiteral("music/song.wav")), 6));
    ASSERT_FALSE(main.state().cdView);
    // Across a second's border, so that a pass started or ended a little off shows in the
    // samples: half a second of 3s, half a second of 4s.
    waveWithLoops({{2500, 3500}});
    int dones = 0;
    QObject::connect(control<mci::MMControl>(main, "WaveControl"), &mci::MMControl::done, [&](int) {
        // The third end is the last: the loop stops repeating there.
        if (++dones == 2)
            programState().gvPlayState.setState(false);
    });
    const std::size_t heardBefore = heard().size();

    programState().gvPlayState.setState(true);
    loops_->playLoop(true);
    ASSERT_EQ(control<mci::MMControl>(main, "WaveControl")->error(), 0)
        << control<mci::MMControl>(main, "WaveControl")->errorMessage().toStdString();
    ASSERT_TRUE(playUntil([&] { return dones == 3; }));

    std::vector<std::int16_t> pass(4000, 3);
    pass.insert(pass.end(), 4000, 4);
    std::vector<std::int16_t> threePasses;
    for (int n = 0; n < 3; ++n)
        threePasses.insert(threePasses.end(), pass.begin(), pass.end());
    const std::vector<std::int16_t> all = heard();
    EXPECT_EQ(std::vector<std::int16_t>(all.begin() + heardBefore, all.end()), threePasses);
    EXPECT_EQ(main.state().inPt, 2500);
    EXPECT_EQ(main.state().outPt, 3500);
}

} // namespace
} // namespace lentaro::test
