#include "tests/program/cd_window_fixture.h"

#include "app/programstate.h"
#include "loops/frmTrim.h"
#include "loops/makeLoopPoints.h"
#include "mainwindow/mainstate.h"
#include "platform/mci/MMControl.h"
#include "program/programsides.h"
#include "tests/program/person.h"
#include "tests/support/named_control.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace lentaro::test {

namespace {

constexpr int tmsfFormat = 10;

template <class Window>
Window* openWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* found = qobject_cast<Window*>(window);
        if (found && found->isVisible())
            return found;
    }
    return nullptr;
}

// The main window as the program composes it (its CD side, loop side and waveform view) over the
// four-track disc in drive D:, its CD device playing on the test's sound card: the disc plays as
// far as the test moves the card's clock.
class ProgramCdWindow : public CdWindowTest
{
protected:
    void SetUp() override
    {
        CdWindowTest::SetUp();
        makeSides_ = programSides;
    }

    // The disc shown: its own CDs row, not the "No CD" one.
    int showDisc()
    {
        showDiscs({fourTrackDisc()});
        // Laid out as start-up leaves it.
        main().changeToMode(QStringLiteral("CD"), false);
        const int CDid = main().state().currentCDid;
        EXPECT_GT(CDid, 1);
        return CDid;
    }
    mci::MMControl& cd() { return *control<mci::MMControl>(main(), "CDControl"); }
    bool cdPlays() { return cd().mode() == static_cast<int>(mci::Mode::Playing); }
    int cdPositionMs()
    {
        cd().setTimeFormat(0);
        return cd().position();
    }
    void hear(int ms) { sound_.hear(ms, cd()); }
    // Until the CD has reported its position: the position box then reads it, and the device is
    // left in the track format the box is written from.
    bool positionReported()
    {
        return QTest::qWaitFor([&] { return cd().timeFormat() == tmsfFormat; }, 5000);
    }

    // Start New Loop while the disc plays, then Keep in the loop maker that many ms later.
    void markLoop(int lengthMs)
    {
        test::click(control<QPushButton>(main(), "cmdStartNewLoop"));
        makeLoopPoints* maker = openWindow<makeLoopPoints>();
        ASSERT_NE(maker, nullptr);
        hear(lengthMs);
        test::click(captioned<QPushButton>(
            *maker, QStringLiteral("Complete Current Loop and Close Window")));
        ASSERT_EQ(openWindow<makeLoopPoints>(), nullptr);
    }

    // The disc's loops as stored: "CDid|TrackNum" each.
    QStringList storedLoops()
    {
        QSqlQuery query(db());
        EXPECT_TRUE(query.exec("SELECT CDid, TrackNum FROM LoopPoints ORDER BY startTime"));
        QStringList rows;
        while (query.next())
            rows << query.value(0).toString() + '|' + query.value(1).toString();
        return rows;
    }
    QVariant lastLoopSelected(int CDid)
    {
        QSqlQuery query(db());
        query.exec(QStringLiteral("SELECT lastLoopSelected FROM CDs WHERE CDid=%1").arg(CDid));
        return query.next() ? query.value(0) : QVariant();
    }
    QVariant loopField(int row, const char* field)
    {
        QSqlTableModel& loops = *main().state().dtaLoopPoints;
        return loops.data(loops.index(row, loops.fieldIndex(QLatin1String(field))));
    }
    bool loopChosen(int row)
    {
        return control<QTableView>(main(), "loopPoints")
            ->selectionModel()
            ->isRowSelected(row, QModelIndex());
    }
    // In the row's last column: the trim window, once open, covers the grid's left part.
    QPoint loopAt(int row)
    {
        QTableView& grid = *control<QTableView>(main(), "loopPoints");
        const QHeaderView& columns = *grid.horizontalHeader();
        int last = columns.count() - 1;
        while (last > 0 && columns.isSectionHidden(columns.logicalIndex(last)))
            --last;
        return grid.visualRect(grid.model()->index(row, columns.logicalIndex(last))).center();
    }
    void clickLoop(int row)
    {
        QTest::mouseClick(control<QTableView>(main(), "loopPoints")->viewport(), Qt::LeftButton, {},
                          loopAt(row));
    }
    void doubleClickLoop(int row)
    {
        clickLoop(row);
        QTest::mouseDClick(control<QTableView>(main(), "loopPoints")->viewport(), Qt::LeftButton,
                           {}, loopAt(row));
    }
    // Two loops of track 2 stored for the disc, shown in its grid: 1-3 s and 5-8 s into it.
    void twoLoopsOnTrack2(int CDid)
    {
        changeRows(QStringLiteral("INSERT INTO LoopPoints (CDid, TrackNum, startTime, endTime, "
                                  "Comment) VALUES (%1, 2, 18000, 20000, 'a'), (%1, 2, 22000, "
                                  "25000, 'b')")
                       .arg(CDid));
        ASSERT_EQ(main().state().dtaLoopPoints->rowCount(), 2);
    }
};

// A musician's first loop, as the first start's hint tells it: play, Start New Loop, and Keep.
TEST_F(ProgramCdWindow, ALoopMarkedLiveIsTheDiscsAndIsChosenAgainWhenTheDiscComesBack)
{
    const int CDid = showDisc();
    doubleClick(cellOf(2, "TrackNum"));
    ASSERT_TRUE(cdPlays());
    hear(1000);

    markLoop(2000);

    EXPECT_EQ(storedLoops(), QStringList{QStringLiteral("%1|2").arg(CDid)});
    ASSERT_EQ(main().state().dtaLoopPoints->rowCount(), 1);
    const QVariant start = loopField(0, "startTime");
    EXPECT_EQ(lastLoopSelected(CDid), start);
    EXPECT_TRUE(control<QPushButton>(main(), "cmdSlowPlay")->isEnabled());
    // Kept and played at once.
    EXPECT_TRUE(cdPlays());
    EXPECT_GE(cdPositionMs(), start.toInt());

    eject('D');
    discChanges_.remove('D');
    EXPECT_EQ(main().state().dtaLoopPoints->rowCount(), 0);
    insert('D');
    discChanges_.arrive('D');

    EXPECT_EQ(main().state().currentCDid, CDid);
    ASSERT_EQ(main().state().dtaLoopPoints->rowCount(), 1);
    EXPECT_TRUE(loopChosen(0));
}

// F7 and a double-click on a loop, once the playing CD has reported its position (and again
// while the first loop plays): each plays its loop, the trim window on its limits.
TEST_F(ProgramCdWindow, PlaySelectedLoopPlaysTheLoopAfterTheCdReportedItsPosition)
{
    struct Loop {
        int row;
        int start;
        int end;
    };
    const int CDid = showDisc();
    twoLoopsOnTrack2(CDid);
    doubleClick(cellOf(2, "TrackNum"));
    hear(500);
    ASSERT_TRUE(positionReported());

    for (const auto& [row, start, end] : {Loop{0, 18000, 20000}, Loop{1, 22000, 25000}}) {
        SCOPED_TRACE(row);
        if (row == 0) {
            clickLoop(row);
            press(main(), Qt::Key_F7);
        } else {
            hear(500);
            ASSERT_TRUE(positionReported());
            doubleClickLoop(row);
        }

        ASSERT_TRUE(cdPlays());
        EXPECT_EQ(cdPositionMs(), start);
        // It lives inside the main window.
        auto* trim = main().findChild<frmTrim*>();
        ASSERT_TRUE(trim && trim->isVisible());
        EXPECT_EQ(trim->slStart[0]->value(), start);
        EXPECT_EQ(trim->slStart[1]->value(), end);
        hear(1000);
        EXPECT_GT(cdPositionMs(), start);
        EXPECT_LT(cdPositionMs(), end);
    }
    EXPECT_TRUE(shownMessages().isEmpty()) << shownMessages().join('\n').toStdString();
}

// The Wave view's status stays there: back in the CD view the status is the disc's, or that
// there is none.
TEST_F(ProgramCdWindow, BackInTheCdViewTheStatusIsTheDiscsNotTheWaveFiles)
{
    const QString song = sound_.path("song.wav");
    mci::test::writeWave16(song.toStdString(), 8000, 1, std::vector<std::int16_t>(8000));
    for (const bool discIn : {true, false}) {
        SCOPED_TRACE(discIn ? "disc in" : "no disc");
        showDisc();
        if (!discIn) {
            eject('D');
            discChanges_.remove('D');
        }
        const QString cdStatus = control<QLabel>(main(), "pnlMsg")->text();
        prompts_.queueFile(song);
        control<QAction>(main(), "mnuWaveView")->trigger();
        ASSERT_FALSE(main().state().cdView);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return control<QLabel>(main(), "pnlMsg")
                    ->text()
                    .startsWith(QStringLiteral("Wave file "));
            },
            5000));

        choose(main(),
               {QStringLiteral("View"), QStringLiteral("CD View"), QStringLiteral("Normal")});

        ASSERT_TRUE(main().state().cdView);
        EXPECT_EQ(control<QLabel>(main(), "pnlMsg")->text(),
                  discIn ? QStringLiteral("CD Found") : QStringLiteral("No CD in drive"));
        EXPECT_EQ(control<QLabel>(main(), "pnlMsg")->text(), cdStatus);
        TearDown();
        SetUp();
    }
}

// A loop's note still being typed when the disc is taken out is the loop's.
TEST_F(ProgramCdWindow, ALoopNoteTypedWhenTheDiscGoesIsStored)
{
    const int CDid = showDisc();
    twoLoopsOnTrack2(CDid);
    QTableView& grid = *control<QTableView>(main(), "loopPoints");
    QSqlTableModel& loops = *main().state().dtaLoopPoints;
    const QModelIndex note = loops.index(1, loops.fieldIndex(QStringLiteral("Comment")));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(note).center());
    QTest::keyClicks(&grid, QStringLiteral("c"));
    auto* editor = grid.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("horus"));

    eject('D');
    discChanges_.remove('D');

    EXPECT_EQ(count("LoopPoints",
                    QStringLiteral("CDid=%1 AND startTime=22000 AND Comment='chorus'").arg(CDid)),
              1);
}

} // namespace

} // namespace lentaro::test
