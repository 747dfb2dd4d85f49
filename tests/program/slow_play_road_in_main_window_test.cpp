#include "tests/program/loop_side_window_fixture.h"

#include "app/frmOptions.h"
#include "app/messages.h"
#include "app/messages2.h"
#include "app/programstate.h"
#include "app/progresscancel.h"
#include "app/webaddresses.h"
#include "app/windowhelpers.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "tests/support/named_control.h"
#include "trace/runtimeerror.h"

#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <vector>

namespace lentaro::test {
namespace {

// The "SlowPlay" view over a temp.wav, the engine runner a fake whose pass ends the test
// reports from another thread.
class SlowPlayRoadInMainWindow : public LoopSideWindowWithEngineTest
{
protected:
    frmMain& inSlowPlay()
    {
        frmMain& main = readyWithEngine();
        ProgramState& program = programState();
        program.gvRealtime = true;
        program.gvSoundQuality = 2;
        secondsWave(path(QStringLiteral("temp.wav")), 1);
        main.changeToMode(QStringLiteral("SlowPlay"));
        main.state().setSlowDownPercent(50);
        return main;
    }
    // The pass ends with that result, having written a tempslow.wav with sound or an empty one;
    // its report is then handed to the user-interface thread.
    void complete(std::int32_t result, bool sound = true)
    {
        secondsWave(path(QStringLiteral("tempslow.wav")), sound ? 1 : 0);
        runner_.complete(result);
        QCoreApplication::processEvents();
    }
    bool replaying() const
    {
        return control<mci::MMControl>(*main_, "WaveControl")->fileName()
               == path(QStringLiteral("tempslow.wav"));
    }
};

// Every way a pass can go, from the start to the pass timer's handler: only the end of the
// latest pass started, and only one that wrote sound, is replayed.
TEST_F(SlowPlayRoadInMainWindow, OnlyTheLatestPassesEndReplaysAndOnlyWhenItWroteSound)
{
    // Reported: the worker has reported the end, which the user-interface thread has yet to take.
    enum Kind {
        Start,
        Complete,
        CompleteEmpty,
        Reported,
        Stop,
        Cancel,
        Toggle,
        TransportStop,
        Exit
    };
    struct Step {
        Kind kind;
        std::int32_t value = 0; // Start: the runner's answer; Complete: the engine's result
    };
    enum Mode { RealTime, Rendered };
    struct Case {
        const char* name;
        Mode mode;
        int stopThatEnds;
        std::vector<Step> steps;
        std::size_t passes;
        // Once the user-interface thread has taken every report: the finished pass replays
        // only here.
        RoadState state;
        QString message;
    };
    using R = RoadState;
    const Case cases[] = {
        {"a pass ends", RealTime, 0, {{Start, 1}, {Complete, 0}}, 1, R::Replaying, {}},
        {"a rendered pass ends at the file's end",
         Rendered,
         0,
         {{Start, 1}, {Complete, 12}},
         1,

         R::Replaying,
         {}},
        {"stopped, then it ends",
         RealTime,
         0,
         {{Start, 1}, {Stop}, {Complete, 0}},
         1,

         R::Idle,
         {}},
        {"it ends, then a stop before the hand-over",
         RealTime,
         0,
         {{Start, 1}, {Reported, 0}, {Stop}},
         1,

         R::Idle,
         {}},
        {"a stopped pass ends after the next started",
         RealTime,
         0,
         {{Start, 1}, {Stop}, {Start, 1}, {Complete, 0}},
         2,

         R::PassRunning,
         {}},
        {"then the next pass ends",
         RealTime,
         0,
         {{Start, 1}, {Stop}, {Start, 1}, {Complete, 0}, {Complete, 0}},
         2,

         R::Replaying,
         {}},
        {"a new pass while one runs stops it first",
         RealTime,
         1,
         {{Start, 1}, {Start, 1}, {Complete, 0}},
         2,

         R::Replaying,
         {}},
        {"the engine could not open a file",
         RealTime,
         0,
         {{Start, 1}, {Complete, -1}},
         1,

         R::Idle,
         "The slowdown process failed with error code -1. Please try again."},
        {"the engine failed",
         RealTime,
         0,
         {{Start, 1}, {Complete, 6}},
         1,

         R::Idle,
         "The slowdown process failed with error code 6 (File input or output error)."},
        {"the pass wrote no sound",
         RealTime,
         0,
         {{Start, 1}, {CompleteEmpty, 0}},
         1,

         R::Idle,
         "The slowdown process failed with error code 10 (No sound data in file)."},
        {"the runner started nothing", Rendered, 0, {{Start, 0}}, 1, R::Idle, {}},
        {"the stop is heard the second time",
         RealTime,
         2,
         {{Start, 1}, {Stop}},
         1,

         R::Idle,
         {}},
        {"a pass that never ends", RealTime, 0, {{Start, 1}, {Stop}}, 1, R::StoppedPass, {}},
        {"and its late end",
         RealTime,
         0,
         {{Start, 1}, {Stop}, {Complete, 0}},
         1,

         R::Idle,
         {}},
        {"Cancel in the progress window",
         Rendered,
         0,
         {{Start, 1}, {Cancel}, {Complete, 0}},
         1,

         R::Idle,
         {}},
        {"the play toggle",
         RealTime,
         0,
         {{Start, 1}, {Toggle}, {Complete, 0}},
         1,

         R::Idle,
         {}},
        {"an end once the exit has begun",
         RealTime,
         0,
         {{Start, 1}, {Exit}, {Complete, 0}},
         1,

         R::PassRunning,
         {}},
    };
    frmMain& main = inSlowPlay();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Each case starts on a road with nothing outstanding.
        loops_->stopDLL();
        runner_.complete(0);
        QCoreApplication::processEvents();
        loops_->resetLastPass();
        ASSERT_EQ(loops_->roadState(), RoadState::Idle);
        runner_.passes.clear();
        runner_.stops = 0;
        runner_.stopThatEnds = c.stopThatEnds;
        programState().gvRealtime = c.mode == RealTime;
        control<mci::MMControl>(main, "WaveControl")->setWait(true);
        control<mci::MMControl>(main, "WaveControl")->setCommand(QStringLiteral("Close"));
        control<mci::MMControl>(main, "WaveControl")->setFileName(QString());
        const std::size_t shown = prompts_.messageBoxes().size();

        for (const Step& step : c.steps) {
            switch (step.kind) {
            case Start:
                runner_.startAnswer = step.value;
                QTest::keyClick(&main, Qt::Key_F7);
                break;
            case Complete:
                complete(step.value);
                break;
            case CompleteEmpty:
                complete(step.value, false);
                break;
            case Reported:
                secondsWave(path(QStringLiteral("tempslow.wav")), 1);
                runner_.complete(step.value);
                break;
            case Stop:
                loops_->stopDLL();
                break;
            case Cancel:
                forms::loadedFormOf<messages2>()->btnCancel->click();
                break;
            case Toggle:
                main.togglePlayState();
                break;
            case TransportStop:
                loops_->slowControl_StopClick();
                break;
            case Exit:
                programState().gvExiting = true;
                break;
            }
        }
        programState().gvExiting = false;

        EXPECT_EQ(runner_.passes.size(), c.passes);
        // A pass handed over goes on to its handler at the next turn of the event loop.
        EXPECT_TRUE(
            runUntil([&] { return !control<TaggedTimer>(main, "tmrLoopDLL")->isActive(); }));
        const bool replayed = c.state == RoadState::Replaying;
        EXPECT_EQ(replaying(), replayed);
        EXPECT_EQ(programState().gvSlowedFileReady, replayed);
        // A bare stop leaves the loop's repeat to the view change that comes with it.
        const bool stoppedByUser =
            !c.message.isEmpty() || std::any_of(c.steps.begin(), c.steps.end(), [](Step s) {
                return s.kind == Cancel || s.kind == Toggle || (s.kind == Start && s.value == 0);
            });
        if (replayed || stoppedByUser) {
            EXPECT_EQ(programState().gvPlayState.state().toBool(), replayed);
        }
        EXPECT_EQ(loops_->roadState(), c.state);
        EXPECT_FALSE(isLoaded(QStringLiteral("messages2")));
        EXPECT_TRUE(main.isEnabled());
        const std::size_t messages = c.message.isEmpty() ? 0 : 1;
        ASSERT_EQ(prompts_.messageBoxes().size() - shown, messages)
            << prompts_.messageBoxes().back().text.toStdString();
        if (messages) {
            EXPECT_TRUE(prompts_.messageBoxes().back().text.startsWith(c.message))
                << prompts_.messageBoxes().back().text.toStdString();
        }
    }
}

// The main window may be gone before a running pass ends; its end then reaches nothing.
TEST_F(SlowPlayRoadInMainWindow, AnEndAfterTheMainWindowIsGoneReachesNothing)
{
    frmMain& main = inSlowPlay();
    QTest::keyClick(&main, Qt::Key_F7);
    ASSERT_EQ(runner_.passes.size(), 1U);
    delete &main;
    ASSERT_EQ(main_, nullptr);
    complete(0);
    EXPECT_FALSE(isLoaded(QString::fromLatin1(frmMain::formName)));
}

// Closing the settings dialog in real time makes a new pass with the settings it leaves, also
// while the last one replays; in rendered mode the replay stays.
TEST_F(SlowPlayRoadInMainWindow, ClosingTheSettingsInRealTimeStartsANewPass)
{
    frmMain& main = inSlowPlay();
    for (const bool realTime : {true, false}) {
        SCOPED_TRACE(realTime);
        programState().gvRealtime = realTime;
        runner_.passes.clear();
        programState().gvSlowedFileReady = false;
        QTest::keyClick(&main, Qt::Key_F7);
        complete(0);
        ASSERT_TRUE(runUntil([] { return programState().gvSlowedFileReady; }));
        ASSERT_EQ(loops_->roadState(), RoadState::Replaying);
        control<QPushButton>(forms::loadForm<frmOptions>(), "Command4")->click();
        EXPECT_EQ(runner_.passes.size(), realTime ? 2U : 1U);
        EXPECT_EQ(loops_->roadState(), realTime ? RoadState::PassRunning : RoadState::Replaying);
        loops_->stopDLL();
        runner_.complete(0);
        QCoreApplication::processEvents();
    }
}

// The status bar follows F6 and F7 in "SlowPlay": stopping the first pass or the replay says
// it is paused, playing again says at what speed.
TEST_F(SlowPlayRoadInMainWindow, TheStatusTextFollowsStopAndPlay)
{
    frmMain& main = inSlowPlay();
    const QString playingText = QStringLiteral("Playing loop at 50% of original speed.");
    const auto press = [&main](Qt::Key key) {
        QTest::keyClick(control<QGroupBox>(main, "fraSlowdown"), key);
    };
    press(Qt::Key_F7);
    ASSERT_EQ(loops_->roadState(), RoadState::PassRunning);
    EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text(), playingText);
    press(Qt::Key_F6);
    EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text(), "SlowPlay paused");
    complete(0);

    press(Qt::Key_F7);
    complete(0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return replaying(); }, 2000));
    EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text(), playingText);
    press(Qt::Key_F6);
    EXPECT_NE(control<mci::MMControl>(main, "WaveControl")->mode(),
              static_cast<int>(mci::Mode::Playing));
    EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text(), "SlowPlay paused");
    press(Qt::Key_F6);
    EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->mode(),
              static_cast<int>(mci::Mode::Playing));
    EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text(), playingText);
    press(Qt::Key_F6);
}

// Stopping the first pass leaves no slowed file to replay: play, by Space or F6, starts the slowed
// loop again rather than asking the closed wave device to play.
TEST_F(SlowPlayRoadInMainWindow, PlayAfterTheFirstPassWasStoppedStartsTheSlowedLoopAgain)
{
    frmMain& main = inSlowPlay();
    // As in the program, the wave device holds the loop when Transform closes it for the pass.
    control<mci::MMControl>(main, "WaveControl")->setFileName(path(QStringLiteral("temp.wav")));
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_F6}) {
        SCOPED_TRACE(key == Qt::Key_Space ? "Space" : "F6");
        QTest::keyClick(control<QGroupBox>(main, "fraSlowdown"), Qt::Key_F7);
        ASSERT_EQ(loops_->roadState(), RoadState::PassRunning);
        QTest::keyClick(control<QGroupBox>(main, "fraSlowdown"), key);
        complete(0);
        ASSERT_NE(loops_->roadState(), RoadState::PassRunning);

        QTest::keyClick(control<QGroupBox>(main, "fraSlowdown"), key);

        EXPECT_EQ(loops_->roadState(), RoadState::PassRunning);
        EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text(),
                  "Playing loop at 50% of original speed.");
        QTest::keyClick(control<QGroupBox>(main, "fraSlowdown"), key);
        complete(0);
    }
}

} // namespace
} // namespace lentaro::test
