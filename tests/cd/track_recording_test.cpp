#include "tests/cd/cd_rig_fixture.h"

#include "app/messages.h"
#include "app/programstate.h"
#include "app/windowhelpers.h"
#include "cd/cdsideloops.h"
#include "cd/recordreaderevents.h"
#include "cd/trackrecording.h"
#include "mainwindow/mainstate.h"
#include "platform/forms/screencursor.h"
#include "platform/mci/MMControl.h"
#include "tests/platform/cd/support/wave_contents.h"

#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QSqlTableModel>
#include <QTableView>

#include <gtest/gtest.h>

#include <optional>

namespace lentaro::test {

namespace {

const QString refusedAdvice = QStringLiteral(
    "Unable to read CD audio digitally. Try changing Record Mode (in Settings Menu) to Analog.");

// A loop side without loops: a copy of a whole track plays none.
class NoLoops : public CdSideLoops
{
public:
    void btnLoopPlay_Click() override {}
    void playLoop(bool) override {}
    bool calcInAndOutPoints(int&, int&) override { return true; }
};

// Track 2, "Blue Moon", current in the tracks grid of the four-track disc in D:, with digital
// reading working and the copy's events answered by the CD side.
class TrackRecordingTest : public CdRigTest
{
protected:
    void SetUp() override
    {
        CdRigTest::SetUp();
        useDiscs({fourTrackDisc()});
        identification().checkCDPresent();
        QSqlTableModel& tracks = *rig().state().dtaTracks;
        ASSERT_EQ(tracks.rowCount(), 4);
        tracks.setData(tracks.index(1, tracks.fieldIndex("TrackName")), "Blue Moon");
        rig().tgTracks->setCurrentIndex(tracks.index(1, 0));
        rig().state().setCurrentMMControl(rig().CDControl);
        rig().setEnabled(true);
        ProgramState& program = programState();
        program.gvDigitalRecordingOK = true;
        program.gvDigCDNum = 1;
        events_.emplace(*rig().pnlMsg, rig(), loops_, reader());
        copy_.emplace(rig().controls(), rig(), reader(), *events_);
    }
    void TearDown() override
    {
        copy_.reset();
        events_.reset();
        CdRigTest::TearDown();
    }

    // The window as the command found it: no progress window, the pointer of each widget, the
    // main window usable and the CD device open on its drive.
    void expectWindowBack()
    {
        EXPECT_FALSE(isLoaded("messages2"));
        EXPECT_EQ(forms::screenMousePointer(), Qt::ArrowCursor);
        EXPECT_TRUE(rig().isEnabled());
        EXPECT_NE(rig().CDControl->mode(), static_cast<int>(mci::Mode::NotOpen));
        EXPECT_EQ(rig().CDControl->fileName(), "D:");
    }
    // The texts of the message boxes, a question to copy as "Q".
    QString boxes() const
    {
        QString seen;
        for (const auto& box : prompts_.messageBoxes())
            seen += box.text.startsWith("This will record the track") ? QStringLiteral("Q")
                                                                      : box.text + "|";
        return seen;
    }

    NoLoops loops_;
    std::optional<RecordReaderEvents> events_;
    std::optional<TrackRecording> copy_;
};

TEST_F(TrackRecordingTest, CopiesTheWholeTrackIntoTheFileChosenAndGivesTheWindowBackAtItsEnd)
{
    const QString destination = path("copy.wav");
    prompts_.queueAnswer(forms::Answer::Yes);
    prompts_.queueFile(path("copy")); // typed without an extension
    QSignalSpy completed(&reader(), &cd::DigitalReader::ReadComplete);

    copy_->mnuDigitalRec_Click();

    // A 15-second track: 0.25 minutes shows as 0.3, its 2.5 MB as 2.
    ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
    EXPECT_TRUE(prompts_.messageBoxes()[0].text.startsWith(
        "This will record the track \"Blue Moon\" to your hard disk."));
    EXPECT_TRUE(prompts_.messageBoxes()[0].text.contains("This track's length is 0.3 minutes."));
    EXPECT_TRUE(prompts_.messageBoxes()[0].text.contains("It requires approximately 2 MB"));
    ASSERT_EQ(prompts_.fileDialogs().size(), 1u);
    EXPECT_EQ(prompts_.fileDialogs()[0].caption, "Choose file for a copy of track 2, Blue Moon");
    EXPECT_EQ(prompts_.fileDialogs()[0].fileName, "Blue Moon.wav");
    EXPECT_EQ(prompts_.fileDialogs()[0].defaultSuffix, "wav");
    // The read runs on behind the progress window.
    auto* progress = qobject_cast<QWidget*>(forms::loadedForm("messages2"));
    ASSERT_NE(progress, nullptr);
    ASSERT_NE(progress->findChild<QLabel*>("Label1"), nullptr);
    EXPECT_EQ(progress->findChild<QLabel*>("Label1")->text(), "Saving track 2, Blue Moon to disk");
    EXPECT_FALSE(rig().isEnabled());

    ASSERT_TRUE(completed.wait(20000));

    const cd::test::WaveContents copy = cd::test::readWave(destination.toStdString());
    EXPECT_EQ(copy.error, 0);
    EXPECT_EQ(copy.channels, 2);
    EXPECT_EQ(copy.sampleRate, 44100.0f);
    EXPECT_EQ(copy.bytesPerSample, 2);
    EXPECT_TRUE(cd::test::holdsSamples(copy.indices,
                                       std::int64_t(trackFrames) * cd::samplesPerFrame,
                                       std::int64_t(2 * trackFrames) * cd::samplesPerFrame));
    EXPECT_EQ(rig().pnlMsg->text(), "Done reading CD");
    expectWindowBack();
}

TEST_F(TrackRecordingTest, TheQuestionGivesMinutesHalvesAwayFromZeroAndMegabytesHalvesToEven)
{
    struct Case {
        int lengthMs;
        const char* minutes;
        const char* megabytes;
    };
    for (const Case& c : {Case{225000, "3.8 minutes", "approximately 38 MB"},
                          Case{255000, "4.3 minutes", "approximately 42 MB"}}) {
        SCOPED_TRACE(c.lengthMs);
        const QString question = copyTrackQuestion("Song", c.lengthMs);
        EXPECT_TRUE(question.contains(c.minutes)) << question.toStdString();
        EXPECT_TRUE(question.contains(c.megabytes)) << question.toStdString();
    }
}

TEST_F(TrackRecordingTest, EveryWayOutBeforeAReadRunsGivesTheWindowBack)
{
    const QString unwritable = path("no such folder/copy.wav");
    const QString workingName =
        QStringLiteral("Please choose a different name. Lentaro likes temp.wav for itself.|");
    struct Case {
        const char* name;
        int driveNumber;
        std::vector<std::optional<QString>> files; // one per question answered Yes
        QString boxes;
    };
    const Case cases[] = {
        {"No to the question", 1, {}, "Q"},
        {"the save dialog cancelled", 1, {std::nullopt}, "Q"},
        {"a drive that does not open", 7, {}, "Error opening drive|"},
        {"temp.wav chosen", 1, {path("temp.wav")}, "Q" + workingName},
        {"tempslow.wav chosen", 1, {path("TempSlow.wav")}, "Q" + workingName},
        {"No after a refused read", 1, {unwritable}, "QQ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_ = {};
        programState().gvDigCDNum = c.driveNumber;
        for (const auto& file : c.files) {
            prompts_.queueAnswer(forms::Answer::Yes);
            prompts_.queueFile(file);
        }
        prompts_.queueAnswer(forms::Answer::No);

        copy_->mnuDigitalRec_Click();
        deleteUnloaded();

        EXPECT_EQ(boxes(), c.boxes);
        EXPECT_FALSE(QFile::exists(path("temp.wav")));
        EXPECT_FALSE(QFile::exists(path("TempSlow.wav")));
        expectWindowBack();
    }
}

TEST_F(TrackRecordingTest, FromTheFifthRefusedReadOnEachRefusalAdvisesAnalogRecording)
{
    for (int attempt = 1; attempt <= 6; ++attempt) {
        prompts_.queueAnswer(forms::Answer::Yes);
        prompts_.queueFile(path("no such folder/copy.wav"));
        if (attempt >= 5)
            prompts_.queueAnswer(forms::Answer::Ok);
    }
    prompts_.queueAnswer(forms::Answer::No);

    copy_->mnuDigitalRec_Click();
    deleteUnloaded();

    EXPECT_EQ(boxes(), "QQQQQ" + refusedAdvice + "|Q" + refusedAdvice + "|Q");
    expectWindowBack();
}

TEST_F(TrackRecordingTest, AnAbortedCopyEndsQuietlyWithTheCdDeviceOpenAgain)
{
    prompts_.queueAnswer(forms::Answer::Yes);
    prompts_.queueFile(path("copy.wav"));
    QSignalSpy failed(&reader(), &cd::DigitalReader::Failure);
    copy_->mnuDigitalRec_Click();
    ASSERT_TRUE(isLoaded("messages2"));

    // What the progress window's Cancel does once the user confirmed.
    reader().abort();
    enableMainWindow(true);
    ASSERT_TRUE(failed.wait(20000));

    EXPECT_EQ(failed.at(0).at(0).toInt(), 701);
    EXPECT_EQ(prompts_.messageBoxes().size(), 1u); // the question before the copy only
    EXPECT_EQ(forms::screenMousePointer(), Qt::ArrowCursor);
    EXPECT_NE(rig().CDControl->mode(), static_cast<int>(mci::Mode::NotOpen));
}

TEST_F(TrackRecordingTest, AFailedReadOffersAnalogRecordingAndReturnsToTheCdView)
{
    Message2(QStringLiteral("Saving track 2 to disk"), QStringLiteral("ACD"));
    rig().state().cdView = false;
    prompts_.queueAnswer(forms::Answer::Yes);
    programState().gvRecordMode = 1;

    events_->ACD1_Failure(5, QStringLiteral("The drive stopped answering"));

    ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
    EXPECT_TRUE(prompts_.messageBoxes()[0].text.contains(
        "The process returned error code 5: The drive stopped answering. Usually"));
    EXPECT_EQ(programState().gvRecordMode, 2);
    EXPECT_EQ(storedPreference("RecordMode")->bytes(), "2");
    EXPECT_TRUE(rig().state().cdView);
    EXPECT_FALSE(isLoaded("messages2"));
}

} // namespace
} // namespace lentaro::test
