#include "tests/loops/loop_side_fixture.h"

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
class SlowPlayRoad : public LoopSideWithEngineTest
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
TEST_F(SlowPlayRoad, OnlyTheLatestPassesEndReplaysAndOnlyWhenItWroteSound)
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
                loops_->btnLoopPlay_Click();
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
TEST_F(SlowPlayRoad, AnEndAfterTheMainWindowIsGoneReachesNothing)
{
    frmMain& main = inSlowPlay();
    loops_->btnLoopPlay_Click();
    ASSERT_EQ(runner_.passes.size(), 1U);
    delete &main;
    ASSERT_EQ(main_, nullptr);
    complete(0);
    EXPECT_FALSE(isLoaded(QString::fromLatin1(frmMain::formName)));
}

// What the engine is given: temp.wav into tempslow.wav, the speed as a time factor raised to
// 5 %, the pitch change as a factor, the FFT size of the sound quality (kept within its three
// sizes), window mode 1, real-time or not, and the channel choice unchanged.
TEST_F(SlowPlayRoad, APassIsGivenTheSpeedPitchQualityAndChannelAsTheEngineTakesThem)
{
    struct Case {
        int percent;
        int cents;
        int quality;
        bool realTime;
        int channel;
        int storedPercent;
        double timeFactor;
        double pitchFactor;
        int fftSize;
    };
    const Case cases[] = {
        {50, 0, 1, true, 0, 50, 2.0, 1.0, 512},
        {70, -200, 2, false, 1, 70, 100.0 / 70, 0.8908987181403393, 1024},
        {200, 1200, 3, true, 2, 200, 0.5, 2.0, 2048},
        {4, -1200, 3, true, 0, 5, 20.0, 0.5, 2048},
        {0, -100, 7, false, 0, 5, 20.0, 0.9438743126816935, 2048},
        {100, 100, 0, true, 0, 100, 1.0, 1.0594630943592953, 512},
    };
    frmMain& main = inSlowPlay();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.percent << "%, " << c.cents << " cents, quality " << c.quality);
        runner_.passes.clear();
        ProgramState& program = programState();
        program.gvSlowedFileReady = false;
        program.gvSoundQuality = c.quality;
        program.gvRealtime = c.realTime;
        program.gvChannelToTransform = c.channel;
        main.state().setSlowDownPercent(c.percent);
        main.state().setPitchChange(c.cents);
        loops_->btnLoopPlay_Click();
        ASSERT_EQ(runner_.passes.size(), 1U);
        const EnginePass& pass = runner_.passes[0];
        EXPECT_EQ(pass.inputPath, path(QStringLiteral("temp.wav")));
        EXPECT_EQ(pass.outputPath, path(QStringLiteral("tempslow.wav")));
        EXPECT_DOUBLE_EQ(pass.timeFactor, c.timeFactor);
        EXPECT_DOUBLE_EQ(pass.pitchFactor, c.pitchFactor);
        EXPECT_EQ(pass.fftSize, c.fftSize);
        EXPECT_EQ(pass.windowMode, 1);
        EXPECT_EQ(pass.realTime, c.realTime ? 1 : 0);
        EXPECT_EQ(pass.channelChoice, c.channel);
        EXPECT_EQ(main.state().slowDownPercent(), c.storedPercent);
        if (!c.realTime) {
            EXPECT_EQ(forms::loadedFormOf<messages2>()->Label1->text(),
                      "Changing loop speed and/or pitch.");
            EXPECT_EQ(
                control<QLabel>(main, "pnlMsg")->text(),
                QStringLiteral("Playing loop at %1% of original speed.").arg(c.storedPercent));
        }
        loops_->stopDLL();
        runner_.complete(0);
        QCoreApplication::processEvents();
        Message2(QStringLiteral("off"));
    }
}

// Transform on nothing to work with says why and starts no pass.
TEST_F(SlowPlayRoad, TransformWithoutALoopOrWithoutTempWavSaysWhyAndStartsNothing)
{
    const QString noLoops = QStringLiteral(
        "The Transform button plays the current loop back at a slower rate. In order to use this "
        "feature, you must first create at least one loop point using the Make Loop Point "
        "button.");
    const QString noCurrent = QStringLiteral("There are no loop points created. Please make at "
                                             "least one loop point before continuing");
    struct Case {
        const char* name;
        bool rows;
        bool current;
        QString message;
        bool slowPlay;
    };
    const Case cases[] = {
        {"no loops", false, false, noLoops, false},
        {"no current loop", true, false, noCurrent, false},
        // The source file is no wave file, so no temp.wav is cut: the view stays, the file is
        // open again, and the failure goes to Transform's caller, not to the road.
        {"a file that cannot be cut", true, true, {}, false},
    };
    frmMain& main = ready();
    programState().gvAutoSlow = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        main.changeToMode(QStringLiteral("CD"));
        execute(QStringLiteral("DELETE FROM WaveLoopPoints"));
        waveWithLoops(c.rows ? std::vector<std::pair<int, QVariant>>{{1000, 2000}}
                             : std::vector<std::pair<int, QVariant>>{});
        loops_->rows().moveTo(c.current ? 0 : LoopRows::noRow);
        control<mci::MMControl>(main, "WaveControl")
            ->setFileName(path(QStringLiteral("not a wave.wav")));
        QFile::remove(path(QStringLiteral("temp.wav")));
        const std::size_t shown = prompts_.messageBoxes().size();
        if (c.message.isEmpty()) {
            EXPECT_THROW(loopCapture().recordCurrentLoop(), RuntimeError);
            EXPECT_EQ(prompts_.messageBoxes().size(), shown);
            EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->fileName(),
                      path(QStringLiteral("not a wave.wav")));
        } else {
            loops_->cmdSlowPlay_Click();
            ASSERT_EQ(prompts_.messageBoxes().size(), shown + 1);
            EXPECT_EQ(prompts_.messageBoxes().back().text, c.message);
        }
        EXPECT_TRUE(runner_.passes.empty());
        EXPECT_EQ(programState().gvSlowMode, c.slowPlay);
        EXPECT_EQ(loops_->roadState(), RoadState::Idle);
    }
}

// Transform on a loop of a wave file: the loop is cut into temp.wav, the view becomes
// "SlowPlay" and, with AutoSlow, a pass over it starts.
TEST_F(SlowPlayRoad, TransformCutsTheWaveLoopAndStartsAPassOverIt)
{
    frmMain& main = ready();
    programState().gvAutoSlow = true;
    programState().gvRealtime = true;
    const QString song = secondsWave(path(QStringLiteral("music/song.wav")), 6);
    waveWithLoops({{2000, 4000}});
    loops_->rows().moveTo(0);
    control<mci::MMControl>(main, "WaveControl")->setFileName(song);
    loops_->cmdSlowPlay_Click();

    EXPECT_TRUE(programState().gvSlowMode);
    EXPECT_EQ(main.state().savedWaveFileName, song);
    EXPECT_EQ(main.state().prevStartTime, 2000);
    EXPECT_EQ(main.state().tempWavChannels, 1);
    // Two seconds of the 8,000-frame file: 44 bytes of header, 2 bytes a frame.
    EXPECT_EQ(QFile(path(QStringLiteral("temp.wav"))).size(), 44 + 2 * 16000);
    ASSERT_EQ(runner_.passes.size(), 1U);
    EXPECT_EQ(runner_.passes[0].inputPath, path(QStringLiteral("temp.wav")));
    EXPECT_EQ(loops_->roadState(), RoadState::PassRunning);

    // A failed cut leaves no temp.wav behind and the channel count of the last good one.
    runner_.passes.clear();
    main.changeToMode(QStringLiteral("Wave"));
    control<mci::MMControl>(main, "WaveControl")->setFileName(path(QStringLiteral("missing.wav")));
    main.state().tempWavChannels = 2;
    loops_->cmdSlowPlay_Click();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("temp.wav"))));
    EXPECT_EQ(main.state().tempWavChannels, 2);
    EXPECT_TRUE(runner_.passes.empty());
}

// With the waveform view open, every pass keeps the shares of the file its markers stood at,
// and the replay runs between them, unless they enclose nothing.
TEST_F(SlowPlayRoad, TheReplayRunsBetweenTheMarkersOfTheWaveformView)
{
    struct Case {
        const char* name;
        bool open;
        double start;
        double end;
        QString played;
    };
    const Case cases[] = {
        {"between the markers", true, 150000, 450000, "wave play 150000-450000"},
        {"moved before the next pass", true, 300000, 600000, "wave play 300000-600000"},
        {"markers enclosing nothing", true, 450000, 150000, "wave play 0-600000"},
        {"the view closed", false, 150000, 450000, "wave play 0-600000"},
    };
    inSlowPlay();
    ScriptedGraph graph;
    const ScopedOverride<TrimGraph> graphInPlace{trimGraph, graph};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        graph.open = c.open;
        sides_.waveViewOpen = c.open;
        graph.start = c.start;
        graph.end = c.end;
        programState().gvSlowedFileReady = false;
        loops_->btnLoopPlay_Click();
        // The engine's file is as long as the last one: the markers come back where they were.
        graph.start = graph.end = 0;
        devicesJournal_.clear();
        complete(0);
        ASSERT_TRUE(runUntil([] { return programState().gvSlowedFileReady; }));
        EXPECT_EQ(devicesJournal_.value(devicesJournal_.size() - 1), c.played);
    }
}

// A failure in the replay's set-up shows the procedure's own error box, not the central one.
TEST_F(SlowPlayRoad, AFailedReplayShowsItsOwnErrorBox)
{
    inSlowPlay();
    programState().gvSlowedFileReady = true;
    sides_.waveViewOpenFails = true;
    loops_->btnLoopPlay_Click();
    sides_.waveViewOpenFails = false;
    ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
    EXPECT_EQ(prompts_.messageBoxes().back().text,
              QStringLiteral("Error 91 occurred in procedure playSlowDownLoop\r\n\r\nObject "
                             "variable or With block variable not set\r\n\r\nPlease send email "
                             "with the error description to ")
                  + supportEmailAddress + QStringLiteral(". Thank you."));
    EXPECT_EQ(trappedError(), 0);
    EXPECT_TRUE(runner_.passes.empty());
}

// Closing the settings dialog in real time makes a new pass with the settings it leaves, also
// while the last one replays; in rendered mode the replay stays.
TEST_F(SlowPlayRoad, ClosingTheSettingsInRealTimeStartsANewPass)
{
    inSlowPlay();
    for (const bool realTime : {true, false}) {
        SCOPED_TRACE(realTime);
        programState().gvRealtime = realTime;
        runner_.passes.clear();
        programState().gvSlowedFileReady = false;
        loops_->btnLoopPlay_Click();
        complete(0);
        ASSERT_TRUE(runUntil([] { return programState().gvSlowedFileReady; }));
        ASSERT_EQ(loops_->roadState(), RoadState::Replaying);
        forms::loadForm<frmOptions>().Command4_Click();
        EXPECT_EQ(runner_.passes.size(), realTime ? 2U : 1U);
        EXPECT_EQ(loops_->roadState(), realTime ? RoadState::PassRunning : RoadState::Replaying);
        loops_->stopDLL();
        runner_.complete(0);
        QCoreApplication::processEvents();
    }
}

// The status bar follows F6 and F7 in "SlowPlay": stopping the first pass or the replay says
// it is paused, playing again says at what speed.
TEST_F(SlowPlayRoad, TheStatusTextFollowsStopAndPlay)
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
TEST_F(SlowPlayRoad, PlayAfterTheFirstPassWasStoppedStartsTheSlowedLoopAgain)
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
