#include "tests/program/cd_side_window_fixture.h"
#include "tests/program/counting_loop_side.h"

#include "app/messages2.h"
#include "app/programstate.h"
#include "app/recordwhileplaying.h"
#include "app/windowhelpers.h"
#include "app/workingfiles.h"
#include "cd/cdinputselector.h"
#include "cd/cdloopcapture.h"
#include "cdinput/dunmarra.h"
#include "mainwindow/mainstate.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "program/cdsideofmain.h"
#include "tests/engine/support/tone.h"
#include "tests/platform/cd/support/wave_contents.h"
#include "tests/platform/mci/wave_rig.h"
#include "tests/support/named_control.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace lentaro::test {

namespace {

// Where track n of fourTrackDisc starts on the CD device's scale (2 s of lead-in).
int trackStartMs(int track)
{
    return 2000 + 15000 * (track - 1);
}

// The loop side's part of an analog capture: while the recording is under way, the loop's play
// has the wave device record while the CD device plays from the in to the out point.
class RecordingLoops : public CountingLoopSide
{
public:
    RecordingLoops(frmMain& main, int& loopPlays, const int& inPt, const int& outPt)
        : CountingLoopSide(replays_, loopPlays), main_(main), inPt_(inPt), outPt_(outPt)
    {
    }
    void btnLoopPlay_Click() override
    {
        CountingLoopSide::btnLoopPlay_Click();
        if (!programState().gvRecordingInProgress)
            return;
        // As the loop side's play does.
        programState().gvPlayState.setState(true);
        recordWhilePlaying(*control<mci::MMControl>(main_, "CDControl"),
                           *control<mci::MMControl>(main_, "WaveControl"), inPt_, outPt_);
    }

private:
    int replays_ = 0;
    frmMain& main_;
    const int& inPt_;
    const int& outPt_;
};

// The level of what varies about the samples' mean.
double rms(const std::vector<double>& samples)
{
    if (samples.empty())
        return 0;
    double mean = 0;
    for (const double sample : samples)
        mean += sample;
    mean /= double(samples.size());
    double sum = 0;
    for (const double sample : samples)
        sum += (sample - mean) * (sample - mean);
    return std::sqrt(sum / double(samples.size()));
}

// The capture in the main window with the CD side, whose own transport ends what the CD device
// plays and whose wave device's end saves the recording, on a disc of tones that the null card's
// input records as the CD device plays it, eight times faster than real time.
class AnalogCaptureTest : public CdSideWindowTest
{
protected:
    void SetUp() override
    {
        // The null card, as the CD side's own tests run on it.
        audioBefore_ = qgetenv("LENTARO_AUDIO");
        qputenv("LENTARO_AUDIO", "null");
        qputenv("LENTARO_AUDIO_SPEED", "8");
        withCdSide_ = true;
        makeLoops_ = [this](frmMain& main) {
            return std::make_unique<RecordingLoops>(main, loopPlays_, inPt_, outPt_);
        };
        CdSideWindowTest::SetUp();
        useDiscs({fourTrackDisc()});
        MainState& state = main().state();
        state.setCurrentMMControl(control<mci::MMControl>(main(), "CDControl"));
        state.setSlowDownPercent(50);
        state.cdView = true;
        main().setEnabled(true);
        ASSERT_TRUE(fillWithTones(cues_.front()));
        ProgramState& program = programState();
        program.gvDigitalRecordingOK = true;
        program.gvDigCDNum = 1;
        program.gvRecordMode = 2;
        program.gvChannels = 1;
        host_.emplace(main());
        loops_.emplace(main(), [this](int& inPt, int& outPt) {
            inPt = inPt_;
            outPt = outPt_;
            return false;
        });
        capture_.emplace(main().cdControls(), *host_, *loops_, reader());
    }
    void TearDown() override
    {
        capture_.reset();
        CdSideWindowTest::TearDown();
        qunsetenv("LENTARO_AUDIO_SPEED");
        if (audioBefore_.isEmpty())
            qunsetenv("LENTARO_AUDIO");
        else
            qputenv("LENTARO_AUDIO", audioBefore_);
    }

    QByteArray audioBefore_;
    int inPt_ = 0;
    int outPt_ = 0;
    int loopPlays_ = 0;
    std::optional<CdHostOfMain> host_;
    std::optional<CdLoopsOfMain> loops_;
    std::optional<CdLoopCapture> capture_;
};

TEST_F(AnalogCaptureTest, RecordsTheLoopAsTheCdPlaysItInTheRecordingFormat)
{
    struct Case {
        int rate;
        int bits;
    };
    inPt_ = trackStartMs(3) + 1000;
    outPt_ = inPt_ + 2000;
    programState().gvAutoSlow = true;
    for (const Case c : {Case{22050, 16}, Case{44100, 8}}) {
        SCOPED_TRACE(c.rate);
        programState().gvRecordingSampleRate = c.rate;
        programState().gvRecordingDepth = c.bits;
        programState().gvExpansionFactor = 0;
        loopPlays_ = 0;
        main().changeToMode(QStringLiteral("CD"), false);

        capture_->recordCurrentLoop();

        EXPECT_EQ(main().state().tempWavChannels, 1);
        EXPECT_FLOAT_EQ(programState().gvExpansionFactor, 2.0f);
        ASSERT_TRUE(QTest::qWaitFor([] { return !programState().gvRecordingInProgress; }, 20000));
        EXPECT_TRUE(programState().gvSlowMode);
        EXPECT_EQ(loopPlays_, 2); // the recording's, then AutoSlow's slowed play
        EXPECT_FALSE(isLoaded("messages2"));
        EXPECT_TRUE(main().isEnabled());
        const mci::test::WaveContents temp = mci::test::readWave(tempWav().toStdString());
        EXPECT_EQ(temp.channels, 1);
        EXPECT_EQ(temp.rate, c.rate);
        EXPECT_EQ(temp.bits, c.bits);
        const std::vector<double> samples(temp.samples.begin(), temp.samples.end());
        EXPECT_NEAR(double(samples.size()) * 1000 / c.rate, 2000.0, 30.0);
        const std::size_t window = std::size_t(c.rate) / 10;
        ASSERT_GE(samples.size(), 3 * window);
        for (const std::size_t from :
             {std::size_t(0), (samples.size() - window) / 2, samples.size() - window}) {
            SCOPED_TRACE(from);
            EXPECT_NEAR(kvtest::measureFrequency(samples, c.rate, from, from + window),
                        trackTones[2], trackTones[2] / 100);
        }
        const double fullScale = c.bits == 8 ? 128.0 : 32768.0;
        EXPECT_GT(rms(samples) / fullScale, 0.1);
    }
}

TEST_F(AnalogCaptureTest, TheMixerIsSetOnlyWhenAskedAndItsFailureDoesNotStopTheRecording)
{
    // A mixer without a CD source.
    struct CountingSelector : CdInputSelector {
        int calls = 0;
        std::int32_t SelectCDInput() override
        {
            ++calls;
            return DUNMARRA_NO_CD_SOURCE;
        }
    };
    inPt_ = trackStartMs(3);
    outPt_ = inPt_ + 500;
    programState().gvRecordingSampleRate = 22050;
    programState().gvRecordingDepth = 16;
    for (const bool setMixer : {true, false}) {
        SCOPED_TRACE(setMixer);
        CountingSelector selector;
        const ScopedOverride selectorInPlace(cdInputSelector, selector);
        programState().gvAutomaticallySetRecordingMixer = setMixer;
        main().changeToMode(QStringLiteral("CD"), false);

        capture_->recordCurrentLoop();

        EXPECT_EQ(selector.calls, setMixer ? 1 : 0);
        EXPECT_TRUE(programState().gvRecordingInProgress);
        ASSERT_TRUE(QTest::qWaitFor([] { return !programState().gvRecordingInProgress; }, 20000));
        EXPECT_TRUE(prompts_.messageBoxes().empty());
        EXPECT_TRUE(programState().gvSlowMode);
        EXPECT_EQ(mci::test::readWave(tempWav().toStdString()).channels, 1);
    }
}

TEST_F(AnalogCaptureTest, AFormatTheSoundDeviceRefusesRecordsNothing)
{
    inPt_ = trackStartMs(3);
    outPt_ = inPt_ + 500;
    programState().gvRecordingSampleRate = 22050;
    programState().gvRecordingDepth = 12;
    main().state().tempWavChannels = 2;

    capture_->recordCurrentLoop();

    ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
    EXPECT_TRUE(prompts_.messageBoxes()[0].text.startsWith(
        "The sound driver is not responding. A restart of Windows might fix this problem."));
    EXPECT_FALSE(programState().gvRecordingInProgress);
    EXPECT_EQ(loopPlays_, 0);
    EXPECT_EQ(main().state().tempWavChannels, 2);
    EXPECT_FALSE(isLoaded("messages2"));
    EXPECT_TRUE(main().isEnabled());
}

} // namespace
} // namespace lentaro::test
