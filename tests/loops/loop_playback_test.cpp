#include "tests/loops/loop_side_fixture.h"

#include "app/programstate.h"
#include "mainwindow/gridediting.h"
#include "platform/mci/MMControl.h"
#include "tests/support/named_control.h"

#include <QLabel>
#include <QLineEdit>
#include <QSqlTableModel>
#include <QTableView>

#include <optional>

namespace lentaro::test {
namespace {

const QString endpointsWrong =
    QStringLiteral("Sorry, there's a loop problem. Endpoints are wrong.");
const QString noLoopPoints = QStringLiteral(
    "There are no loop points created. Please make at least one loop point before continuing");

class LoopPlayback : public LoopSideTest
{
protected:
    QVariantList storedEnds(int waveFileID) const
    {
        QVariantList ends;
        for (const QVariantList& row :
             rows(QStringLiteral("SELECT endTime FROM WaveLoopPoints WHERE waveFileID = %1 "
                                 "ORDER BY startTime, rowKey")
                      .arg(waveFileID)))
            ends << row[0];
        return ends;
    }

    QStringList messages() const
    {
        QStringList texts;
        for (const forms::MessageBoxRequest& box : prompts_.messageBoxes())
            texts << box.text;
        return texts;
    }
};

// The limits come from the loop row; a missing end is filled from the next loop or five seconds
// on (no further than the media) and stored; an end before the start is refused.
TEST_F(LoopPlayback, TheLimitsComeFromTheLoopRowItsMissingEndFilledAndStored)
{
    struct Case {
        const char* name;
        std::vector<std::pair<int, QVariant>> loops;
        int mediaLength;
        int current;
        bool wrong;
        int in;
        int out;
        QVariantList ends;
        QString currentComment;
    };
    const Case cases[] = {
        {"no end before a loop at 90000",
         {{10000, {}}, {90000, 95000}},
         600000,
         0,
         false,
         10000,
         90000,
         {90000, 95000},
         "loop 1"},
        {"no end on the last loop",
         {{10000, {}}},
         600000,
         0,
         false,
         10000,
         15000,
         {15000},
         "loop 1"},
        {"no end, the media ends 2 s later",
         {{10000, {}}},
         12000,
         0,
         false,
         10000,
         12000,
         {12000},
         "loop 1"},
        {"end at the start", {{10000, 10000}}, 600000, 0, false, 10000, 10000, {10000}, "loop 1"},
        {"end 1 ms before the start", {{10000, 9999}}, 600000, 0, true, -7, -7, {9999}, "loop 1"},
        {"two loops with one start",
         {{10000, 20000}, {10000, 30000}},
         600000,
         1,
         false,
         10000,
         20000,
         {20000, 30000},
         "loop 1"},
    };
    ready();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        wave_->mediaLength = c.mediaLength;
        const int id = waveWithLoops(c.loops);
        loops_->rows().moveTo(c.current);
        const std::size_t shown = prompts_.messageBoxes().size();
        int in = -7;
        int out = -7;
        EXPECT_EQ(loops_->calcInAndOutPoints(in, out), c.wrong);
        EXPECT_EQ(in, c.in);
        EXPECT_EQ(out, c.out);
        EXPECT_EQ(storedEnds(id), c.ends);
        EXPECT_EQ(loops_->rows().field(QStringLiteral("Comment")).toString(), c.currentComment);
        EXPECT_EQ(messages().mid(static_cast<int>(shown)),
                  c.wrong ? QStringList{endpointsWrong} : QStringList{});
    }
}

// Without a loop row there is nothing to play: a message, no play, the loop state cleared.
TEST_F(LoopPlayback, NoLoopRowShowsTheNoLoopsMessageAndPlaysNothing)
{
    ready();
    waveWithLoops({});
    programState().gvPlayState.setState(true);
    loops_->playLoop(true);
    loops_->playFromLoopOn();
    EXPECT_EQ(messages(), QStringList({noLoopPoints, noLoopPoints}));
    EXPECT_EQ(wave_->plays, 0);
    EXPECT_FALSE(programState().gvPlayState.state().toBool());
}

// Wrong or empty points play nothing and end the repeating play; an empty loop says nothing,
// wrong points say so and keep the points played before.
TEST_F(LoopPlayback, WrongOrEmptyPointsPlayNothing)
{
    struct Case {
        const char* name;
        bool recalc;
        std::optional<int> in;
        std::optional<int> out;
        QStringList shown;
    };
    const Case cases[] = {
        {"row end before its start", true, {}, {}, {endpointsWrong}},
        {"given out before in", false, 6000, 5000, {endpointsWrong}},
        {"given out at in", false, 5000, 5000, {}},
    };
    frmMain& main = ready();
    waveWithLoops({{10000, 9999}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t shown = prompts_.messageBoxes().size();
        main.state().inPt = 1000;
        main.state().outPt = 2000;
        programState().gvPlayState.setState(true);
        loops_->playLoop(c.recalc, c.in, c.out);
        EXPECT_EQ(messages().mid(static_cast<int>(shown)), c.shown);
        EXPECT_EQ(wave_->plays, 0);
        EXPECT_FALSE(programState().gvPlayState.state().toBool());
        if (!c.shown.isEmpty()) {
            EXPECT_EQ(main.state().inPt, 1000);
            EXPECT_EQ(main.state().outPt, 2000);
        }
    }
}

// A play the device refuses is tried with an earlier end: the media's end first, then 100 s
// earlier each time, never at or before the start, at most fifteen more times. When none plays,
// the out point is what it was, the loop no longer repeats and the status says so.
TEST_F(LoopPlayback, ARefusedPlayIsRetriedShorterButNeverPastItsStart)
{
    struct Case {
        const char* name;
        int in;
        int out;
        int mediaLength;
        int refusesPast;
        QStringList played;
        int outAfter;
        bool plays;
    };
    const Case cases[] = {
        {"lowered in steps",
         1000,
         400000,
         600000,
         150000,
         {"wave play 1000-400000", "wave play 1000-300000", "wave play 1000-200000",
          "wave play 1000-100000"},
         100000,
         true},
        {"the media's end first",
         1000,
         400000,
         250000,
         250000,
         {"wave play 1000-400000", "wave play 1000-250000"},
         250000,
         true},
        {"never at or before the start",
         50000,
         400000,
         600000,
         60000,
         {"wave play 50000-400000", "wave play 50000-300000", "wave play 50000-200000",
          "wave play 50000-100000"},
         400000,
         false},
    };
    frmMain& main = ready();
    waveWithLoops({{1000, 2000}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        devicesJournal_.clear();
        control<QLabel>(main, "pnlMsg")->clear();
        wave_->mediaLength = c.mediaLength;
        wave_->refusesPastMs = c.refusesPast;
        programState().gvPlayState.setState(true);
        loops_->playLoop(false, c.in, c.out);
        EXPECT_EQ(devicesJournal_, c.played);
        EXPECT_EQ(main.state().outPt, c.outAfter);
        EXPECT_EQ(programState().gvPlayState.state().toBool(), c.plays);
        EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text().isEmpty(), c.plays);
    }
}

TEST_F(LoopPlayback, FifteenRefusalsAfterTheFirstGiveUp)
{
    frmMain& main = ready();
    waveWithLoops({{1000, 2000}});
    wave_->mediaLength = 3000000;
    wave_->refusesPastMs = 10;
    programState().gvPlayState.setState(true);
    loops_->playLoop(false, 0, 2000000);
    ASSERT_EQ(devicesJournal_.size(), 16);
    EXPECT_EQ(devicesJournal_.back(), "wave play 0-500000");
    EXPECT_EQ(main.state().outPt, 2000000);
    EXPECT_FALSE(programState().gvPlayState.state().toBool());
    EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text(), "The loop could not be played.");
}

// A loop plays once, its end noticed; the points stay for the replay, and position updates come
// every 500 ms except for the slowed-down file's player.
TEST_F(LoopPlayback, ALoopPlaysOnceFromTheRowAndAgainFromTheSamePoints)
{
    struct Case {
        bool slowMode;
        int updateInterval;
    };
    const Case cases[] = {{false, 500}, {true, 0}};
    frmMain& main = ready();
    waveWithLoops({{10000, 14000}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slowMode);
        devicesJournal_.clear();
        control<mci::MMControl>(main, "WaveControl")->setUpdateInterval(0);
        programState().gvSlowMode = c.slowMode;
        programState().gvLoopHighlight = true;
        loops_->playLoop(true);
        loops_->playLoop(false);
        EXPECT_EQ(devicesJournal_, QStringList({"wave play 10000-14000", "wave play 10000-14000"}));
        EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->updateInterval(), c.updateInterval);
        EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->error(), 0);
        EXPECT_FALSE(programState().gvLoopHighlight);
    }
    programState().gvSlowMode = false;
}

// While the loop is recorded from the CD, the CD waits at the in point until the recorder runs.
TEST_F(LoopPlayback, RecordingTheLoopStartsTheRecorderBeforeTheCdPlays)
{
    frmMain& main = ready();
    waveWithLoops({{1000, 2000}});
    main.state().cdView = true;
    main.state().setCurrentMMControl(control<mci::MMControl>(main, "CDControl"));
    programState().gvRecordingInProgress = true;
    loops_->playLoop(false, 61000, 65000);
    programState().gvRecordingInProgress = false;
    EXPECT_EQ(devicesJournal_, QStringList({"cd play 61000-65000", "cd pause", "wave cue",
                                            "wave record", "cd play 61000-65000"}));
    EXPECT_EQ(control<mci::MMControl>(main, "CDControl")->updateInterval(), 500);
}

// Playing on from a loop runs to the end of the media with the grid following, and stores the
// cell being edited.
TEST_F(LoopPlayback, PlayingOnFromALoopRunsToTheEndWithTheGridFollowing)
{
    frmMain& main = ready();
    waveWithLoops({{1000, 2000}, {20000, 30000}});
    control<QTableView>(main, "loopPoints")->show();
    loops_->rows().moveTo(1);
    auto* model = qobject_cast<QSqlTableModel*>(control<QTableView>(main, "loopPoints")->model());
    const QModelIndex comment = model->index(1, model->fieldIndex(QStringLiteral("Comment")));
    control<QTableView>(main, "loopPoints")->setCurrentIndex(comment);
    control<QTableView>(main, "loopPoints")->edit(comment);
    auto* editor =
        qobject_cast<QLineEdit*>(control<QTableView>(main, "loopPoints")->indexWidget(comment));
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("chorus"));
    programState().gvLoopHighlight = false;
    control<mci::MMControl>(main, "WaveControl")->setUpdateInterval(0);
    loops_->playFromLoopOn();
    EXPECT_EQ(devicesJournal_, QStringList({"wave stop", "wave play 20000-600000"}));
    EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->updateInterval(), 500);
    EXPECT_TRUE(programState().gvLoopHighlight);
    EXPECT_FALSE(isEditing(*control<QTableView>(main, "loopPoints")));
    EXPECT_EQ(comment.data().toString(), "chorus");
}

} // namespace
} // namespace lentaro::test
