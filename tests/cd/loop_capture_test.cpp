#include "tests/cd/cd_rig_fixture.h"

#include "app/messages2.h"
#include "app/preferences.h"
#include "app/programstate.h"
#include "app/progresscancel.h"
#include "app/windowhelpers.h"
#include "app/workingfiles.h"
#include "cd/cdloopcapture.h"
#include "cd/cdsideloops.h"
#include "cd/recordreaderevents.h"
#include "mainwindow/mainstate.h"
#include "platform/cd/Drive.h"
#include "platform/cd/ImageDrive.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "tests/platform/cd/support/wave_contents.h"

#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

namespace lentaro::test {

namespace {

// Where track n of fourTrackDisc starts on the CD device's scale (2 s of lead-in) and the disc
// sample index of its first sample.
int trackStartMs(int track)
{
    return 2000 + 15000 * (track - 1);
}
std::int64_t firstSampleOf(int track)
{
    return std::int64_t(track - 1) * trackFrames * cd::samplesPerFrame;
}
// The sample a position inside a track stands at, counted from the track's first sample.
std::int64_t frameAt(int ms)
{
    return std::int64_t(ms) * 441 / 10;
}

// A drive whose reader refuses the first `refusals` reads as if another program held it, and
// runs `afterOpening`, when set, once a read has opened the disc.
class RefusingDrive : public cd::Drive
{
public:
    RefusingDrive(std::unique_ptr<cd::Drive> inner, int& refusals,
                  const std::function<void()>& afterOpening)
        : inner_(std::move(inner)), refusals_(refusals), afterOpening_(afterOpening)
    {
    }
    std::string path() const override { return inner_->path(); }
    std::string deviceNode() const override { return inner_->deviceNode(); }
    bool discPresent() override { return inner_->discPresent(); }
    bool trayOpen() override { return inner_->trayOpen(); }
    cd::Toc toc() override { return inner_->toc(); }
    bool eject() override { return inner_->eject(); }
    bool closeTray() override { return inner_->closeTray(); }
    cd::DriveAccess access() override { return inner_->access(); }
    cd::OpenedFrames openFrames() override
    {
        if (refusals_ > 0) {
            --refusals_;
            return {nullptr, {cd::DriveProblem::HeldElsewhere, "Another program holds the drive."}};
        }
        cd::OpenedFrames opened = inner_->openFrames();
        if (afterOpening_)
            afterOpening_();
        return opened;
    }

private:
    std::unique_ptr<cd::Drive> inner_;
    int& refusals_;
    const std::function<void()>& afterOpening_;
};

// The loop side as the capture asks it: the loop from inPt to outPt, its plays counted.
class CapturedLoops : public CdSideLoops
{
public:
    CapturedLoops(const int& inPt, const int& outPt, int& plays)
        : inPt_(inPt), outPt_(outPt), plays_(plays)
    {
    }
    void btnLoopPlay_Click() override { ++plays_; }
    void playLoop(bool) override {}
    bool calcInAndOutPoints(int& inPt, int& outPt) override
    {
        inPt = inPt_;
        outPt = outPt_;
        return false;
    }

private:
    const int& inPt_;
    const int& outPt_;
    int& plays_;
};

// The four-track disc in D:, its loop current in the CD view at 50 %, digital reading working,
// and the CD side's capture of the loop from inPt_ to outPt_ through a reader that refuses the
// first refusals_ reads, over the CD side's controls on a rig, with the side answering the
// reader's events.
class LoopCaptureTest : public CdRigTest
{
protected:
    void SetUp() override
    {
        CdRigTest::SetUp();
        useDiscs({fourTrackDisc()});
        // The reader reads the disc in D: through a drive of its own, so that only its reads
        // are refused, not the CD device's plays.
        std::vector<std::unique_ptr<cd::Drive>> readerDrive;
        readerDrive.push_back(std::make_unique<RefusingDrive>(
            std::make_unique<cd::ImageDrive>(cues_.front()), refusals_, afterReaderOpens_));
        readerDrives_ = cd::DriveList(std::move(readerDrive));
        reader_.emplace(readerDrives_, cd::DigitalReader::Timing{});
        MainState& state = rig().state();
        state.setCurrentMMControl(rig().CDControl);
        state.setSlowDownPercent(50);
        state.cdView = true;
        rig().setEnabled(true);
        ProgramState& program = programState();
        program.gvDigitalRecordingOK = true;
        program.gvDigCDNum = 1;
        program.gvRecordMode = 1;
        events_.emplace(*rig().pnlMsg, rig(), loops_, *reader_);
        capture_.emplace(rig().controls(), rig(), loops_, *reader_);
    }
    void TearDown() override
    {
        capture_.reset();
        events_.reset();
        reader_.reset();
        CdRigTest::TearDown();
    }

    int inPt_ = 0;
    int outPt_ = 0;
    int refusals_ = 0;
    std::function<void()> afterReaderOpens_;
    int loopPlays_ = 0;
    cd::DriveList readerDrives_;
    CapturedLoops loops_{inPt_, outPt_, loopPlays_};
    std::optional<RecordReaderEvents> events_;
    std::optional<CdLoopCapture> capture_;
};

TEST_F(LoopCaptureTest, ADigitalCaptureHoldsTheDiscsSamplesOfTheLoop)
{
    struct Case {
        const char* name;
        int inPt;
        int outPt;
        std::int64_t first; // disc sample indices temp.wav holds
        std::int64_t end;
    };
    const int track3 = trackStartMs(3);
    const Case cases[] = {
        {"mid-track 3", track3 + 1234, track3 + 3241, firstSampleOf(3) + frameAt(1234),
         firstSampleOf(3) + frameAt(3241)},
        {"from track 3's start", track3, track3 + 1500, firstSampleOf(3),
         firstSampleOf(3) + frameAt(1500)},
        {"in point before track 1", 500, trackStartMs(1) + 1000, 0, frameAt(1000)},
        {"into track 4", track3 + 14000, track3 + 16500, firstSampleOf(3) + frameAt(14000),
         firstSampleOf(3) + frameAt(16500)},
    };
    programState().gvAutoSlow = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        inPt_ = c.inPt;
        outPt_ = c.outPt;
        loopPlays_ = 0;
        programState().gvExpansionFactor = 0;
        rig().changeToMode(QStringLiteral("CD"), false);
        QSignalSpy completed(&*reader_, &cd::DigitalReader::ReadComplete);

        capture_->recordCurrentLoop();

        // The read runs on behind the progress window, the view already "SlowPlay".
        EXPECT_TRUE(programState().gvSlowMode);
        EXPECT_TRUE(isLoaded("messages2"));
        // The read may have ended while the capture ran its events; wait only when it has not.
        ASSERT_TRUE(completed.count() > 0 || completed.wait(20000));
        const cd::test::WaveContents temp = cd::test::readWave(tempWav().toStdString());
        EXPECT_EQ(temp.error, 0);
        EXPECT_EQ(temp.channels, 2);
        EXPECT_EQ(temp.sampleRate, 44100.0f);
        EXPECT_EQ(temp.bytesPerSample, 2);
        EXPECT_TRUE(cd::test::holdsSamples(temp.indices, c.first, c.end));
        EXPECT_EQ(rig().state().tempWavChannels, 2);
        EXPECT_FLOAT_EQ(programState().gvExpansionFactor, 1.0f);
        EXPECT_EQ(rig().pnlMsg->text(), "Done reading CD");
        EXPECT_EQ(loopPlays_, 1); // AutoSlow starts the slowed play
        EXPECT_FALSE(isLoaded("messages2"));
        EXPECT_TRUE(rig().isEnabled());
        EXPECT_TRUE(prompts_.messageBoxes().empty());
    }
}

TEST_F(LoopCaptureTest, ARefusedReadIsTriedTwiceMoreAndOnlyAThirdRefusalIsReported)
{
    struct Case {
        const char* name;
        int refusals;
        bool captured;
    };
    const Case cases[] = {
        {"accepted at the first retry", 1, true},
        {"accepted at the last try", 2, true},
        {"refused three times", 3, false},
    };
    inPt_ = trackStartMs(3) + 1000;
    outPt_ = inPt_ + 500;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_ = {};
        refusals_ = c.refusals;
        rig().changeToMode(QStringLiteral("CD"), false);
        // What an earlier analog capture left.
        rig().state().tempWavChannels = 1;
        programState().gvExpansionFactor = 2.0f;
        QSignalSpy completed(&*reader_, &cd::DigitalReader::ReadComplete);

        capture_->recordCurrentLoop();

        EXPECT_FALSE(isLoaded("messageForm")); // the retry's wait window is gone
        EXPECT_EQ(refusals_, 0);
        if (c.captured) {
            EXPECT_TRUE(prompts_.messageBoxes().empty());
            EXPECT_TRUE(programState().gvSlowMode);
            // The read may have ended while the capture ran its events; wait only when it has not.
            ASSERT_TRUE(completed.count() > 0 || completed.wait(20000));
            EXPECT_TRUE(cd::test::holdsSamples(cd::test::readWave(tempWav().toStdString()).indices,
                                               firstSampleOf(3) + frameAt(1000),
                                               firstSampleOf(3) + frameAt(1500)));
            EXPECT_EQ(rig().state().tempWavChannels, 2);
            EXPECT_FLOAT_EQ(programState().gvExpansionFactor, 1.0f);
        } else {
            ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
            EXPECT_EQ(prompts_.messageBoxes()[0].text, "Unable to read track.");
            EXPECT_EQ(prompts_.messageBoxes()[0].caption, "Error number ACD703");
            EXPECT_FALSE(programState().gvSlowMode);
            EXPECT_TRUE(rig().state().cdView);
            EXPECT_EQ(rig().state().tempWavChannels, 1);
            EXPECT_FLOAT_EQ(programState().gvExpansionFactor, 2.0f);
            EXPECT_FALSE(QFile::exists(tempWav()));
        }
        EXPECT_FALSE(isLoaded("messages2"));
        EXPECT_TRUE(rig().isEnabled());
    }
}

TEST_F(LoopCaptureTest, ACaptureThatCannotStartLeavesTheLastCaptureAndTheWindowAsTheyWere)
{
    struct Case {
        const char* name;
        bool digitalOK;
        int driveNumber;
        const char* box;
        const char* caption;
    };
    const Case cases[] = {
        {"no digital reading", false, 1,
         "Sorry - digital recording is not available on this system. For more information, "
         "visit https://lentaro.org/faq.htm",
         ""},
        {"a drive that does not open", true, 7, "Unable to open CD-ROM drive 7.",
         "Error number ACD"},
    };
    inPt_ = trackStartMs(3);
    outPt_ = inPt_ + 500;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_ = {};
        programState().gvDigitalRecordingOK = c.digitalOK;
        programState().gvDigCDNum = c.driveNumber;
        rig().state().tempWavChannels = 1;

        capture_->recordCurrentLoop();

        ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
        EXPECT_EQ(prompts_.messageBoxes()[0].text, c.box);
        EXPECT_TRUE(prompts_.messageBoxes()[0].caption.startsWith(c.caption));
        EXPECT_EQ(rig().state().tempWavChannels, 1);
        EXPECT_FALSE(programState().gvSlowMode);
        EXPECT_FALSE(isLoaded("messages2"));
        EXPECT_TRUE(rig().isEnabled());
    }
}

TEST_F(LoopCaptureTest, CancelOnTheProgressWindowAbortsTheReadAndReturnsToTheCdView)
{
    inPt_ = trackStartMs(1);
    outPt_ = trackStartMs(4) + 14000; // long enough to be cut short
    QSignalSpy completed(&*reader_, &cd::DigitalReader::ReadComplete);
    QSignalSpy failed(&*reader_, &cd::DigitalReader::Failure);
    capture_->recordCurrentLoop();
    ASSERT_TRUE(isLoaded("messages2"));
    ASSERT_TRUE(programState().gvSlowMode);

    // Cancel, confirmed, ends this test's read.
    struct Targets : ProgressCancelTargets {
        cd::DigitalReader& reader;
        CdSideRig& rig;
        Targets(cd::DigitalReader& r, CdSideRig& w) : reader(r), rig(w) {}
        void stopEnginePass() override {}
        void stopDigitalRead() override { reader.abort(); }
        void changeToCDView() override { rig.changeToMode(QStringLiteral("CD"), false); }
    } targets{*reader_, rig()};
    const ScopedOverride targetsInPlace(progressCancelTargets, targets);
    prompts_.queueAnswer(forms::Answer::Yes);
    auto* progress = qobject_cast<messages2*>(forms::loadedForm("messages2"));
    ASSERT_NE(progress, nullptr);
    progress->btnCancel_Click();
    ASSERT_TRUE(failed.wait(20000));

    EXPECT_EQ(failed.at(0).at(0).toInt(), 701);
    EXPECT_EQ(completed.count(), 0);
    EXPECT_EQ(prompts_.messageBoxes().size(), 1u); // the question before the abort only
    EXPECT_TRUE(rig().state().cdView);
    EXPECT_FALSE(programState().gvSlowMode);
    EXPECT_TRUE(rig().isEnabled());
}

TEST_F(LoopCaptureTest, AReadThatFailsPartWayOffersAnalogRecordingAndReturnsToTheCdView)
{
    namespace fs = std::filesystem;
    const fs::path bin = fs::path(cues_.front()).replace_extension(".bin");
    const std::uintmax_t wholeImage = fs::file_size(bin);
    struct Case {
        forms::Answer answer;
        int recordMode;
    };
    inPt_ = trackStartMs(3) + 1000;
    outPt_ = inPt_ + 2000;
    for (const Case c : {Case{forms::Answer::No, 1}, Case{forms::Answer::Yes, 2}}) {
        SCOPED_TRACE(c.recordMode);
        prompts_ = {};
        writePref(QStringLiteral("RecordMode"), programState().gvRecordMode, 1);
        fs::resize_file(bin, wholeImage);
        // The disc's data ends inside track 1 once the read has opened it.
        afterReaderOpens_ = [&] { fs::resize_file(bin, 100 * 2352); };
        prompts_.queueAnswer(c.answer);
        rig().changeToMode(QStringLiteral("CD"), false);
        QSignalSpy completed(&*reader_, &cd::DigitalReader::ReadComplete);
        QSignalSpy failed(&*reader_, &cd::DigitalReader::Failure);

        capture_->recordCurrentLoop();
        afterReaderOpens_ = nullptr;

        ASSERT_TRUE(programState().gvSlowMode); // the read was accepted
        ASSERT_TRUE(failed.wait(20000));
        EXPECT_EQ(failed.at(0).at(0).toInt(), 712);
        EXPECT_EQ(completed.count(), 0);
        ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
        const QString& question = prompts_.messageBoxes()[0].text;
        EXPECT_TRUE(question.startsWith("The program was unable to digitally copy the requested "
                                        "audio to your hard disk.\r\n\r\nThe process returned "
                                        "error code 712: "))
            << question.toStdString();
        EXPECT_TRUE(question.contains("ends at frame")) << question.toStdString();
        EXPECT_TRUE(question.endsWith("\r\n\r\nShould I change the recording mode to analog?"));
        EXPECT_EQ(programState().gvRecordMode, c.recordMode);
        EXPECT_EQ(storedPreference(QStringLiteral("RecordMode"))->bytes(),
                  std::to_string(c.recordMode));
        EXPECT_TRUE(rig().state().cdView);
        EXPECT_FALSE(programState().gvSlowMode);
        EXPECT_FALSE(isLoaded("messages2"));
        EXPECT_TRUE(rig().isEnabled());
    }
    fs::resize_file(bin, wholeImage);
}

} // namespace
} // namespace lentaro::test
