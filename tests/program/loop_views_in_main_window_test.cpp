#include "tests/program/loop_side_window_fixture.h"

#include "app/programstate.h"
#include "app/shippedfiles.h"
#include "mainwindow/gridediting.h"
#include "tests/app/clicking.h"
#include "tests/app/traced_calls.h"
#include "tests/support/named_control.h"

#include <QAction>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlTableModel>
#include <QStyle>
#include <QTableView>

namespace lentaro::test {
namespace {

class LoopViewsInMainWindow : public LoopSideWindowTest
{
protected:
    // The captions of the grid's shown columns, left to right.
    QStringList shownColumns() const
    {
        const QTableView& grid = *control<QTableView>(*main_, "loopPoints");
        const QHeaderView& header = *grid.horizontalHeader();
        QStringList captions;
        for (int visual = 0; visual < header.count(); ++visual) {
            const int column = header.logicalIndex(visual);
            if (!grid.isColumnHidden(column))
                captions << grid.model()->headerData(column, Qt::Horizontal).toString();
        }
        return captions;
    }
};

TEST_F(LoopViewsInMainWindow, EachViewGivesItsColumnsAndPlace)
{
    struct Case {
        int view;
        QStringList columns;
        QRect place; // empty: beside the tracks grid
        double points;
        bool trackInfo;
    };
    const Case cases[] = {
        {2,
         {"Trk", "Start (ms)", "End (ms)", "Label/Comment", "Chords", "Lyrics"},
         {0, 0, 651, 233},
         8.25,
         false},
        {3, {"Trk", "Start (ms)", "Chords", "Lyrics"}, {0, 0, -1, 233}, 16, false},
        {1, {"Trk", "Start (ms)", "Label/Comment"}, {}, 8.25, true},
    };
    frmMain& main = ready();
    execute(QStringLiteral("INSERT INTO LoopPoints (CDid, startTime) VALUES (1, 3000)"));
    main.state().dtaLoopPoints->select();
    const QTableView& grid = *control<QTableView>(main, "loopPoints");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.view);
        control<QAction>(main, QStringLiteral("mnuChooseView(%1)").arg(c.view))->trigger();
        EXPECT_EQ(main.state().currentView(), c.view);
        EXPECT_EQ(shownColumns(), c.columns);
        EXPECT_EQ(grid.font().pointSizeF(), c.points);
        EXPECT_EQ(control<QTableView>(main, "tgTracks")->isHidden(), !c.trackInfo);
        EXPECT_EQ(control<QLineEdit>(main, "Comments")->isHidden(), !c.trackInfo);
        if (c.place.isEmpty() && c.place.width() == 0) {
            EXPECT_EQ(grid.x(), control<QTableView>(main, "tgTracks")->x()
                                    + control<QTableView>(main, "tgTracks")->width() + 10);
            EXPECT_EQ(grid.y(), control<QTableView>(main, "tgTracks")->y());
            EXPECT_EQ(grid.height(), control<QTableView>(main, "tgTracks")->height());
        } else {
            const int width = c.place.width() < 0 ? grid.parentWidget()->width() : c.place.width();
            EXPECT_EQ(grid.geometry(), QRect(c.place.topLeft(), QSize(width, c.place.height())));
        }
    }
    EXPECT_EQ(trappedError(), 0);
}

// Every caption of every view reads whole in the view's font: its section is at least as wide as
// the text and the header's margins (the Big Lyrics font would cut "Start (ms)" down to
// "tart (ms").
TEST_F(LoopViewsInMainWindow, EveryCaptionFitsItsColumnInEachView)
{
    frmMain& main = ready();
    main.show();
    const QTableView& grid = *control<QTableView>(main, "loopPoints");
    const QHeaderView& header = *grid.horizontalHeader();
    const int margins = 2 * header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
    for (const char* layout : {"Big Lyrics", "Loop Detail", "Normal"}) {
        SCOPED_TRACE(layout);
        choose(main, {"View", "CD View", layout});
        const QFontMetrics metrics(header.font());
        for (int column = 0; column < header.count(); ++column) {
            if (grid.isColumnHidden(column))
                continue;
            const QString caption = grid.model()->headerData(column, Qt::Horizontal).toString();
            EXPECT_GE(header.sectionSize(column), metrics.horizontalAdvance(caption) + margins)
                << caption.toStdString();
        }
    }
}

// Start New Loop says what it does, and the loop grid's help item stands in its pop-up menu and
// shows the grid's help, as a right click on the grid does.
TEST_F(LoopViewsInMainWindow, StartNewLoopAndTheGridsHelpItemSayWhatTheyDo)
{
    frmMain& main = ready();
    main.show();
    EXPECT_EQ(control<QPushButton>(main, "cmdStartNewLoop")->toolTip(),
              QStringLiteral("Start making loop points during play."));
    ASSERT_TRUE(control<QMenu>(main, "mnuLoopPopup")
                    ->actions()
                    .contains(control<QAction>(main, "mnuLoopHelp")));
    EXPECT_EQ(control<QAction>(main, "mnuLoopHelp")->text(),
              QStringLiteral("View &Help for the Loop Points grid"));
    TracedCalls calls(home());
    walk(calls, {{"View Help for the Loop Points grid",
                  [&] { control<QAction>(main, "mnuLoopHelp")->trigger(); },
                  "main form : Sub mnuLoopHelp_Click"},
                 {"a right click on the grid",
                  [&] { rightClick(control<QTableView>(main, "loopPoints")->viewport()); },
                  "main form : Sub mnuLoopHelp_Click"}});
    const QStringList shown = shownMessages();
    ASSERT_EQ(shown.size(), 2);
    for (const QString& text : shown)
        EXPECT_TRUE(text.startsWith("Shows the Loop Points for this CD or Wave file."));
}

TEST_F(LoopViewsInMainWindow, TheWaveViewShowsTheLoopDetail)
{
    frmMain& main = ready();
    openThroughMenu(main, secondsWave(path(QStringLiteral("music/song.wav")), 2));
    ASSERT_FALSE(main.state().cdView);
    EXPECT_EQ(shownColumns(),
              QStringList({"Start (ms)", "End (ms)", "Label/Comment", "Chords", "Lyrics"}));
    EXPECT_TRUE(control<QLineEdit>(main, "Comments")->isHidden());
}

} // namespace
} // namespace lentaro::test
