#include "tests/cd/cd_shown_rig_fixture.h"
#include "tests/cd/counting_loops.h"

#include "app/programstate.h"
#include "cd/datatracks.h"
#include "mainwindow/gridediting.h"
#include "mainwindow/liveupdate.h"
#include "mainwindow/mainstate.h"
#include "platform/mci/MMControl.h"
#include "platform/mci/TransportBar.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>

namespace lentaro::test {

namespace {

using namespace std::chrono_literals;
using cd::test::ImageSpec;

constexpr int framesPerSecond = 75;

// Six tracks of 3 s each.
ImageSpec sixTrackDisc()
{
    ImageSpec spec;
    for (int track = 0; track < 6; ++track)
        spec.tracks.push_back({3 * framesPerSecond, 0, false});
    return spec;
}

bool playingNow(mci::MMControl& cd)
{
    return cd.mode() == static_cast<int>(mci::Mode::Playing);
}

// The track the CD device stands on, read as the position label reads it.
int deviceTrack(mci::MMControl& cd)
{
    cd.setTimeFormat(10);
    return cd.position() & 0xff;
}

// The track whose start the next Play starts from; 0 for none.
int cuedTrack(mci::MMControl& cd)
{
    cd.setTimeFormat(0);
    const int from = cd.from();
    for (int track = 1; track <= cd.tracks(); ++track) {
        cd.setTrack(track);
        if (cd.trackPosition() == from)
            return track;
    }
    return 0;
}

// Plays track n as a double click in the grid does.
class CdTransportTest : public CdShownRigTest
{
protected:
    void press(void (mci::MMControl::*button)(bool&))
    {
        bool cancel = false;
        emit(rig().CDControl->*button)(cancel);
        EXPECT_TRUE(cancel);
    }
};

struct NextPrevCase {
    const char* name;
    const char* position;
    bool next;
    bool playing;
    int track;
};

void PrintTo(const NextPrevCase& c, std::ostream* out)
{
    *out << c.name;
}

class NextPrev : public CdTransportTest, public ::testing::WithParamInterface<NextPrevCase>
{};

TEST_P(NextPrev, GoesToTheTrackAndKeepsPlayingOrStopped)
{
    const NextPrevCase& c = GetParam();
    showDiscs({sixTrackDisc()});
    mci::MMControl& cd = *rig().CDControl;
    const int shown = QString::fromLatin1(c.position).left(2).toInt();
    if (c.playing)
        doubleClick(cellOf(shown, "TrackNum"));
    ASSERT_EQ(playingNow(cd), c.playing);
    rig().txtCurrentPosition->setText(QLatin1String(c.position));

    press(c.next ? &mci::MMControl::nextClick : &mci::MMControl::prevClick);

    EXPECT_EQ(playingNow(cd), c.playing);
    EXPECT_EQ(c.playing ? deviceTrack(cd) : cuedTrack(cd), c.track);
    EXPECT_EQ(gridTrack(), c.track);
    EXPECT_EQ(programState().gvCurrentTrack, c.track);
    EXPECT_EQ(rig().pnlTrackLength->text(), QStringLiteral("Track %1 Length: 00:03").arg(c.track));
    // tt:mm:ss, playing or not.
    EXPECT_EQ(rig().txtCurrentPosition->text(),
              QStringLiteral("%1:00:00").arg(c.track, 2, 10, QLatin1Char('0')));
    EXPECT_TRUE(rig().isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, NextPrev,
    ::testing::Values(NextPrevCase{"PrevInTheFirstSecondGoesBack", "05:00:00", false, false, 4},
                      NextPrevCase{"PrevLaterRestartsTheTrack", "05:00:01", false, false, 5},
                      NextPrevCase{"PrevOnTrackOneStaysThere", "01:00:00", false, false, 1},
                      NextPrevCase{"NextGoesOn", "03:01:10", true, false, 4},
                      NextPrevCase{"NextOnTheLastRestartsIt", "06:00:02", true, false, 6},
                      NextPrevCase{"NextWhilePlayingPlaysOn", "02:00:00", true, true, 3},
                      NextPrevCase{"PrevWhilePlayingPlaysOn", "04:00:00", false, true, 3}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    std::vector<int> refusalsPerTry; // each try ends in a play unless refused five times
    int messages;
};

void PrintTo(const RefusalCase& c, std::ostream* out)
{
    *out << c.name;
}

class RefusedPlays : public CdTransportTest, public ::testing::WithParamInterface<RefusalCase>
{};

TEST_P(RefusedPlays, FiveInARowGiveOneMessageAndNoSwitch)
{
    const RefusalCase& c = GetParam();
    ScriptedCdDevice& device = showScriptedDisc({30000, 40000});
    for (int refusals : c.refusalsPerTry) {
        device.refusePlays = refusals;
        doubleClick(cellOf(2, "TrackNum"));
        EXPECT_EQ(playingNow(*rig().CDControl), refusals < 5);
        rig().CDControl->setCommand(QStringLiteral("Stop"));
    }
    std::vector<QString> expected(
        c.messages, QStringLiteral("Multimedia system error The drive does not answer."));
    EXPECT_EQ(shownMessages(), QStringList(expected.begin(), expected.end()));
}

INSTANTIATE_TEST_SUITE_P(PlayFromTrack, RefusedPlays,
                         ::testing::Values(RefusalCase{"FourThenAPlay", {4}, 0},
                                           RefusalCase{"Five", {5}, 1},
                                           RefusalCase{"FiveThenFourAndAPlay", {5, 4}, 1},
                                           RefusalCase{"FourAndAPlayThenFourAndAPlay", {4, 4}, 0},
                                           RefusalCase{"FiveTwice", {5, 5}, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CdTransportTest, ATrackOfAnHourAndMoreShowsItsMinutesAndSeconds)
{
    showScriptedDisc({3665000});

    EXPECT_EQ(rig().pnlTrackLength->text(), QStringLiteral("Track 1 Length: 61:05"));
    EXPECT_EQ(rig().pnlCDlength->text(), QStringLiteral("CD Length: 61:05"));
    EXPECT_EQ(rig().sbTrackPos->maximum(), 3665);
    EXPECT_EQ(rig().sbTrackPos->value(), 0);
}

TEST_F(CdTransportTest, LengthsAreReadInMillisecondsWhateverTheViewLeftOnTheCdControl)
{
    showDiscs({fourTrackDisc()});
    mci::MMControl& cd = *rig().CDControl;
    rig().state().cdView = false;
    rig().state().setCurrentMMControl(rig().WaveControl);
    rig().WaveControl->setTimeFormat(0);
    cd.setTimeFormat(10);
    rig().pnlTrackLength->clear();
    rig().sbTrackPos->setMaximum(1);

    side().refreshDisplayForNewCD();

    EXPECT_EQ(rig().pnlTrackLength->text(), QStringLiteral("Track 1 Length: 00:15"));
    EXPECT_EQ(rig().sbTrackPos->maximum(), 15);
    cd.setTimeFormat(0);
    cd.setTrack(1);
    EXPECT_EQ(cd.from(), cd.trackPosition());
}

TEST_F(CdTransportTest, TheGridIsLeftAloneForTenSecondsAfterAClick)
{
    showDiscs({fourTrackDisc()});
    typedAgo(10s);
    EXPECT_FALSE(side().trackHighlighting());
    rig().now += 1ms;
    EXPECT_TRUE(side().trackHighlighting());

    click(cellOf(2, "TrackName"));
    EXPECT_FALSE(side().trackHighlighting());
    EXPECT_TRUE(shownMessages().isEmpty());
}

struct FollowCase {
    const char* name;
    std::chrono::milliseconds sinceClick;
    int gridTrack;
};

void PrintTo(const FollowCase& c, std::ostream* out)
{
    *out << c.name;
}

class GridFollowsPlay : public CdTransportTest, public ::testing::WithParamInterface<FollowCase>
{};

TEST_P(GridFollowsPlay, ToTheTrackThePositionReachedUnlessClickedLately)
{
    const FollowCase& c = GetParam();
    showDiscs({fourTrackDisc()});
    doubleClick(cellOf(1, "TrackNum"));
    ASSERT_TRUE(playingNow(*rig().CDControl));
    click(cellOf(1, "TrackName"));
    rig().now += c.sinceClick;
    // Track 1 plays to its end and on into track 2.
    ASSERT_TRUE(mci::test::eventually([&] {
        if (deviceTrack(*rig().CDControl) == 2)
            return true;
        sound_.clock->advance(100ms);
        return false;
    }));

    emit rig().CDControl->statusUpdate();

    EXPECT_EQ(rig().txtCurrentPosition->text().left(2), QStringLiteral("02"));
    EXPECT_EQ(gridTrack(), c.gridTrack);
    EXPECT_EQ(programState().gvCurrentTrack, c.gridTrack);
    EXPECT_EQ(rig().pnlMsg->text(), QStringLiteral("CD playing"));
}

INSTANTIATE_TEST_SUITE_P(Position, GridFollowsPlay,
                         ::testing::Values(FollowCase{"ClickedFiveSecondsAgo", 5s, 1},
                                           FollowCase{"ClickedTenSecondsAgo", 10s, 1},
                                           FollowCase{"ClickedLongAgo", 11s, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

// A track played from the grid reports its position, also after a stop had turned the reports
// off.
TEST_F(CdTransportTest, ATrackPlayedAfterAStopReportsItsPosition)
{
    showDiscs({fourTrackDisc()});
    rig().CDControl->setUpdateInterval(0);
    doubleClick(cellOf(2, "TrackNum"));
    ASSERT_TRUE(playingNow(*rig().CDControl));
    EXPECT_EQ(rig().CDControl->updateInterval(), liveUpdateInterval);
}

// The position box reads tt:mm:ss everywhere: a track chosen while stopped too.
TEST_F(CdTransportTest, ATrackChosenWhileStoppedShowsItsStartAsTrackMinutesSeconds)
{
    showDiscs({fourTrackDisc()});
    click(cellOf(3, "TrackName"));
    EXPECT_EQ(rig().txtCurrentPosition->text(), QStringLiteral("03:00:00"));
}

TEST_F(CdTransportTest, ADoubleClickOnARowWithoutATrackNumberPlaysNothing)
{
    showDiscs({fourTrackDisc()});
    changeRows(QStringLiteral("UPDATE Tracks SET TrackNum=0 WHERE CDid=%1 AND TrackNum=2")
                   .arg(rig().state().currentCDid));
    changeRows(QStringLiteral("UPDATE Tracks SET TrackNum=NULL WHERE CDid=%1 AND TrackNum=3")
                   .arg(rig().state().currentCDid));
    QSqlTableModel& tracks = *rig().state().dtaTracks;
    const int number = tracks.fieldIndex("TrackNum");
    for (int row = 0; row < tracks.rowCount(); ++row) {
        const int track = tracks.data(tracks.index(row, number)).toInt();
        if (track == 1 || track == 4)
            continue;
        doubleClick(tracks.index(row, number));
        EXPECT_FALSE(playingNow(*rig().CDControl)) << "row " << row;
    }
    doubleClick(cellOf(4, "TrackNum"));
    EXPECT_TRUE(playingNow(*rig().CDControl));
    EXPECT_EQ(deviceTrack(*rig().CDControl), 4);
}

TEST_F(CdTransportTest, ANameTypedInTheGridIsStoredAndTheRowStaysCurrent)
{
    showDiscs({fourTrackDisc()});
    QSqlTableModel& tracks = *rig().state().dtaTracks;
    rig().tgTracks->setCurrentIndex(cellOf(3, "TrackName"));

    tracks.setData(cellOf(3, "TrackName"), QStringLiteral("Blue Moon"));

    EXPECT_EQ(storedTrackField(3, "TrackName").toString(), QStringLiteral("Blue Moon"));
    EXPECT_EQ(gridTrack(), 3);
    EXPECT_TRUE(shownMessages().isEmpty());
}

TEST_F(CdTransportTest, AWriteTheDatabaseRefusesShowsTheDataErrorAndTheStoredName)
{
    showDiscs({fourTrackDisc()});
    QSqlQuery(db()).exec(QStringLiteral("PRAGMA query_only = 1"));
    QSqlTableModel& tracks = *rig().state().dtaTracks;

    tracks.setData(cellOf(3, "TrackName"), QStringLiteral("Blue Moon"));

    EXPECT_EQ(shownMessages(),
              QStringList{QStringLiteral("Please inform programmer that there has been a data "
                                         "error 3146 in the Tracks control (send e-mail to "
                                         "support@lentaro.org)")});
    EXPECT_EQ(tracks.data(cellOf(3, "TrackName")).toString(), QStringLiteral("3"));
    EXPECT_EQ(storedTrackField(3, "TrackName").toString(), QStringLiteral("3"));
}

TEST_F(CdTransportTest, TheGridShowsNumberNameAndRating)
{
    showDiscs({fourTrackDisc()});
    QTableView& grid = *rig().tgTracks;
    QStringList shown;
    for (int column = 0; column < grid.model()->columnCount(); ++column) {
        if (!grid.isColumnHidden(column))
            shown << grid.model()->headerData(column, Qt::Horizontal).toString();
    }
    EXPECT_EQ(shown, (QStringList{"#", "Track Name", "Rating"}));
    // All three fit the grid, each heading whole, the name the widest.
    QHeaderView& header = *grid.horizontalHeader();
    int widths = 0;
    for (int column = 0; column < grid.model()->columnCount(); ++column) {
        if (grid.isColumnHidden(column))
            continue;
        const QString heading = grid.model()->headerData(column, Qt::Horizontal).toString();
        SCOPED_TRACE(heading.toStdString());
        EXPECT_GE(header.sectionSize(column), header.fontMetrics().horizontalAdvance(heading));
        widths += header.sectionSize(column);
    }
    EXPECT_LE(widths, grid.viewport()->width());
    const auto& tracks = static_cast<const QSqlTableModel&>(*grid.model());
    EXPECT_GT(header.sectionSize(tracks.fieldIndex("TrackName")),
              header.sectionSize(tracks.fieldIndex("TrackNum")));
    EXPECT_EQ(grid.model()->rowCount(), 4);
    EXPECT_EQ(rig().lblTrackComments->text(), QStringLiteral("Track 1 Comments"));
}

// The four tracks of tones and five seconds of data after them.
cd::test::ImageSpec discWithDataTrack()
{
    cd::test::ImageSpec disc = fourTrackDisc();
    disc.tracks.push_back({5 * cd::framesPerSecond, 0, true});
    return disc;
}

TEST_F(CdTransportTest, ADataTrackIsMarkedPlaysAsSilenceThatTheStatusNamesAndIsNotCopied)
{
    showDiscs({discWithDataTrack()});
    QTableView& grid = *rig().tgTracks;
    ASSERT_EQ(grid.model()->rowCount(), 5);
    // How the grid draws each track's name.
    const auto shownName = [&](int track) {
        const QModelIndex cell = cellOf(track, "TrackName");
        auto* marks = dynamic_cast<DataTrackMarks*>(grid.itemDelegateForIndex(cell));
        QStyleOptionViewItem option;
        if (marks)
            marks->initStyleOption(&option, cell);
        return option.text;
    };
    EXPECT_EQ(shownName(4), QStringLiteral("4"));
    EXPECT_EQ(shownName(5), QStringLiteral("5 (data track)"));

    doubleClick(cellOf(5, "TrackNum"));
    ASSERT_TRUE(playingNow(*rig().CDControl));
    sound_.hear(100, *rig().CDControl);
    emit rig().CDControl->statusUpdate();

    EXPECT_EQ(rig().pnlMsg->text(), QStringLiteral("Track 5 is a data track: no audio"));
    const std::vector<std::int16_t> heard = sound_.heard();
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(std::count(heard.begin(), heard.end(), 0), std::ptrdiff_t(heard.size()));

    // Its copy is refused once, before any question or dialog.
    ProgramState& program = programState();
    program.gvDigitalRecordingOK = true;
    program.gvDigCDNum = 1;
    rig().mnuDigitalRec->trigger();

    EXPECT_EQ(shownMessages(),
              QStringList{QStringLiteral("Track 5 is a data track: it holds no audio to record.")});
    EXPECT_TRUE(prompts_.fileDialogs().empty());
    EXPECT_TRUE(rig().isEnabled());
    EXPECT_NE(rig().CDControl->mode(), static_cast<int>(mci::Mode::NotOpen));
}

struct EjectCase {
    const char* name;
    bool digital;
    bool closedByHand; // after the first click
};

void PrintTo(const EjectCase& c, std::ostream* out)
{
    *out << c.name;
}

class Eject : public CdTransportTest, public ::testing::WithParamInterface<EjectCase>
{};

TEST_P(Eject, OpensClosesAndOpensAgain)
{
    const EjectCase& c = GetParam();
    showDiscs({fourTrackDisc()});
    programState().gvDigitalRecordingOK = c.digital;
    cd::Drive& drive = *drives_.drive('D');

    press(&mci::MMControl::ejectClick);
    EXPECT_TRUE(drive.trayOpen());
    discChanges_.remove('D');
    EXPECT_EQ(shown(), noDisc());
    if (c.closedByHand) {
        insert('D');
        discChanges_.arrive('D');
    }

    press(&mci::MMControl::ejectClick);
    EXPECT_FALSE(drive.trayOpen());
    discChanges_.arrive('D');
    EXPECT_EQ(shown().pnlMsg, QStringLiteral("CD Found"));
    EXPECT_EQ(count("CDs"), 2);

    press(&mci::MMControl::ejectClick);
    EXPECT_TRUE(drive.trayOpen());
}

INSTANTIATE_TEST_SUITE_P(CdControl, Eject,
                         ::testing::Values(EjectCase{"ByTheDigitalReader", true, false},
                                           EjectCase{"ByTheCdDevice", false, false},
                                           EjectCase{"ClosedByHandInBetween", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DoneCase {
    const char* name;
    bool loopPlaying;
    int code;
    bool recording;
    int replays;
};

void PrintTo(const DoneCase& c, std::ostream* out)
{
    *out << c.name;
}

class CdDone : public CdTransportTest, public ::testing::WithParamInterface<DoneCase>
{};

TEST_P(CdDone, ReplaysAFinishedLoopAndEndsAnAnalogRecording)
{
    const DoneCase& c = GetParam();
    showDiscs({fourTrackDisc()});
    auto wave = std::make_unique<mci::test::FakeDevice>();
    mci::test::FakeDevice& recorder = *wave;
    rig().WaveControl->setDevice(std::move(wave), QStringLiteral("WaveAudio"));
    rig().pnlMsg->setText(QStringLiteral("Recording"));
    programState().gvPlayState.setState(c.loopPlaying);
    programState().gvRecordingInProgress = c.recording;

    emit rig().CDControl->done(c.code);

    EXPECT_EQ(countingLoops_.replays, c.replays);
    EXPECT_EQ(recorder.verbs().contains(QStringLiteral("Stop")), c.recording);
    EXPECT_EQ(rig().pnlMsg->text(),
              c.recording ? QStringLiteral("Lentaro") : QStringLiteral("Recording"));
    if (c.recording) {
        EXPECT_FALSE(programState().gvPlayState.state().toBool());
    }
}

INSTANTIATE_TEST_SUITE_P(CdControl, CdDone,
                         ::testing::Values(DoneCase{"LoopPlayedToItsEnd", true, 1, false, 1},
                                           DoneCase{"LoopSuperseded", true, 2, false, 0},
                                           DoneCase{"LoopAborted", true, 4, false, 0},
                                           DoneCase{"LoopFailed", true, 8, false, 0},
                                           DoneCase{"NoLoopPlaying", false, 1, false, 0},
                                           DoneCase{"RecordedLoopPlayed", true, 1, true, 0},
                                           DoneCase{"RecordingPlayFailed", false, 8, true, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace lentaro::test
