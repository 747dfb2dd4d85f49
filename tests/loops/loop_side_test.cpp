#include "tests/loops/loop_side_fixture.h"

#include "tests/app/cd_drive_fixture.h"
#include "tests/app/clicking.h"
#include "tests/app/traced_calls.h"

#include "app/programstate.h"
#include "platform/cd/DriveList.h"
#include "platform/cd/ImageDrive.h"
#include "platform/mci/MMControl.h"
#include "tests/platform/cd/support/cd_image_writer.h"
#include "tests/support/named_control.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlTableModel>
#include <QTableView>
#include <QTest>

namespace lentaro::test {
namespace {

using namespace std::chrono_literals;

const QString deleteQuestion = QStringLiteral("Are you sure want to delete this loop point?");

void mouse(QWidget* widget, QEvent::Type type)
{
    const QPointF inside(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent event(type, inside, widget->mapToGlobal(inside), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The grid follows the play position: the last loop starting at or before it, the first of
// loops sharing that start, none before the first loop.
TEST_F(LoopSideTest, TheGridFollowsThePlayPositionToTheLoopStartingAtOrBeforeIt)
{
    ready();
    waveWithLoops({{1000, {}}, {5000, {}}, {5000, {}}, {9000, {}}});
    programState().gvLoopHighlight = true;
    struct Case {
        int position;
        QStringList selected;
    };
    const Case cases[] = {{500, {}},          {1000, {"loop 1"}},  {4999, {"loop 1"}},
                          {5000, {"loop 2"}}, {12000, {"loop 4"}}, {500, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        wave_->positions = {c.position};
        loops_->highlightLoopPoint();
        EXPECT_EQ(selectedComments(), c.selected);
    }
}

TEST_F(LoopSideTest, TheGridStaysWhileNotFollowingOrWhileACellIsEdited)
{
    frmMain& main = ready();
    waveWithLoops({{1000, {}}, {5000, {}}});
    QTableView& grid = *control<QTableView>(main, "loopPoints");
    grid.show();
    const QStringList before = selectedComments();
    ASSERT_EQ(before, QStringList({"loop 1"}));
    wave_->positions = {6000};

    programState().gvLoopHighlight = false;
    loops_->highlightLoopPoint();
    EXPECT_EQ(selectedComments(), before);

    programState().gvLoopHighlight = true;
    const auto* model = qobject_cast<QSqlTableModel*>(grid.model());
    grid.edit(model->index(0, model->fieldIndex(QStringLiteral("Comment"))));
    loops_->highlightLoopPoint();
    EXPECT_EQ(selectedComments(), before);
}

TEST_F(LoopSideTest, StoringALoopTakesTheTrackFromACdPositionText)
{
    struct Case {
        bool cdView;
        QString position;
        QVariant end;
        QString stored; // TrackNum (none for a wave loop), startTime, endTime, Comment
    };
    const Case cases[] = {
        {true, QStringLiteral("03:01:15"), 250000, QStringLiteral("3|181000|250000|03:01:15")},
        {true, QStringLiteral("11:00:02"), QVariant(), QStringLiteral("11|181000|-|11:00:02")},
        {false, QStringLiteral("01:15"), QVariant(), QStringLiteral("-|181000|-|01:15")},
    };
    ready();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position.toStdString());
        if (c.cdView)
            cdWithLoops({});
        else
            waveWithLoops({});
        loops_->insertLoopPt(QStringLiteral("0181000"), c.position, c.end);
        const QString sql =
            c.cdView
                ? QStringLiteral("SELECT ifnull(TrackNum, '-') || '|' || startTime || '|' || "
                                 "ifnull(endTime, '-') || '|' || Comment FROM LoopPoints WHERE "
                                 "CDid = 7 ORDER BY rowKey DESC LIMIT 1")
                : QStringLiteral("SELECT '-|' || startTime || '|' || ifnull(endTime, '-') || '|' "
                                 "|| Comment FROM WaveLoopPoints ORDER BY rowKey DESC LIMIT 1");
        const QList<QVariantList> stored = rows(sql);
        ASSERT_EQ(stored.size(), 1);
        EXPECT_EQ(stored[0][0].toString(), c.stored);
    }
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(LoopSideTest, AMarkIsTheSevenDigitPositionAndItsText)
{
    ready();
    waveWithLoops({});
    struct Case {
        QString time;
        QString key;
    };
    const Case cases[] = {{QStringLiteral("12345"), QStringLiteral("0012345")},
                          {QStringLiteral("0"), QStringLiteral("0000000")},
                          {QStringLiteral("123456789"), QStringLiteral("123456789")}};
    for (const Case& c : cases) {
        loops_->fastInsert(c.time, QStringLiteral("00:12"));
        const loopPoints::Record mark = makerMarks().Item(makerMarks().Count());
        ASSERT_NE(mark, nullptr);
        EXPECT_EQ(mark->Key, c.key);
        EXPECT_EQ(mark->startTimeMs, c.key);
        EXPECT_EQ(mark->startTimeTTMMSS, "00:12");
    }
}

// A loop made with Start New Loop and kept at once is labelled with its own start, tt:mm:ss on
// a CD and mm:ss on a wave file, whatever the position box still shows from before.
TEST_F(LoopSideTest, ANewLoopIsLabelledWithItsOwnStartNotWithThePositionBox)
{
    struct Case {
        const char* name;
        bool cdView;
        int start;
        QString label;
    };
    // The CD's loops first: the CD side that would show them again after a wave file is none.
    const Case cases[] = {
        {"a CD", true, 2150, QStringLiteral("01:00:02")},
        {"a wave file, its first second", false, 2095, QStringLiteral("00:02")},
        {"a wave file, past a minute", false, 65000, QStringLiteral("01:05")},
    };
    frmMain& main = ready();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.cdView)
            main.changeToMode(QStringLiteral("CD"));
        else
            waveWithLoops({});
        ScriptedDevice& device = c.cdView ? *cd_ : *wave_;
        device.positions = {c.start, c.start + 3000};
        control<QLineEdit>(main, "txtCurrentPosition")
            ->setText(c.cdView ? QStringLiteral("05:03:00") : QStringLiteral("01:00:00"));
        control<QPushButton>(main, "cmdStartNewLoop")->click();
        ASSERT_NE(loops_->loopMaker(), nullptr);
        loops_->loopMaker()->btnKeep->click();
        const QString table =
            c.cdView ? QStringLiteral("LoopPoints") : QStringLiteral("WaveLoopPoints");
        EXPECT_EQ(rows(QStringLiteral("SELECT startTime, Comment FROM %1 ORDER BY rowKey DESC "
                                      "LIMIT 1")
                           .arg(table)),
                  QList<QVariantList>({{c.start, c.label}}));
        EXPECT_TRUE(runUntil([this] { return loops_->loopMaker() == nullptr; }));
    }
}

TEST_F(LoopSideTest, MakeALoopForATrackSpansTheWholeTrackOnTheDisc)
{
    frmMain& main = ready();
    cd_->trackStartAndLength[5] = {812000, 241000};
    execute(QStringLiteral("INSERT INTO Tracks (CDid, TrackNum, TrackName) VALUES "
                           "(1, 4, 'Four'), (1, 5, 'Fifth Song'), (1, 6, 'Six')"));
    QSqlTableModel* tracks = main.state().dtaTracks;
    tracks->select();
    control<QTableView>(main, "tgTracks")->setModel(tracks);
    control<QTableView>(main, "tgTracks")->setCurrentIndex(tracks->index(1, 0));
    loops_->mnuMakeLoop_Click();
    EXPECT_EQ(rows(QStringLiteral("SELECT CDid, TrackNum, startTime, endTime, Comment FROM "
                                  "LoopPoints")),
              QList<QVariantList>({{1, 5, 812000, 1053000, "Fifth Song - Entire Track"}}));

    // A track the device knows nothing of adds no row and reports nothing.
    control<QTableView>(main, "tgTracks")->setCurrentIndex(tracks->index(2, 0));
    loops_->mnuMakeLoop_Click();
    EXPECT_EQ(rows(QStringLiteral("SELECT count(*) FROM LoopPoints"))[0][0], 1);
    EXPECT_EQ(trappedError(), 0);
}

// The "CD" view over drive D: holding a generated disc of five 4-second tracks, opened and
// stopped at its start.
class LoopSideOnDisc : public LoopSideTest
{
protected:
    frmMain& withDisc()
    {
        cd::test::ImageSpec disc;
        disc.tracks.assign(5, {300, 0, false});
        std::vector<std::unique_ptr<cd::Drive>> list;
        list.push_back(std::make_unique<cd::ImageDrive>(
            cd::test::writeImage(home().toStdString(), "disc", disc)));
        drives_ = cd::DriveList(std::move(list));
        drivesInPlace_.emplace(cd::cdDrives, drives_);
        frmMain& main = started();
        openCdDrive(*control<mci::MMControl>(main, "CDControl"));
        return main;
    }

    cd::DriveList drives_;
    std::optional<ScopedOverride<cd::DriveList>> drivesInPlace_;
};

// Positions count from the disc's start, lead-in included: track 5 starts at frame 150 + 4 × 300.
TEST_F(LoopSideOnDisc, MakeALoopSpansTheTrackCountedFromTheStartOfTheDisc)
{
    frmMain& main = withDisc();
    execute(QStringLiteral("INSERT INTO Tracks (CDid, TrackNum, TrackName) VALUES (1, 5, 'Five')"));
    QSqlTableModel* tracks = main.state().dtaTracks;
    tracks->select();
    control<QTableView>(main, "tgTracks")->setModel(tracks);
    control<QTableView>(main, "tgTracks")->setCurrentIndex(tracks->index(0, 0));
    loops_->mnuMakeLoop_Click();
    EXPECT_EQ(rows(QStringLiteral("SELECT TrackNum, startTime, endTime, Comment FROM LoopPoints")),
              QList<QVariantList>({{5, 18000, 22000, "Five - Entire Track"}}));
}

TEST_F(LoopSideOnDisc, StartNewLoopPlaysAStoppedDiscAndMarksWhereItIs)
{
    frmMain& main = withDisc();
    ASSERT_NE(control<mci::MMControl>(main, "CDControl")->mode(),
              static_cast<int>(mci::Mode::Playing));
    control<QPushButton>(main, "cmdStartNewLoop")->click();
    EXPECT_EQ(control<mci::MMControl>(main, "CDControl")->mode(),
              static_cast<int>(mci::Mode::Playing));
    ASSERT_EQ(makerMarks().Count(), 1);
    EXPECT_GT(makerMarks().Item(1)->startTimeMs.toInt(), 100);
    EXPECT_NE(loops_->loopMaker(), nullptr);
}

TEST_F(LoopSideTest, StartNewLoopWaitsForTheCdToPass100MsWithinABound)
{
    frmMain& main = ready();
    main.changeToMode(QStringLiteral("CD"));

    cd_->positions = {0, 1, 100, 2150, 2400};
    EXPECT_TRUE(loops_->insertNewLoopPoint());
    EXPECT_EQ(cd_->plays, 1);
    ASSERT_EQ(makerMarks().Count(), 1);
    EXPECT_EQ(makerMarks().Item(1)->startTimeMs, "0002150");
    makerMarks().Clear();

    // A CD that never starts: the clock runs a second a read, so the bound passes quickly.
    std::chrono::steady_clock::duration now{};
    loops_->setClock([&now] { return now += 1s; });
    cd_->currentMode = mci::Mode::Stopped;
    cd_->positions = {0};
    loops_->cmdStartNewLoop_Click();
    EXPECT_EQ(makerMarks().Count(), 0);
    EXPECT_EQ(loops_->loopMaker(), nullptr);
    EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text(),
              "The CD did not start playing, so no loop point was made.");
    EXPECT_LE(now, LoopSideOfMain::cdStartBound + 2s);
}

TEST_F(LoopSideTest, StartNewLoopOnAWaveFileReadsThePositionAtOnce)
{
    ready();
    waveWithLoops({});
    wave_->positions = {0, 7000};
    EXPECT_TRUE(loops_->insertNewLoopPoint());
    EXPECT_EQ(wave_->plays, 1);
    EXPECT_EQ(makerMarks().Item(1)->startTimeMs, "0000000");
    EXPECT_FALSE(programState().gvPlayState.state().toBool());
}

// Marks m1 (the opener), m2 and m3 (the marking button) and m4 (Keep).
class LoopMaker : public LoopSideTest
{
protected:
    makeLoopPoints& opened(const std::vector<int>& marks)
    {
        frmMain& main = ready();
        waveWithLoops({});
        execute(QStringLiteral("DELETE FROM WaveLoopPoints"));
        loops_->rows().requery();
        for (int mark : marks)
            positions_.push_back(mark);
        nextMark();
        control<QPushButton>(main, "cmdStartNewLoop")->click();
        EXPECT_NE(loops_->loopMaker(), nullptr);
        return *loops_->loopMaker();
    }
    // The position the next mark reads, the position box lagging behind.
    void nextMark()
    {
        wave_->positions = {positions_.front()};
        control<QLineEdit>(*main_, "txtCurrentPosition")->setText(QStringLiteral("01:00:00"));
        positions_.pop_front();
    }
    QList<QVariantList> written() const
    {
        return rows(QStringLiteral("SELECT startTime, endTime, Comment FROM WaveLoopPoints "
                                   "ORDER BY rowKey"));
    }
    static QStringList lines(const QListWidget& list)
    {
        QStringList texts;
        for (int i = 0; i < list.count(); ++i)
            texts << list.item(i)->text();
        return texts;
    }

    std::deque<int> positions_;
};

TEST_F(LoopMaker, KeepAtOnceStoresOneLoopAndPlaysIt)
{
    makeLoopPoints& maker = opened({1000, 4000});
    EXPECT_TRUE(maker.isVisible());
    EXPECT_EQ(maker.windowModality(), Qt::ApplicationModal);
    nextMark();
    devicesJournal_.clear();
    maker.btnKeep->click();
    EXPECT_EQ(written(), QList<QVariantList>({{1000, 4000, "00:01"}}));
    // The loop kept is played.
    EXPECT_EQ(devicesJournal_.value(devicesJournal_.size() - 1), "wave play 1000-4000");
    EXPECT_EQ(makerMarks().Count(), 0);
    EXPECT_TRUE(runUntil([this] { return loops_->loopMaker() == nullptr; }));
}

TEST_F(LoopMaker, MarksBecomeChainedLoopsWrittenLatestFirst)
{
    makeLoopPoints& maker = opened({1000, 2500, 4000, 6000});
    for (int press = 0; press < 2; ++press) {
        nextMark();
        mouse(maker.cmdCompletePreviousLoop, QEvent::MouseButtonPress);
        mouse(maker.cmdCompletePreviousLoop, QEvent::MouseButtonRelease);
    }
    // Each mark asked to show the maker again; the one window took the marks.
    EXPECT_EQ(loops_->loopMaker(), &maker);
    EXPECT_EQ(lines(*maker.lstStarts), QStringList({"00:01", "00:02", "00:04"}));
    EXPECT_EQ(lines(*maker.lstEnds), QStringList({"00:02", "00:04", "Endpoint not set yet."}));
    maker.lstEnds->setCurrentRow(1);
    EXPECT_EQ(maker.lstStarts->currentRow(), 1);
    maker.lstStarts->setCurrentRow(2);
    EXPECT_EQ(maker.lstEnds->currentRow(), 2);

    nextMark();
    devicesJournal_.clear();
    maker.btnKeep->click();
    EXPECT_EQ(
        written(),
        QList<QVariantList>({{4000, 6000, "00:04"}, {2500, 4000, "00:02"}, {1000, 2500, "00:01"}}));
    // The first loop is played.
    EXPECT_EQ(devicesJournal_.value(devicesJournal_.size() - 1), "wave play 1000-2500");
}

TEST_F(LoopMaker, ScrollingEitherListScrollsTheOther)
{
    makeLoopPoints& maker = opened({1000});
    for (int line = 0; line < 60; ++line) {
        maker.lstStarts->addItem(QStringLiteral("start %1").arg(line));
        maker.lstEnds->addItem(QStringLiteral("end %1").arg(line));
    }
    QCoreApplication::processEvents();
    QScrollBar& starts = *maker.lstStarts->verticalScrollBar();
    QScrollBar& ends = *maker.lstEnds->verticalScrollBar();
    ASSERT_GT(starts.maximum(), 20);
    starts.setValue(20);
    EXPECT_EQ(ends.value(), 20);
    ends.setValue(7);
    EXPECT_EQ(starts.value(), 7);
}

TEST_F(LoopMaker, MarkingAnswersThePressNotTheRelease)
{
    makeLoopPoints& maker = opened({1000, 2500});
    nextMark();
    mouse(maker.cmdCompletePreviousLoop, QEvent::MouseButtonPress);
    EXPECT_EQ(makerMarks().Count(), 2);
    mouse(maker.cmdCompletePreviousLoop, QEvent::MouseButtonRelease);
    EXPECT_EQ(makerMarks().Count(), 2);
}

TEST_F(LoopMaker, TheCloseBoxDropsTheMarks)
{
    makeLoopPoints& maker = opened({1000, 2500});
    nextMark();
    mouse(maker.cmdCompletePreviousLoop, QEvent::MouseButtonPress);
    maker.close();
    EXPECT_EQ(makerMarks().Count(), 0);
    EXPECT_TRUE(written().isEmpty());
    EXPECT_TRUE(runUntil([this] { return loops_->loopMaker() == nullptr; }));
}

// Every control of the loop maker, used as the user uses it, reaches its procedure: the marking
// button pressed, a line of either list clicked, a list scrolled to its end, Keep clicked, and the
// close box of a second one.
TEST_F(LoopMaker, EveryControlReachesItsProcedure)
{
    TracedCalls calls(home());
    std::vector<int> marks;
    for (int mark = 1; mark <= 40; ++mark)
        marks.push_back(mark * 1000);
    makeLoopPoints& maker = opened(marks);
    const auto press = [&] {
        nextMark();
        QTest::mousePress(maker.cmdCompletePreviousLoop, Qt::LeftButton);
        QTest::mouseRelease(maker.cmdCompletePreviousLoop, Qt::LeftButton);
    };
    const auto clickLine = [](QListWidget& list, int line) {
        return [&list, line] {
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                              list.visualItemRect(list.item(line)).center());
        };
    };
    walk(calls, {
                    {"Complete Previous Loop pressed", press,
                     "makeLoopPoints : Sub cmdCompletePreviousLoop_MouseDown"},
                    {"a start line clicked", clickLine(*maker.lstStarts, 1), "",
                     [&] { return maker.lstEnds->currentRow() == 1; }},
                    {"an end line clicked", clickLine(*maker.lstEnds, 0), "",
                     [&] { return maker.lstStarts->currentRow() == 0; }},
                    {"the starts scrolled to their end",
                     [&] {
                         for (int more = 0; more < 30; ++more)
                             press();
                         QCoreApplication::processEvents();
                         QTest::keyClick(maker.lstStarts, Qt::Key_End);
                     },
                     "",
                     [&] {
                         const QScrollBar& ends = *maker.lstEnds->verticalScrollBar();
                         return ends.value() > 0
                                && ends.value() == maker.lstStarts->verticalScrollBar()->value();
                     }},
                    {"Keep clicked",
                     [&] {
                         nextMark();
                         click(maker.btnKeep);
                     },
                     "makeLoopPoints : Sub btnKeep_Click", [&] { return !written().isEmpty(); }},
                });
    ASSERT_TRUE(runUntil([this] { return loops_->loopMaker() == nullptr; }));

    nextMark();
    control<QPushButton>(*main_, "cmdStartNewLoop")->click();
    ASSERT_NE(loops_->loopMaker(), nullptr);
    walk(calls, {{"the close box", [this] { loops_->loopMaker()->close(); }, "",
                  [this] { return makerMarks().Count() == 0; }}});
    EXPECT_EQ(calls.lastError().number, 0) << calls.lastError().description.toStdString();
}

TEST_F(LoopMaker, AFailedKeepWritesNoneKeepsTheMarksAndReports)
{
    makeLoopPoints& maker = opened({1000, 2500, 4000});
    execute(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON WaveLoopPoints WHEN "
                           "NEW.Comment = '00:01' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    nextMark();
    mouse(maker.cmdCompletePreviousLoop, QEvent::MouseButtonPress);
    nextMark();
    devicesJournal_.clear();
    maker.btnKeep->click();
    EXPECT_TRUE(written().isEmpty());
    EXPECT_EQ(trappedError(), 3146);
    EXPECT_EQ(makerMarks().Count(), 3);
    EXPECT_TRUE(maker.isVisible());
    // Nothing is played.
    EXPECT_TRUE(devicesJournal_.filter(QStringLiteral("play")).isEmpty());
}

class GridKeys : public LoopSideTest
{
protected:
    void release(int key, Qt::KeyboardModifiers modifiers)
    {
        QKeyEvent event(QEvent::KeyRelease, key, modifiers);
        QApplication::sendEvent(control<QTableView>(*main_, "loopPoints"), &event);
    }
    int stored() const
    {
        return rows(QStringLiteral("SELECT count(*) FROM WaveLoopPoints"))[0][0].toInt();
    }
};

TEST_F(GridKeys, DeleteAsksUnlessCtrlIsHeldAndNeverWhileEditing)
{
    struct Case {
        const char* name;
        Qt::KeyboardModifiers modifiers;
        std::optional<forms::Answer> answer; // none: no question
        bool editing;
        int left;
    };
    const Case cases[] = {
        {"Delete, Yes", Qt::NoModifier, forms::Answer::Yes, false, 1},
        {"Delete, No", Qt::NoModifier, forms::Answer::No, false, 2},
        {"Ctrl+Delete", Qt::ControlModifier, std::nullopt, false, 1},
        {"Delete while editing", Qt::NoModifier, std::nullopt, true, 2},
    };
    frmMain& main = ready();
    control<QTableView>(main, "loopPoints")->show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        execute(QStringLiteral("DELETE FROM WaveLoopPoints"));
        waveWithLoops({{1000, {}}, {5000, {}}});
        const std::size_t asked = prompts_.messageBoxes().size();
        if (c.answer)
            prompts_.queueAnswer(*c.answer);
        if (c.editing) {
            const auto* model =
                qobject_cast<QSqlTableModel*>(control<QTableView>(main, "loopPoints")->model());
            control<QTableView>(main, "loopPoints")
                ->edit(model->index(0, model->fieldIndex(QStringLiteral("Comment"))));
        }
        release(Qt::Key_Delete, c.modifiers);
        EXPECT_EQ(stored(), c.left);
        EXPECT_EQ(prompts_.messageBoxes().size() - asked, c.answer ? 1U : 0U);
        if (c.answer) {
            const forms::MessageBoxRequest& box = prompts_.messageBoxes().back();
            EXPECT_EQ(box.text, deleteQuestion);
            EXPECT_EQ(box.buttons, forms::Buttons::YesNo);
            EXPECT_EQ(box.icon, forms::Icon::Question);
        }
        control<QTableView>(main, "loopPoints")
            ->closePersistentEditor(control<QTableView>(main, "loopPoints")->currentIndex());
        control<QTableView>(main, "loopPoints")->setFocus();
    }
}

TEST_F(LoopSideTest, ADoubleClickEnablesTheWindowAgainAlsoWhenItsActionFails)
{
    struct Case {
        bool ctrl;
        bool alt;
        bool fails;
        QStringList done;
    };
    // Alt is Transform, whose capture fails here; Ctrl wins over Alt and plays on from the loop.
    const Case cases[] = {{false, false, false, {"wave play 1000-6000"}},
                          {false, true, true, {"recordCurrentLoop"}},
                          {true, true, false, {"wave stop", "wave play 1000-600000"}}};
    frmMain& main = ready();
    waveWithLoops({{1000, {}}});
    QStringList captures;
    ScriptedCapture capture(captures);
    const ScopedOverride<LoopCapture> captureInPlace(loopCapture, capture);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.done.join(", ").toStdString());
        captures.clear();
        devicesJournal_.clear();
        wave_->currentMode = mci::Mode::Stopped;
        capture.fails = c.fails;
        programState().gvLoopHighlight = true;
        loops_->loopPoints_dblclick(c.ctrl, c.alt);
        EXPECT_EQ(captures + devicesJournal_, c.done);
        EXPECT_TRUE(main.isEnabled());
    }
}

// The keys held come with the double-click itself.
TEST_F(LoopSideTest, ADoubleClickInTheGridTakesCtrlFromTheEvent)
{
    struct Case {
        Qt::KeyboardModifiers modifiers;
        QStringList done;
    };
    const Case cases[] = {
        {Qt::NoModifier, {"wave play 1000-6000"}},
        {Qt::ControlModifier | Qt::AltModifier, {"wave stop", "wave play 1000-600000"}}};
    frmMain& main = ready();
    waveWithLoops({{1000, {}}});
    QWidget* cells = control<QTableView>(main, "loopPoints")->viewport();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.done.join(", ").toStdString());
        devicesJournal_.clear();
        const QPointF inside(5, 5);
        QMouseEvent twice(QEvent::MouseButtonDblClick, inside, cells->mapToGlobal(inside),
                          Qt::LeftButton, Qt::LeftButton, c.modifiers);
        QApplication::sendEvent(cells, &twice);
        EXPECT_EQ(devicesJournal_, c.done);
    }
}

TEST_F(LoopSideTest, TheLoopLengthPanelShowsOnlyForARowWithAnEnd)
{
    frmMain& main = ready();
    waveWithLoops({{1000, 5500}, {2000, {}}});
    loops_->rows().moveTo(0);
    EXPECT_FALSE(control<QLabel>(main, "pnlLoopLength")->isHidden());
    EXPECT_EQ(control<QLabel>(main, "pnlLoopLength")->text(),
              "Loop Length: 00:05"); // 4.5 s, to the nearest second
    loops_->rows().moveTo(1);
    EXPECT_TRUE(control<QLabel>(main, "pnlLoopLength")->isHidden());
    loops_->rows().moveTo(LoopRows::noRow);
    EXPECT_TRUE(control<QLabel>(main, "pnlLoopLength")->isHidden());
}

TEST_F(LoopSideTest, TheCdRemembersTheLastLoopChosenOnlyInTheCdView)
{
    ready();
    cdWithLoops({3000, 7000});
    const auto lastLoop = [this] {
        return rows(QStringLiteral("SELECT lastLoopSelected FROM CDs WHERE CDid = 7"))[0][0];
    };
    loops_->rows().moveTo(1);
    EXPECT_EQ(lastLoop(), 7000);
    waveWithLoops({{1000, {}}, {9000, {}}});
    loops_->rows().moveTo(1);
    EXPECT_EQ(lastLoop(), 7000);
}

TEST_F(LoopSideTest, ADataErrorNamesItsNumberAndWhereToReportIt)
{
    ready();
    loops_->dtaLoopPoints_Error(3197);
    ASSERT_FALSE(shownMessages().isEmpty());
    EXPECT_EQ(shownMessages().back(),
              "Please inform programmer that there has been a data error 3197 in the Loop Point "
              "control (send e-mail to support@lentaro.org)");
}

TEST_F(LoopSideTest, ANoteTheDatabaseRefusesIsReportedAndShownAsStored)
{
    frmMain& main = ready();
    waveWithLoops({{1000, {}}});
    execute(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON WaveLoopPoints BEGIN "
                           "SELECT RAISE(ABORT, 'refused'); END"));
    QTableView& grid = *control<QTableView>(main, "loopPoints");
    auto* model = qobject_cast<QSqlTableModel*>(grid.model());
    const QModelIndex cell = model->index(0, model->fieldIndex(QStringLiteral("Comment")));
    QStyleOptionViewItem option;
    QWidget* editor = grid.itemDelegate()->createEditor(grid.viewport(), option, cell);
    ASSERT_NE(editor, nullptr);
    qobject_cast<QLineEdit*>(editor)->setText(QStringLiteral("new note"));
    grid.itemDelegate()->setModelData(editor, model, cell);
    delete editor;
    ASSERT_FALSE(shownMessages().isEmpty());
    EXPECT_TRUE(shownMessages().back().startsWith(
        "Please inform programmer that there has been a data error "));
    EXPECT_EQ(cell.data().toString(), "loop 1");
    EXPECT_EQ(rows(QStringLiteral("SELECT Comment FROM WaveLoopPoints"))[0][0], "loop 1");
}

TEST_F(LoopSideTest, RightClicksExplainTheGridAndStartNewLoop)
{
    frmMain& main = ready();
    for (QWidget* widget : {control<QTableView>(main, "loopPoints")->viewport(),
                            static_cast<QWidget*>(control<QPushButton>(main, "cmdStartNewLoop"))}) {
        const QPointF inside(2, 2);
        QMouseEvent up(QEvent::MouseButtonRelease, inside, widget->mapToGlobal(inside),
                       Qt::RightButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &up);
    }
    const QStringList shown = shownMessages();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].startsWith("Shows the Loop Points for this CD or Wave file."));
    EXPECT_TRUE(shown[0].endsWith("\n\nPressing the Delete key deletes the Loop Point."));
    EXPECT_EQ(shown[1], "Creates a new loop point. Only works while a CD or Wave file is playing.");
}

TEST_F(LoopSideTest, AClickInTheGridStopsFollowingAndChoosesTheLoop)
{
    frmMain& main = ready();
    cdWithLoops({3000, 7000});
    programState().gvLoopHighlight = true;
    QTableView& grid = *control<QTableView>(main, "loopPoints");
    const QModelIndex second = grid.model()->index(1, grid.horizontalHeader()->logicalIndex(0));
    grid.setCurrentIndex(second);
    emit grid.clicked(second);
    EXPECT_FALSE(programState().gvLoopHighlight);
    EXPECT_EQ(loops_->rows().field(QStringLiteral("startTime")), 7000);
    EXPECT_EQ(rows(QStringLiteral("SELECT lastLoopSelected FROM CDs WHERE CDid = 7"))[0][0], 7000);
}

} // namespace
} // namespace lentaro::test
