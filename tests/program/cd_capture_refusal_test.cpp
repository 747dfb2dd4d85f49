#include "program/programsides.h"

#include "app/programstate.h"
#include "app/windowhelpers.h"
#include "app/workingfiles.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/mainstate.h"
#include "platform/cd/DriveList.h"
#include "platform/cd/ImageDrive.h"
#include "platform/mci/MMControl.h"
#include "platform/mci/TransportBar.h"
#include "tests/cd/support/four_track_disc.h"
#include "tests/mainwindow/main_window_fixture.h"
#include "tests/platform/cd/support/cd_image_writer.h"
#include "tests/program/person.h"
#include "tests/support/named_control.h"

#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace lentaro::test {

namespace {

// Track 5 of the disc: five seconds of data after the four tracks of tones.
constexpr int dataTrackStartMs = 2000 + 4 * trackSeconds * 1000;

// The program as composed, started on the four-track disc with a data track after it, in D:, the
// null sound card eight times faster than real time.
class CdCaptureRefusal : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        for (const char* name : {"LENTARO_AUDIO", "LENTARO_AUDIO_SPEED"})
            environment_.emplace_back(name, qEnvironmentVariableIsSet(name)
                                                ? std::optional<QByteArray>(qgetenv(name))
                                                : std::nullopt);
        qputenv("LENTARO_AUDIO", "null");
        qputenv("LENTARO_AUDIO_SPEED", "8");
        ASSERT_TRUE(images_.isValid());
        cd::test::ImageSpec disc = fourTrackDisc();
        disc.tracks.push_back({5 * cd::framesPerSecond, 0, true});
        const std::filesystem::path cue =
            cd::test::writeImage(images_.path().toStdString(), "disc", disc);
        std::vector<std::unique_ptr<cd::Drive>> drives;
        drives.push_back(std::make_unique<cd::ImageDrive>(cue));
        drives_ = cd::DriveList(std::move(drives));
        drivesInPlace_.emplace(cd::cdDrives, drives_);
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        drivesInPlace_.reset();
        for (const auto& [name, value] : environment_) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }
    MainWindowSides makeSides(frmMain& main) override { return programSides(main); }

    // The disc's one loop, from start to end, chosen in the loop grid.
    void loopChosen(frmMain& main, int start, int end)
    {
        QSqlQuery query(main.state().database());
        ASSERT_TRUE(query.exec(QStringLiteral("DELETE FROM LoopPoints")));
        ASSERT_TRUE(query.exec(QStringLiteral("INSERT INTO LoopPoints (CDid, startTime, endTime, "
                                              "TrackNum, Comment) VALUES (%1, %2, %3, 3, 'x')")
                                   .arg(main.state().currentCDid)
                                   .arg(start)
                                   .arg(end)));
        main.cd().refreshDisplayForNewCD();
        QTableView& loops = *control<QTableView>(main, "loopPoints");
        ASSERT_EQ(loops.model()->rowCount(), 1);
        QTest::mouseClick(loops.viewport(), Qt::LeftButton, {},
                          loops.visualRect(loops.model()->index(0, 1)).center());
    }

    QTemporaryDir images_;
    cd::DriveList drives_;
    std::optional<ScopedOverride<cd::DriveList>> drivesInPlace_;
    // The variables as the test found them.
    std::vector<std::pair<const char*, std::optional<QByteArray>>> environment_;
};

TEST_F(CdCaptureRefusal, ALoopThatCannotBeRecordedEndsTheCaptureWithItsMessage)
{
    struct Case {
        const char* name;
        int recordMode;
        int start;
        int end;
        const char* box; // "" for none
        const char* pnlMsg;
        bool lastCaptureKept;
    };
    const int inTrack3 = 2000 + 2 * trackSeconds * 1000 + 1000;
    const Case cases[] = {
        {"no length", 2, inTrack3, inTrack3,
         "The loop has no length: its end is at its start. Nothing was recorded.", "", true},
        {"reversed", 2, inTrack3 + 500, inTrack3,
         "Sorry, there's a loop problem. Endpoints are wrong.", "", true},
        {"past the disc's end", 2, dataTrackStartMs - 2000, dataTrackStartMs + 30000, "",
         "Nothing was recorded: the loop could not be played.", false},
        {"in the data track, analog", 2, dataTrackStartMs + 1000, dataTrackStartMs + 3000,
         "Track 5 is a data track: it holds no audio to record.", "", true},
        {"in the data track, digital", 1, dataTrackStartMs + 1000, dataTrackStartMs + 3000,
         "Track 5 is a data track: it holds no audio to record.", "", true},
    };
    frmMain& main = started();
    ASSERT_EQ(control<QLabel>(main, "pnlMsg")->text(), QStringLiteral("CD Found"));
    ASSERT_TRUE(programState().gvDigitalRecordingOK);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_ = {};
        writeFile(QStringLiteral("temp.wav"), "the last capture");
        programState().gvRecordMode = c.recordMode;
        loopChosen(main, c.start, c.end);
        const QString statusBefore = control<QLabel>(main, "pnlMsg")->text();

        click(control<QPushButton>(main, "cmdSlowPlay"));

        EXPECT_EQ(shownMessages(), *c.box ? QStringList{QString::fromUtf8(c.box)} : QStringList());
        EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text(),
                  *c.pnlMsg ? QString::fromUtf8(c.pnlMsg) : statusBefore);
        if (c.lastCaptureKept) {
            EXPECT_EQ(readFile(QStringLiteral("temp.wav")), QByteArray("the last capture"));
        }
        EXPECT_FALSE(programState().gvRecordingInProgress);
        EXPECT_FALSE(isLoaded(QStringLiteral("messages2")));
        EXPECT_TRUE(main.isEnabled());
        // A later end of the CD device's play takes nothing anywhere.
        click(control<mci::MMControl>(main, "CDControl")->bar()->button(mci::Button::Stop));
        QTest::qWait(200);
        EXPECT_TRUE(main.state().cdView);
        EXPECT_FALSE(programState().gvSlowMode);
        EXPECT_FALSE(programState().gvRecordingInProgress);
    }
}

} // namespace
} // namespace lentaro::test
