#include "tests/program/program_fixture.h"

#include "app/frmOptions.h"
#include "app/programstate.h"
#include "app/workingfiles.h"
#include "cd/mp3form.h"
#include "cd/recordForm.h"
#include "loops/makeLoopPoints.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/mainstate.h"
#include "platform/cd/DriveList.h"
#include "platform/cd/ImageDrive.h"
#include "platform/mci/MMControl.h"
#include "platform/mci/TransportBar.h"
#include "tests/app/test_database.h"
#include "tests/cd/support/four_track_disc.h"
#include "tests/cd/support/mp3_maker.h"
#include "tests/engine/support/tone.h"
#include "tests/platform/cd/support/cd_image_writer.h"
#include "tests/platform/mci/wave_rig.h"
#include "tests/program/person.h"
#include "tests/support/named_control.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlTableModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <optional>

namespace lentaro::test {
namespace {

const double bridgeTone = trackTones[2];

// A wave file's length in seconds and the pitch of its first channel over its middle half.
struct Heard {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    double seconds = 0;
    double pitch = 0;
};
Heard listen(const QString& file)
{
    const mci::test::WaveContents wave = mci::test::readWave(file.toStdString());
    Heard heard{wave.channels, wave.rate, wave.bits};
    if (wave.channels <= 0 || wave.rate <= 0)
        return heard;
    const auto channels = static_cast<std::size_t>(wave.channels);
    std::vector<double> first;
    for (std::size_t at = 0; at < wave.samples.size(); at += channels)
        first.push_back(wave.samples[at]);
    heard.seconds = double(first.size()) / wave.rate;
    heard.pitch =
        kvtest::measureFrequency(first, wave.rate, first.size() / 4, first.size() * 3 / 4);
    return heard;
}

// The disc's stereo samples from `first` on, `frames` of them, as the image holds them.
std::vector<std::int32_t> imageSamples(const std::filesystem::path& cue, std::size_t first,
                                       std::size_t frames)
{
    std::filesystem::path bin = cue;
    bin.replace_extension(".bin");
    QFile file(QString::fromStdString(bin.string()));
    if (!file.open(QIODevice::ReadOnly) || !file.seek(qint64(first) * 4))
        return {};
    const QByteArray bytes = file.read(qint64(frames) * 4);
    std::vector<std::int32_t> samples;
    for (qsizetype at = 0; at + 1 < bytes.size(); at += 2)
        samples.push_back(std::int16_t(quint8(bytes[at]) | quint8(bytes[at + 1]) << 8));
    return samples;
}

// Whether the stereo capture holds `loop` twice in a row, sample for sample, from somewhere within
// half a loop of frame `about`.
bool holdsTwice(const std::vector<std::int32_t>& capture, const std::vector<std::int32_t>& loop,
                std::size_t about)
{
    const std::size_t frames = loop.size() / 2;
    if (frames == 0)
        return false;
    for (std::size_t start = about > frames / 2 ? about - frames / 2 : 0;
         start <= about + frames / 2; ++start) {
        if (2 * start + 2 * loop.size() > capture.size())
            return false;
        std::size_t at = 0;
        while (at < 2 * loop.size() && capture[2 * start + at] == loop[at % loop.size()])
            ++at;
        if (at == 2 * loop.size())
            return true;
    }
    return false;
}

// A disc of four 15-second tracks, each its own tone, in drive D:, as the program finds it, used
// by a person from its arrival to a second start of the program. The CD device plays, and the
// engine slows, eight times faster than real time.
class CdRoundTrip : public ProgramInUse
{
protected:
    void SetUp() override
    {
        ProgramInUse::SetUp();
        qputenv("LENTARO_AUDIO_SPEED", "8");
        ASSERT_TRUE(images_.isValid());
        cue_ = cd::test::writeImage(images_.path().toStdString(), "disc", fourTrackDisc());
        ASSERT_TRUE(fillWithTones(cue_));
        std::vector<std::unique_ptr<cd::Drive>> drives;
        drives.push_back(std::make_unique<cd::ImageDrive>(cue_));
        drives_ = cd::DriveList(std::move(drives));
        drivesInPlace_.emplace(cd::cdDrives, drives_);
    }
    void TearDown() override
    {
        drivesInPlace_.reset();
        ProgramInUse::TearDown();
        qunsetenv("LENTARO_AUDIO_SPEED");
    }

    static QSqlTableModel& tracks() { return *main().state().dtaTracks; }
    // The names the grid shows, by track.
    static QStringList trackNames()
    {
        QStringList names;
        for (int row = 0; row < tracks().rowCount(); ++row)
            names
                << tracks().data(tracks().index(row, tracks().fieldIndex("TrackName"))).toString();
        return names;
    }
    static QModelIndex nameOf(int track)
    {
        for (int row = 0; row < tracks().rowCount(); ++row) {
            if (tracks().data(tracks().index(row, tracks().fieldIndex("TrackNum"))).toInt()
                == track)
                return tracks().index(row, tracks().fieldIndex("TrackName"));
        }
        return {};
    }
    // The comments of the disc's loops, as the loop list holds them.
    static QStringList loopComments()
    {
        QSqlTableModel& loops = *main().state().dtaLoopPoints;
        QStringList comments;
        for (int row = 0; row < loops.rowCount(); ++row)
            comments << loops.data(loops.index(row, loops.fieldIndex("Comment"))).toString();
        return comments;
    }
    static bool showsDisc()
    {
        return startedUp()
               && control<QLabel>(main(), "pnlMsg")->text() == QStringLiteral("CD Found")
               && tracks().rowCount() == 4;
    }
    static void clickCell(const QModelIndex& cell)
    {
        QTableView& grid = *control<QTableView>(main(), "tgTracks");
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(cell).center());
    }
    static void clickEject()
    {
        click(control<mci::MMControl>(main(), "CDControl")->bar()->button(mci::Button::Eject));
    }
    // Where the CD device is, in ms, read without changing the time format the program left it
    // in.
    static int cdPositionMs()
    {
        mci::MMControl& cd = *control<mci::MMControl>(main(), "CDControl");
        const int format = cd.timeFormat();
        cd.setTimeFormat(0);
        const int position = cd.position();
        cd.setTimeFormat(format);
        return position;
    }
    QStringList storedNames()
    {
        TestDatabase db(path(QStringLiteral("lentaro.mdb")));
        return db.rows(QStringLiteral("SELECT TrackName FROM Tracks WHERE CDid = %1 ORDER BY "
                                      "TrackNum")
                           .arg(CDid_));
    }
    // Transform on the current loop: captured, slowed to the speed shown and replayed.
    static Person::Step transformed(const QString& name, const std::function<void()>& check)
    {
        return {name,
                [] {
                    QTableView& loops = *control<QTableView>(main(), "loopPoints");
                    QTest::mouseClick(loops.viewport(), Qt::LeftButton, {},
                                      loops.visualRect(loops.model()->index(0, 1)).center());
                    click(control<QPushButton>(main(), "cmdSlowPlay"));
                },
                [] {
                    // The replay of the pass just made, not of an earlier one.
                    return programState().gvSlowedFileReady
                           && control<mci::MMControl>(main(), "WaveControl")->fileName()
                                  == tempSlowWav()
                           && control<QLabel>(main(), "pnlMsg")->text()
                                  == QStringLiteral("Playing loop at 50% of original speed.");
                },
                check};
    }
    static Person::Step backToTheCdView()
    {
        return {QStringLiteral("cd-view"),
                [] {
                    choose(main(), {QStringLiteral("View"), QStringLiteral("CD View"),
                                    QStringLiteral("Normal")});
                },
                [] { return main().state().cdView; },
                {}};
    }
    // Settings, Recording: analog.
    static Person::Step analogChosen()
    {
        return {QStringLiteral("analog-chosen"),
                [] {
                    WhenModal settings([](QWidget& modal) {
                        auto& dialog = dynamic_cast<frmOptions&>(modal);
                        clickTab(*dialog.tabOptions, QStringLiteral("Recording"));
                        click(captioned<QRadioButton>(dialog, QStringLiteral("Analog")));
                        saveScreenshot(dialog, QStringLiteral("06-settings-recording-page"));
                        click(captioned<QPushButton>(dialog, QStringLiteral("Close")));
                    });
                    choose(main(), {QStringLiteral("Settings")});
                    EXPECT_TRUE(settings.acted());
                },
                [] { return QApplication::activeModalWidget() == nullptr; },
                [] { EXPECT_EQ(programState().gvRecordMode, 2); }};
    }

    QTemporaryDir images_;
    cd::DriveList drives_;
    std::optional<ScopedOverride<cd::DriveList>> drivesInPlace_;
    int CDid_ = 0;
    std::filesystem::path cue_;
};

const QStringList named{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("Bridge"),
                        QStringLiteral("4")};

const QStringList loop{QStringLiteral("Bridge - Entire Track")};

TEST_F(CdRoundTrip, TheDiscItsNamesAndLoopComeBackAfterEjectAndRestartAndAnMp3Converts)
{
    const std::vector<Person::Step> firstRun{
        {QStringLiteral("disc-found"),
         {},
         [] { return showsDisc(); },
         [&] {
             EXPECT_TRUE(main().state().cdView);
             EXPECT_EQ(main().windowTitle(), QStringLiteral("Lentaro - CD Title"));
             EXPECT_EQ(control<QLabel>(main(), "pnlCDlength")->text(),
                       QStringLiteral("CD Length: 01:00"));
             EXPECT_EQ(trackNames(), (QStringList{"1", "2", "3", "4"}));
             CDid_ = main().state().currentCDid;
             EXPECT_NE(CDid_, 0);
         }},
        {QStringLiteral("track-named"),
         [] {
             // Selects the track and types; the name is kept on clicking another cell.
             QTableView& grid = *control<QTableView>(main(), "tgTracks");
             clickCell(nameOf(3));
             QTest::keyClicks(&grid, QStringLiteral("B"));
             auto* editor = grid.viewport()->findChild<QLineEdit*>();
             ASSERT_NE(editor, nullptr);
             QTest::keyClicks(editor, QStringLiteral("ridge"));
             clickCell(nameOf(1));
         },
         [&] { return storedNames() == named; }, [] { EXPECT_EQ(trackNames(), named); }},
        {QStringLiteral("loop-made"),
         [] {
             // Track 3 selected, its menu: a loop of the whole track.
             clickCell(nameOf(3));
             QTableView& grid = *control<QTableView>(main(), "tgTracks");
             emit grid.customContextMenuRequested(grid.visualRect(nameOf(3)).center());
             QMenu& menu = *control<QMenu>(main(), "mnuTrackGridPopup");
             ASSERT_TRUE(menu.isVisible());
             for (QAction* item : menu.actions()) {
                 if (readCaption(item->text()) == QStringLiteral("Make a Loop for this track"))
                     item->trigger();
             }
             menu.close();
         },
         [] { return loopComments() == loop; },
         [this] {
             // Track 3 on the CD's scale: after two seconds of lead-in and two tracks.
             TestDatabase db(path(QStringLiteral("lentaro.mdb")));
             EXPECT_EQ(db.rows(QStringLiteral("SELECT startTime, endTime, TrackNum FROM "
                                              "LoopPoints WHERE CDid = %1")
                                   .arg(CDid_)),
                       QStringList{QStringLiteral("32000|47000|3")});
         }},
        transformed(QStringLiteral("digital-slowed"),
                    [] {
                        // Read from the disc as it is: stereo; the slowed file twice as long.
                        EXPECT_FLOAT_EQ(programState().gvExpansionFactor, 1.0f);
                        const Heard temp = listen(tempWav());
                        EXPECT_EQ(temp.channels, 2);
                        EXPECT_EQ(temp.rate, 44100);
                        EXPECT_EQ(temp.bits, 16);
                        EXPECT_DOUBLE_EQ(temp.seconds, trackSeconds);
                        EXPECT_NEAR(temp.pitch, bridgeTone, bridgeTone / 100);
                        const Heard slowed = listen(tempSlowWav());
                        EXPECT_NEAR(slowed.seconds, 2 * trackSeconds, 0.3);
                        EXPECT_NEAR(slowed.pitch, bridgeTone, bridgeTone / 100);
                    }),
        backToTheCdView(),
        analogChosen(),
        transformed(QStringLiteral("analog-slowed"),
                    [] {
                        // Recorded as the CD device played it: mono at the recording format.
                        EXPECT_FALSE(programState().gvRecordingInProgress);
                        EXPECT_FLOAT_EQ(programState().gvExpansionFactor, 2.0f);
                        const Heard temp = listen(tempWav());
                        EXPECT_EQ(temp.channels, 1);
                        EXPECT_EQ(temp.rate, 44100);
                        EXPECT_EQ(temp.bits, 16);
                        EXPECT_NEAR(temp.seconds, trackSeconds, 0.03);
                        EXPECT_NEAR(temp.pitch, bridgeTone, bridgeTone / 100);
                        const Heard slowed = listen(tempSlowWav());
                        EXPECT_NEAR(slowed.seconds, 2 * trackSeconds, 0.3);
                        EXPECT_NEAR(slowed.pitch, bridgeTone, bridgeTone / 100);
                    }),
        backToTheCdView(),
        {QStringLiteral("ejected"), [] { clickEject(); },
         [] {
             return control<QLabel>(main(), "pnlMsg")->text() == QStringLiteral("No CD in drive");
         },
         [this] {
             EXPECT_TRUE(drives_.drive('D')->trayOpen());
             EXPECT_EQ(tracks().rowCount(), 0);
             EXPECT_EQ(loopComments(), QStringList());
             // Of the transport, Eject alone is left.
             EXPECT_TRUE(control<mci::MMControl>(main(), "CDControl")
                             ->bar()
                             ->button(mci::Button::Eject)
                             ->isEnabled());
             EXPECT_FALSE(control<mci::MMControl>(main(), "CDControl")
                              ->bar()
                              ->button(mci::Button::Play)
                              ->isEnabled());
         }},
        // Eject again closes the tray.
        {QStringLiteral("disc-back"), [] { clickEject(); }, [] { return showsDisc(); },
         [&] {
             EXPECT_EQ(main().state().currentCDid, CDid_);
             EXPECT_EQ(trackNames(), named);
             EXPECT_EQ(loopComments(), loop);
         }},
        exitThroughTheMenu(),
    };
    EXPECT_EQ(run(firstRun, 1), 0);
    endRun();

    // An MP3 of three seconds of 880 Hz, converted next to it.
    constexpr int mp3Frames = 3 * 44100;
    const QString mp3 = images_.filePath(QStringLiteral("tune.mp3"));
    const QString converted = images_.filePath(QStringLiteral("tune.wav"));
    writeMp3(mp3, {44100, 2, mp3Frames, 880.0});
    const QString take = images_.filePath(QStringLiteral("take.wav"));
    QString recorderTitle;
    bool recordEnabled = false;
    QString mp3Length;
    const std::vector<Person::Step> secondRun{
        {QStringLiteral("found-again"),
         {},
         [] { return showsDisc(); },
         [&] {
             EXPECT_EQ(main().state().currentCDid, CDid_);
             EXPECT_EQ(trackNames(), named);
             EXPECT_EQ(loopComments(), loop);
         }},
        // The recorder, a file named for it, closed before anything is recorded.
        {QStringLiteral("recorder"),
         [&] {
             WhenModal recording([&](QWidget& modal) {
                 auto& recorder = dynamic_cast<recordForm&>(modal);
                 prompts_.queueFile(take);
                 click(recorder.cmdChooseFile);
                 recorderTitle = recorder.windowTitle();
                 recordEnabled = recorder.mmWave->buttonEnabled(mci::Button::Record);
                 saveScreenshot(recorder, QStringLiteral("13-recorder-window"));
                 recorder.close();
             });
             choose(main(), {QStringLiteral("Recorder")});
             EXPECT_TRUE(recording.acted());
         },
         [] { return QApplication::activeModalWidget() == nullptr; },
         [&] {
             EXPECT_EQ(recorderTitle, QStringLiteral("Record file take.wav"));
             EXPECT_TRUE(recordEnabled);
             EXPECT_FALSE(QFileInfo::exists(take));
             EXPECT_TRUE(showsDisc());
         }},
        {QStringLiteral("mp3-converted"),
         [&] {
             WhenModal conversion([&](QWidget& modal) {
                 auto& dialog = dynamic_cast<mp3form&>(modal);
                 prompts_.queueFile(mp3);
                 click(dialog.cmdBrowse[0]);
                 mp3Length = dialog.lblMP3length->text();
                 prompts_.queueFile(converted);
                 click(dialog.cmdBrowse[1]);
                 saveScreenshot(dialog, QStringLiteral("14-mp3-conversion-window"));
                 prompts_.queueAnswer(forms::Answer::Yes);
                 click(captioned<QPushButton>(dialog, QStringLiteral("Convert")));
             });
             choose(main(), {QStringLiteral("File"), QStringLiteral("Convert MP3 to Wave File")});
             EXPECT_TRUE(conversion.acted());
         },
         [&] {
             return !main().state().cdView
                    && control<mci::MMControl>(main(), "WaveControl")->fileName() == converted;
         },
         [&] {
             EXPECT_EQ(mp3Length, QStringLiteral("Length: 00:03"));
             EXPECT_EQ(control<QLabel>(main(), "lblMMCtrl")->text(), QStringLiteral("Wave"));
             EXPECT_EQ(control<QLabel>(main(), "pnlTrackLength")->text(),
                       QStringLiteral("Wave File Length 00:03"));
             EXPECT_EQ(main().mruPath(1), converted);
             const mci::test::WaveContents wave = mci::test::readWave(converted.toStdString());
             EXPECT_EQ(wave.channels, 2);
             EXPECT_EQ(wave.samples.size(), std::size_t(2 * mp3Frames));
         }},
        exitThroughTheMenu(),
    };
    EXPECT_EQ(run(secondRun, 12), 0);
    EXPECT_EQ(processEnd_.ends, 2);
    // The one question the person answered.
    EXPECT_EQ(shownMessages(), QStringList{QStringLiteral("Done converting. Open file now?")});
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

// The first start's hint, as a musician follows it: a loop marked live on the disc while track 2
// plays is the disc's, plays with F7, slows with Transform, and comes back with the disc and at
// the next start, chosen.
TEST_F(CdRoundTrip, ALoopMarkedWhileTrack2PlaysPlaysSlowsAndComesBackChosen)
{
    constexpr int track2Start = 2000 + trackSeconds * 1000;
    const double track2Tone = trackTones[1];
    int markedAt = 0;
    int loopStart = 0;
    int loopEnd = 0;
    // The capture's size in bytes at each Done(1) of the CD while F7's loop repeats: roughly
    // where each repetition ends.
    std::vector<qint64> repeatsEndAt;
    const auto loopRows = [this] {
        TestDatabase db(path(QStringLiteral("lentaro.mdb")));
        return db.rows(QStringLiteral("SELECT CDid, TrackNum, startTime, endTime FROM LoopPoints"));
    };
    const auto loopChosen = [] {
        return control<QTableView>(main(), "loopPoints")
            ->selectionModel()
            ->isRowSelected(0, QModelIndex());
    };
    const std::vector<Person::Step> firstRun{
        {QStringLiteral("disc-found"),
         {},
         [] { return showsDisc(); },
         [&] { CDid_ = main().state().currentCDid; }},
        {QStringLiteral("track-2-plays"),
         [] {
             QTableView& grid = *control<QTableView>(main(), "tgTracks");
             const QPoint at = grid.visualRect(nameOf(2)).center();
             QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
             QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, at);
         },
         [] { return cdPositionMs() > track2Start + 1000; },
         {}},
        {QStringLiteral("loop-started"),
         [&] {
             markedAt = cdPositionMs();
             click(control<QPushButton>(main(), "cmdStartNewLoop"));
         },
         [&] {
             auto* maker = qobject_cast<makeLoopPoints*>(QApplication::activeModalWidget());
             // Half a second more than the loop must hold: the click marks the start a moment
             // after markedAt was read, a longer moment on a loaded machine.
             return maker && cdPositionMs() > markedAt + 2500;
         },
         [] {
             saveScreenshot(*QApplication::activeModalWidget(),
                            QStringLiteral("03-make-loop-points-window"));
         }},
        {QStringLiteral("loop-kept"),
         [] {
             QWidget& maker = *QApplication::activeModalWidget();
             click(captioned<QPushButton>(
                 maker, QStringLiteral("Complete Current Loop and Close Window")));
         },
         [] {
             return QApplication::activeModalWidget() == nullptr
                    && main().state().dtaLoopPoints->rowCount() == 1;
         },
         [&] {
             const QStringList rows = loopRows();
             ASSERT_EQ(rows.size(), 1);
             const QStringList fields = rows[0].split('|');
             EXPECT_EQ(fields[0].toInt(), CDid_);
             EXPECT_EQ(fields[1], QStringLiteral("2"));
             loopStart = fields[2].toInt();
             loopEnd = fields[3].toInt();
             // The click marks where the disc is when its handler runs, which a loaded
             // machine can hold back well after markedAt was read, never before it (but for
             // a frame's rounding). A mark at the track's start is more than 1000 ms early.
             EXPECT_GE(loopStart, markedAt - 100);
             EXPECT_LE(loopStart, markedAt + 800);
             EXPECT_GT(loopEnd - loopStart, 2000);
             EXPECT_TRUE(control<QPushButton>(main(), "cmdSlowPlay")->isEnabled());
         }},
        {QStringLiteral("f7-repeats"),
         [&] {
             QObject::connect(control<mci::MMControl>(main(), "CDControl"), &mci::MMControl::done,
                              &main(), [&](int code) {
                                  if (code == 1)
                                      repeatsEndAt.push_back(QFileInfo(capture_).size());
                              });
             press(main(), Qt::Key_F7);
         },
         [&] { return repeatsEndAt.size() >= 4; },
         [&] {
             // The loop of track 2 over and over, each time exactly as long as the loop.
             const mci::test::WaveContents heard = mci::test::readWave(capture_.toStdString());
             ASSERT_EQ(heard.channels, 2);
             const qint64 header = QFileInfo(capture_).size() - qint64(heard.samples.size()) * 2;
             const auto frameAt = [&](qint64 bytes) { return std::size_t(bytes - header) / 4; };
             const std::size_t second = frameAt(repeatsEndAt[0]);
             const std::size_t third = frameAt(repeatsEndAt[1]);
             // Plays start and end at the first sample at or after their ms on the disc's
             // scale, on which the image starts at 2000 ms.
             const auto sampleOf = [](int ms) { return (std::size_t(ms) * 441 + 9) / 10; };
             const std::vector<std::int32_t> loop = imageSamples(
                 cue_, sampleOf(loopStart) - 2 * 44100, sampleOf(loopEnd) - sampleOf(loopStart));
             EXPECT_TRUE(holdsTwice(heard.samples, loop, second));
             std::vector<double> left;
             for (std::size_t frame = second; frame < third; ++frame)
                 left.push_back(heard.samples[2 * frame]);
             EXPECT_NEAR(
                 kvtest::measureFrequency(left, 44100, left.size() / 4, left.size() * 3 / 4),
                 track2Tone, track2Tone / 100);
         }},
        transformed(QStringLiteral("loop-slowed"),
                    [&] {
                        const Heard slowed = listen(tempSlowWav());
                        EXPECT_NEAR(slowed.seconds, 2 * (loopEnd - loopStart) / 1000.0, 0.3);
                        EXPECT_NEAR(slowed.pitch, track2Tone, track2Tone / 100);
                    }),
        // A half step up: the track's pitch, kept on the disc's row of track 2.
        {QStringLiteral("pitch-raised"),
         [] { click(control<QPushButton>(main(), "lblSteps(1)")); },
         [this] {
             TestDatabase db(path(QStringLiteral("lentaro.mdb")));
             return db.rows(QStringLiteral("SELECT lastPitchChange FROM Tracks WHERE CDid = %1 "
                                           "AND TrackNum = 2")
                                .arg(CDid_))
                    == QStringList{QStringLiteral("100")};
         },
         {}},
        {QStringLiteral("cd-view-again"),
         [] { click(control<QPushButton>(main(), "cmdPrevView")); },
         [] { return main().state().cdView; },
         // The slowed loop's status stayed in its view.
         [] { EXPECT_EQ(control<QLabel>(main(), "pnlMsg")->text(), QStringLiteral("CD Found")); }},
        {QStringLiteral("ejected"), [] { clickEject(); },
         [] {
             return control<QLabel>(main(), "pnlMsg")->text() == QStringLiteral("No CD in drive");
         },
         [] { EXPECT_EQ(loopComments(), QStringList()); }},
        {QStringLiteral("tray-closed"), [] { clickEject(); }, [] { return showsDisc(); },
         [&] {
             EXPECT_EQ(main().state().currentCDid, CDid_);
             EXPECT_EQ(main().state().dtaLoopPoints->rowCount(), 1);
             EXPECT_TRUE(loopChosen());
         }},
        exitThroughTheMenu(),
    };
    EXPECT_EQ(run(firstRun, 1), 0);
    endRun();

    const std::vector<Person::Step> secondRun{
        {QStringLiteral("loop-chosen-again"),
         {},
         [] { return showsDisc(); },
         [&] {
             EXPECT_EQ(main().state().currentCDid, CDid_);
             ASSERT_EQ(main().state().dtaLoopPoints->rowCount(), 1);
             EXPECT_TRUE(loopChosen());
         }},
        exitThroughTheMenu(),
    };
    EXPECT_EQ(run(secondRun, 20), 0);
    EXPECT_EQ(processEnd_.ends, 2);
    EXPECT_TRUE(shownMessages().isEmpty()) << shownMessages().join('\n').toStdString();
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

} // namespace
} // namespace lentaro::test
