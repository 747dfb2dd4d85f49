#include "tests/loops/loop_side_fixture.h"

#include "app/messages.h"
#include "app/messages2.h"
#include "app/programstate.h"
#include "app/webaddresses.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "trace/runtimeerror.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <vector>

namespace lentaro::test {
namespace {

// The "SlowPlay" view over a temp.wav, the engine runner a fake whose pass ends the test
// reports from another thread.
class SlowPlayRoad : public LoopSideWithEngineTest
{
protected:
    LoopSideRig& inSlowPlay()
    {
        LoopSideRig& rig = readyWithEngine();
        ProgramState& program = programState();
        program.gvRealtime = true;
        program.gvSoundQuality = 2;
        secondsWave(path(QStringLiteral("temp.wav")), 1);
        rig.changeToMode(QStringLiteral("SlowPlay"));
        rig.state().setSlowDownPercent(50);
        return rig;
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
        return rig_->WaveControl->fileName() == path(QStringLiteral("tempslow.wav"));
    }
};

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
    LoopSideRig& rig = inSlowPlay();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.percent << "%, " << c.cents << " cents, quality " << c.quality);
        runner_.passes.clear();
        ProgramState& program = programState();
        program.gvSlowedFileReady = false;
        program.gvSoundQuality = c.quality;
        program.gvRealtime = c.realTime;
        program.gvChannelToTransform = c.channel;
        rig.state().setSlowDownPercent(c.percent);
        rig.state().setPitchChange(c.cents);
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
        EXPECT_EQ(rig.state().slowDownPercent(), c.storedPercent);
        if (!c.realTime) {
            EXPECT_EQ(forms::loadedFormOf<messages2>()->Label1->text(),
                      "Changing loop speed and/or pitch.");
            EXPECT_EQ(
                rig.pnlMsg->text(),
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
    LoopSideRig& rig = ready();
    programState().gvAutoSlow = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.changeToMode(QStringLiteral("CD"));
        execute(QStringLiteral("DELETE FROM WaveLoopPoints"));
        waveWithLoops(c.rows ? std::vector<std::pair<int, QVariant>>{{1000, 2000}}
                             : std::vector<std::pair<int, QVariant>>{});
        loops_->rows().moveTo(c.current ? 0 : LoopRows::noRow);
        rig.WaveControl->setFileName(path(QStringLiteral("not a wave.wav")));
        QFile::remove(path(QStringLiteral("temp.wav")));
        const std::size_t shown = prompts_.messageBoxes().size();
        if (c.message.isEmpty()) {
            EXPECT_THROW(loopCapture().recordCurrentLoop(), RuntimeError);
            EXPECT_EQ(prompts_.messageBoxes().size(), shown);
            EXPECT_EQ(rig.WaveControl->fileName(), path(QStringLiteral("not a wave.wav")));
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
    LoopSideRig& rig = ready();
    programState().gvAutoSlow = true;
    programState().gvRealtime = true;
    const QString song = secondsWave(path(QStringLiteral("music/song.wav")), 6);
    waveWithLoops({{2000, 4000}});
    loops_->rows().moveTo(0);
    rig.WaveControl->setFileName(song);
    loops_->cmdSlowPlay_Click();

    EXPECT_TRUE(programState().gvSlowMode);
    EXPECT_EQ(rig.state().savedWaveFileName, song);
    EXPECT_EQ(rig.state().prevStartTime, 2000);
    EXPECT_EQ(rig.state().tempWavChannels, 1);
    // Two seconds of the 8,000-frame file: 44 bytes of header, 2 bytes a frame.
    EXPECT_EQ(QFile(path(QStringLiteral("temp.wav"))).size(), 44 + 2 * 16000);
    ASSERT_EQ(runner_.passes.size(), 1U);
    EXPECT_EQ(runner_.passes[0].inputPath, path(QStringLiteral("temp.wav")));
    EXPECT_EQ(loops_->roadState(), RoadState::PassRunning);

    // A failed cut leaves no temp.wav behind and the channel count of the last good one.
    runner_.passes.clear();
    rig.changeToMode(QStringLiteral("Wave"));
    rig.WaveControl->setFileName(path(QStringLiteral("missing.wav")));
    rig.state().tempWavChannels = 2;
    loops_->cmdSlowPlay_Click();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("temp.wav"))));
    EXPECT_EQ(rig.state().tempWavChannels, 2);
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
        rig_->waveViewOpen = c.open;
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
    rig_->waveViewOpenFails = true;
    loops_->btnLoopPlay_Click();
    rig_->waveViewOpenFails = false;
    ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
    EXPECT_EQ(prompts_.messageBoxes().back().text,
              QStringLiteral("Error 91 occurred in procedure playSlowDownLoop\r\n\r\nObject "
                             "variable or With block variable not set\r\n\r\nPlease send email "
                             "with the error description to ")
                  + supportEmailAddress + QStringLiteral(". Thank you."));
    EXPECT_EQ(trappedError(), 0);
    EXPECT_TRUE(runner_.passes.empty());
}

} // namespace
} // namespace lentaro::test
