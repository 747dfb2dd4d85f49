#include "tests/mainwindow/wave_window_fixture.h"

#include "app/programstate.h"
#include "app/windowhelpers.h"
#include "mainwindow/tmstext.h"
#include "platform/cd/DriveList.h"
#include "platform/cd/ImageDrive.h"
#include "platform/mci/MMControl.h"
#include "tests/app/cd_drive_fixture.h"
#include "tests/platform/cd/support/cd_image_writer.h"
#include "tests/support/named_control.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <chrono>
#include <memory>
#include <optional>

namespace lentaro::test {
namespace {

constexpr int playingMode = static_cast<int>(mci::Mode::Playing);
constexpr int stoppedMode = static_cast<int>(mci::Mode::Stopped);

TEST(To4byte, PacksTrackMinutesAndSecondsWithFramesZero)
{
    struct Case {
        const char* text;
        int packed;
    };
    const Case cases[] = {
        {"03:02:10", 3 + 2 * 256 + 10 * 65536},
        {"12", 12},
        {"", 0},
        {"04:02:05", 4 + 2 * 256 + 5 * 65536},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(to4byte(QString::fromLatin1(c.text)), c.packed) << c.text;
        if (QString::fromLatin1(c.text).size() == 8) {
            EXPECT_EQ(tmsText(c.packed), QString::fromLatin1(c.text));
        }
    }
}

class Transport : public WaveWindowTest
{
protected:
    // The window in the "Wave" view of a file `seconds` long.
    frmMain& waveView(int seconds)
    {
        frmMain& main = started();
        openThroughMenu(main, secondsWave(path(QStringLiteral("music/song.wav")), seconds));
        EXPECT_FALSE(main.state().cdView);
        return main;
    }
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
    static void drag(frmMain& main, int to)
    {
        control<QScrollBar>(main, "sbTrackPos")->setSliderDown(true);
        control<QScrollBar>(main, "sbTrackPos")->setSliderPosition(to);
    }
    static void release(frmMain& main)
    {
        control<QScrollBar>(main, "sbTrackPos")->setSliderDown(false);
    }
    int playLoops() const { return sides_.calls.count(QStringLiteral("playLoop(False)")); }
    // Plays on to `ms` into the file, then waits for the wave device's next report.
    void playTo(frmMain& main, int ms)
    {
        ASSERT_TRUE(playUntil(
            [&] { return control<mci::MMControl>(main, "WaveControl")->position() >= ms; }));
        bool reported = false;
        const QMetaObject::Connection report =
            QObject::connect(control<mci::MMControl>(main, "WaveControl"),
                             &mci::MMControl::statusUpdate, [&reported] { reported = true; });
        EXPECT_TRUE(runUntil([&] { return reported; }));
        QObject::disconnect(report);
    }
};

// Dragging the thumb shows the time under it and seeks where it is let go.
TEST_F(Transport, ADragInTheWaveViewPlaysFromWhereItIsLetGo)
{
    frmMain& main = waveView(100);
    ASSERT_EQ(control<QScrollBar>(main, "sbTrackPos")->maximum(), 100);
    drag(main, 75);
    EXPECT_EQ(control<QLineEdit>(main, "txtCurrentPosition")->text(), QStringLiteral("01:15"));
    EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->updateInterval(), 0);
    EXPECT_NE(control<mci::MMControl>(main, "WaveControl")->mode(), playingMode);
    release(main);

    EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->mode(), playingMode);
    EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->updateInterval(), 500);
    EXPECT_TRUE(programState().gvLoopHighlight);
    ASSERT_TRUE(playUntil([&] { return !heard().empty(); }));
    EXPECT_EQ(heard().front(), 76); // second 75 of the file
}

// A drag let go where it began seeks nothing but brings the reports back; a value set by the
// position reports or the arrows never seeks.
TEST_F(Transport, ADragLetGoWhereItBeganOrAValueSetOtherwiseSeeksNothing)
{
    frmMain& main = waveView(100);
    control<QScrollBar>(main, "sbTrackPos")->setValue(20);
    drag(main, 30);
    drag(main, 20);
    release(main);
    EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->mode(), stoppedMode);
    EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->updateInterval(), 500);

    control<QScrollBar>(main, "sbTrackPos")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    main.updatePosition();
    EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->mode(), stoppedMode);
    EXPECT_EQ(control<QScrollBar>(main, "sbTrackPos")->value(), 0);
    EXPECT_EQ(control<QLineEdit>(main, "txtCurrentPosition")->text(), QStringLiteral("00:00"));
}

// The Wave view shows where its own file stands from the first moment: not the CD view's text
// before the first report, nor the last file's time once another opens.
TEST_F(Transport, ThePositionBoxShowsTheOpenFilesOwnPositionFromTheFirstMoment)
{
    frmMain& main = started();
    // As the CD view leaves it.
    control<QLineEdit>(main, "txtCurrentPosition")->setText(QStringLiteral("01:00:00"));
    openThroughMenu(main, secondsWave(path(QStringLiteral("music/song.wav")), 5));
    EXPECT_EQ(control<QLineEdit>(main, "txtCurrentPosition")->text(), QStringLiteral("00:00"));
    EXPECT_EQ(control<QScrollBar>(main, "sbTrackPos")->value(), 0);

    QTest::keyClick(control<QScrollBar>(main, "sbTrackPos"), Qt::Key_Space);
    playTo(main, 2000);
    QTest::keyClick(control<QScrollBar>(main, "sbTrackPos"), Qt::Key_Space);
    ASSERT_EQ(control<QLineEdit>(main, "txtCurrentPosition")->text(), QStringLiteral("00:02"));
    openThroughMenu(main, secondsWave(path(QStringLiteral("music/other.wav")), 3));
    EXPECT_EQ(control<QLineEdit>(main, "txtCurrentPosition")->text(), QStringLiteral("00:00"));
    EXPECT_EQ(control<QScrollBar>(main, "sbTrackPos")->value(), 0);
}

// The status bar follows Space at once: a file that plays says so, a stopped one no longer
// does, though no report comes after the stop.
TEST_F(Transport, TheStatusTextFollowsPlayAndStop)
{
    frmMain& main = waveView(5);
    const QString file =
        QStringLiteral("Wave file ") + control<mci::MMControl>(main, "WaveControl")->fileName();
    QTest::keyClick(control<QScrollBar>(main, "sbTrackPos"), Qt::Key_Space);
    EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text(), file + QStringLiteral(" playing"));
    playTo(main, 1000);
    EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text(), file + QStringLiteral(" playing"));
    QTest::keyClick(control<QScrollBar>(main, "sbTrackPos"), Qt::Key_Space);
    EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text(), file);
    QTest::qWait(2 * frmMain::liveUpdateInterval);
    EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text(), file);
}

// Space in the "Wave" view plays the file once, as it is; in "SlowPlay" the end of each play
// starts the loop again until the toggle stops it.
TEST_F(Transport, TheToggleRepeatsOnlyInSlowPlay)
{
    frmMain& main = waveView(1);
    main.togglePlayState();
    EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->mode(), playingMode);
    ASSERT_TRUE(playUntil(
        [&] { return control<mci::MMControl>(main, "WaveControl")->mode() == stoppedMode; }));
    main.WaveControl_StatusUpdate();
    EXPECT_EQ(playLoops(), 0);
    EXPECT_EQ(heard(), std::vector<std::int16_t>(8000, 1));
    EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text(),
              QStringLiteral("Wave file ")
                  + control<mci::MMControl>(main, "WaveControl")->fileName());

    main.changeToMode(QStringLiteral("SlowPlay"));
    control<mci::MMControl>(main, "WaveControl")
        ->setFileName(path(QStringLiteral("music/song.wav")));
    control<mci::MMControl>(main, "WaveControl")->setWait(true);
    control<mci::MMControl>(main, "WaveControl")->setCommand(QStringLiteral("Open"));
    main.togglePlayState();
    EXPECT_TRUE(programState().gvPlayState.state().toBool());
    ASSERT_TRUE(playUntil([&] { return playLoops() == 1; }));
    main.togglePlayState();
    EXPECT_FALSE(programState().gvPlayState.state().toBool());
    EXPECT_NE(control<mci::MMControl>(main, "WaveControl")->mode(), playingMode);
    main.WaveControl_Done(1);
    EXPECT_EQ(playLoops(), 1);
}

// Only a command that finished repeats the loop.
TEST_F(Transport, ADoneOtherThanFinishedNeverRepeats)
{
    frmMain& main = waveView(1);
    for (int code : {2, 4, 8}) {
        programState().gvPlayState.setState(true);
        main.WaveControl_Done(code);
        EXPECT_EQ(playLoops(), 0) << code;
    }
    main.WaveControl_Done(1);
    EXPECT_EQ(playLoops(), 1);
}

// The CD view over a drive D: holding a generated disc: three 4-second tracks and a fourth of
// 130 seconds from LSN 900, every sample carrying its disc sample index.
class CdTransport : public Transport
{
protected:
    static constexpr int track4Lsn = 900;
    static constexpr int framesPerSecond = 75;
    static constexpr int samplesPerFrame = 588;
    static constexpr int tmsfFormat = 10;

    void SetUp() override
    {
        Transport::SetUp();
        cd::test::ImageSpec disc;
        disc.tracks = {{300, 0, false}, {300, 0, false}, {300, 0, false}, {130 * 75, 0, false}};
        std::vector<std::unique_ptr<cd::Drive>> list;
        list.push_back(std::make_unique<cd::ImageDrive>(
            cd::test::writeImage(home().toStdString(), "disc", disc)));
        drives_ = cd::DriveList(std::move(list));
        drivesInPlace_.emplace(cd::cdDrives, drives_);
    }

    // The started window in the "CD" view with the disc open, stopped at `tmsf`.
    frmMain& cdView(int tmsf)
    {
        frmMain& main = started();
        EXPECT_TRUE(main.state().cdView);
        openCdDrive(*control<mci::MMControl>(main, "CDControl"));
        mci::MMControl& cd = *control<mci::MMControl>(main, "CDControl");
        cd.setTimeFormat(tmsfFormat);
        cd.setTo(tmsf);
        cd.setWait(true);
        cd.setCommand(QStringLiteral("Seek"));
        EXPECT_EQ(cd.error(), 0) << cd.errorMessage().toStdString();
        control<QScrollBar>(main, "sbTrackPos")->setRange(0, 130);
        return main;
    }
    // The disc sample index of the first sample heard.
    std::int64_t firstIndexHeard() const
    {
        const std::vector<std::int16_t> samples = heard();
        return samples.size() < 2 ? -1 : cd::test::sampleIndexOf(samples[0], samples[1]);
    }

    cd::DriveList drives_;
    std::optional<ScopedOverride<cd::DriveList>> drivesInPlace_;
};

// The label shows the track, minutes and seconds; a drag changes only the minutes and seconds,
// and letting go plays the same track from there.
TEST_F(CdTransport, ADragPlaysTheSameTrackFromWhereItIsLetGo)
{
    frmMain& main = cdView(to4byte(QStringLiteral("04:00:10")));
    main.updatePosition();
    ASSERT_EQ(control<QLineEdit>(main, "txtCurrentPosition")->text(), QStringLiteral("04:00:10"));
    EXPECT_EQ(control<QScrollBar>(main, "sbTrackPos")->value(), 10);

    drag(main, 125);
    EXPECT_EQ(control<QLineEdit>(main, "txtCurrentPosition")->text(), QStringLiteral("04:02:05"));
    EXPECT_EQ(control<mci::MMControl>(main, "CDControl")->updateInterval(), 0);
    EXPECT_TRUE(heard().empty());
    release(main);

    EXPECT_EQ(control<mci::MMControl>(main, "CDControl")->mode(), playingMode);
    EXPECT_EQ(control<mci::MMControl>(main, "CDControl")->updateInterval(), 500);
    EXPECT_TRUE(programState().gvLoopHighlight);
    ASSERT_TRUE(playUntil([&] { return heard().size() >= 2; }));
    EXPECT_EQ(firstIndexHeard(), std::int64_t{track4Lsn + 125 * framesPerSecond} * samplesPerFrame);
    main.updatePosition();
    EXPECT_EQ(control<QLineEdit>(main, "txtCurrentPosition")->text(), QStringLiteral("04:02:05"));
    EXPECT_EQ(control<QScrollBar>(main, "sbTrackPos")->value(), 125);
}

// A CD drag let go where it began keeps the device as it was and brings the reports back.
TEST_F(CdTransport, ADragLetGoWhereItBeganSeeksNothing)
{
    frmMain& main = cdView(to4byte(QStringLiteral("04:00:10")));
    main.updatePosition();
    drag(main, 40);
    drag(main, 10);
    release(main);
    EXPECT_EQ(control<mci::MMControl>(main, "CDControl")->mode(), stoppedMode);
    EXPECT_EQ(control<mci::MMControl>(main, "CDControl")->updateInterval(), 500);
    EXPECT_EQ(control<QLineEdit>(main, "txtCurrentPosition")->text(), QStringLiteral("04:00:10"));
    EXPECT_TRUE(heard().empty());
}

// Position 1 (track 1 at 00:00:00) is what the drive answers before it knows where it is: the
// label and the thumb stay where they were.
TEST_F(CdTransport, PositionOneLeavesTheLabel)
{
    frmMain& main = cdView(to4byte(QStringLiteral("04:00:10")));
    main.updatePosition();
    control<mci::MMControl>(main, "CDControl")->setTimeFormat(tmsfFormat);
    control<mci::MMControl>(main, "CDControl")->setTo(1);
    control<mci::MMControl>(main, "CDControl")->setWait(true);
    control<mci::MMControl>(main, "CDControl")->setCommand(QStringLiteral("Seek"));
    ASSERT_EQ(control<mci::MMControl>(main, "CDControl")->position(), 1);

    main.updatePosition();
    EXPECT_EQ(control<QLineEdit>(main, "txtCurrentPosition")->text(), QStringLiteral("04:00:10"));
    EXPECT_EQ(control<QScrollBar>(main, "sbTrackPos")->value(), 10);
}

// The end of an analog loop recording saves temp.wav and hands it to "SlowPlay", which starts
// at once with AutoSlow on; a recording that cannot be saved is reported and leaves the window
// usable.
TEST_F(Transport, TheEndOfAnAnalogRecordingSavesItAndEntersSlowPlay)
{
    struct Case {
        const char* name;
        QString file;
        bool autoSlow;
        bool saved;
    };
    const Case cases[] = {
        {"AutoSlow on", path(QStringLiteral("temp.wav")), true, true},
        {"AutoSlow off", path(QStringLiteral("temp.wav")), false, true},
        {"folder missing", path(QStringLiteral("gone/temp.wav")), true, false},
    };
    frmMain& main = started();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(c.file);
        main.changeToMode(QStringLiteral("CD"));
        sides_.calls.clear();
        programState().gvAutoSlow = c.autoSlow;
        mci::MMControl& wave = *control<mci::MMControl>(main, "WaveControl");
        wave.setWait(true);
        wave.setCommand(QStringLiteral("Close"));
        wave.setFileName(c.file);
        wave.setWait(true);
        wave.setCommand(QStringLiteral("open"));
        ASSERT_EQ(wave.setWaveFormat(1, 1, 8000, 16000, 2, 16), 0);
        wave.setWait(false);
        wave.setNotify(true);
        wave.setCommand(QStringLiteral("Record"));
        ASSERT_EQ(wave.error(), 0) << wave.errorMessage().toStdString();
        programState().gvRecordingInProgress = true;
        clock_->advance(std::chrono::milliseconds(200));
        wave.setWait(true);
        wave.setCommand(QStringLiteral("Stop"));
        ASSERT_TRUE(runUntil([] { return !programState().gvRecordingInProgress; }));

        EXPECT_FALSE(isLoaded(QStringLiteral("messages2")));
        EXPECT_TRUE(main.isEnabled());
        EXPECT_EQ(programState().gvSlowMode, c.saved);
        EXPECT_EQ(QFile::exists(c.file), c.saved);
        EXPECT_EQ(sides_.calls.contains(QStringLiteral("btnLoopPlay_Click")),
                  c.saved && c.autoSlow);
        if (c.saved) {
            QFile saved(c.file);
            ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
            EXPECT_TRUE(saved.read(4) == "RIFF");
        } else {
            EXPECT_NE(trappedError(), 0);
        }
    }
}

} // namespace
} // namespace lentaro::test
