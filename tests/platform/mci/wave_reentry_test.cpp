#include "platform/forms/prompts.h"
#include "platform/forms/scriptedprompts.h"

#include "tests/platform/mci/wave_rig.h"

#include <QEventLoop>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace lentaro::mci::test {

namespace {

// Answers every message box after running an event loop of its own, as a modal box does while
// it waits for the user.
class ModalPrompts : public forms::ScriptedPrompts
{
public:
    forms::Answer messageBox(const forms::MessageBoxRequest& request) override
    {
        ++open;
        QEventLoop loop;
        int passes = 0;
        QTimer pass;
        QObject::connect(&pass, &QTimer::timeout, [&] {
            if (++passes == 20)
                loop.quit();
        });
        pass.start(0);
        loop.exec();
        --open;
        return ScriptedPrompts::messageBox(request);
    }
    int open = 0;
};

TEST(WaveReentry, ADoneHandlerThatPlaysAgainRepeatsTheLoopWithoutAGapOrARepeat)
{
    WaveRig rig;
    rig.openRamp();
    int plays = 1;
    QObject::connect(&rig.control, &MMControl::done, [&](int code) {
        if (code != 1 || plays == 4)
            return;
        ++plays;
        rig.control.setFrom(100);
        rig.control.setTo(200);
        rig.send("Play");
    });
    rig.control.setFrom(100);
    rig.control.setTo(200);
    rig.send("Play");
    ASSERT_TRUE(rig.runUntilDone(4));
    drainEvents();
    EXPECT_EQ(rig.dones.codes, (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(rig.runs(), (std::vector<Stretch>(4, Stretch{800, 1600})));
}

TEST(WaveReentry, NoDoneArrivesWhileTheHandlerShowsAModalPrompt)
{
    WaveRig rig;
    ModalPrompts prompts;
    ScopedOverride<forms::PromptService> inPlace(forms::prompts, prompts);
    rig.openRamp();
    std::vector<int> duringPrompt;
    bool asked = false;
    QObject::connect(&rig.control, &MMControl::done, [&](int code) {
        if (prompts.open > 0)
            duringPrompt.push_back(code);
        if (asked)
            return;
        asked = true;
        // A play of nothing ends at once: its Done is due while the box is up.
        rig.control.setFrom(300);
        rig.control.setTo(300);
        rig.send("Play");
        forms::MsgBox(QStringLiteral("Loop done."));
    });
    rig.control.setFrom(0);
    rig.control.setTo(100);
    rig.send("Play");
    ASSERT_TRUE(rig.runUntilDone(2));
    EXPECT_TRUE(duringPrompt.empty());
    EXPECT_EQ(rig.dones.codes, (std::vector<int>{1, 1}));
    EXPECT_EQ(prompts.messageBoxes().size(), 1u);
    EXPECT_EQ(rig.control.position(), 300);
}

TEST(WaveReentry, ACancelledStopClickLeavesThePlayGoing)
{
    WaveRig rig;
    rig.openRamp();
    rig.control.setAutoEnable(false);
    QObject::connect(&rig.control, &MMControl::stopClick, [](bool& cancel) { cancel = true; });
    rig.send("Play");
    rig.control.bar()->button(Button::Stop)->click();
    EXPECT_EQ(rig.control.mode(), static_cast<int>(Mode::Playing));
    ASSERT_TRUE(rig.runUntilDone());
    EXPECT_EQ(rig.runs(), (std::vector<Stretch>{{0, rampFrames}}));
}

} // namespace

} // namespace lentaro::mci::test
