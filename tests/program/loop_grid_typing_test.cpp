// Typing into the loop grid as a person does: a click on a cell, then keys to whatever has the
// keyboard's focus.
#include "tests/program/loop_side_window_fixture.h"

#include "mainwindow/gridediting.h"
#include "tests/support/named_control.h"

#include <QApplication>
#include <QSqlTableModel>
#include <QTableView>
#include <QTest>

#include <chrono>

namespace lentaro::test {
namespace {

using namespace std::chrono_literals;

class GridTyping : public LoopSideWindowTest
{
protected:
    // The Wave view of a file with two loops, the first one chosen, the window active.
    QTableView& shown()
    {
        frmMain& main = ready();
        main.setClock([this] { return now_; });
        waveWithLoops({{1000, 2000}, {3000, 4000}});
        main.show();
        QApplication::setActiveWindow(&main);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&main));
        return *control<QTableView>(main, "loopPoints");
    }
    QModelIndex comment(int row) const
    {
        const auto* model =
            qobject_cast<const QSqlTableModel*>(control<QTableView>(*main_, "loopPoints")->model());
        return model->index(row, model->fieldIndex(QStringLiteral("Comment")));
    }
    QString stored(int row) const
    {
        return rows(QStringLiteral("SELECT Comment FROM WaveLoopPoints ORDER BY startTime"))[row][0]
            .toString();
    }
    void click(const QModelIndex& cell)
    {
        QTableView& grid = *control<QTableView>(*main_, "loopPoints");
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(cell).center());
    }
    // Each key goes where the focus is at that moment, as the keyboard's do.
    static void type(const QString& text)
    {
        for (const QChar c : text)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
    // Return, and what it leads to once the window has taken its events.
    static void enter()
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::qWait(0);
    }
    // Past the double-click time: an edit a click still owed would have opened by then.
    static void letTheClickPass() { QTest::qWait(QApplication::doubleClickInterval() + 100); }

    std::chrono::steady_clock::duration now_ = 1h;
};

// The first key after a click starts editing the cell clicked and is its first letter, whether
// or not the loop was chosen before, and no letter typed while a double-click could still
// follow is lost.
TEST_F(GridTyping, TypingRightAfterAClickEditsThatCellFromItsFirstKey)
{
    struct Case {
        const char* name;
        int row;
    };
    const Case cases[] = {{"a loop not chosen yet", 1}, {"the loop already chosen", 0}};
    QTableView& grid = shown();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        click(comment(c.row));
        type(QStringLiteral("hel"));
        letTheClickPass();
        type(QStringLiteral("lo comment"));
        enter();
        EXPECT_EQ(stored(c.row), "hello comment");
        EXPECT_FALSE(isEditing(grid));
        EXPECT_EQ(wave_->plays, 0);
    }
}

// A space in the grid plays or stops, once, and is never typed into a cell: neither right after
// a click, nor within 10 s of typing (when the window passes spaces on to the control with the
// focus).
TEST_F(GridTyping, ASpacePlaysOrStopsAndNeverEntersACell)
{
    struct Case {
        const char* name;
        int row;
        std::chrono::seconds sinceTyping;
    };
    const Case cases[] = {
        {"a loop not chosen yet, long after typing", 1, 30s},
        {"a loop not chosen yet, soon after typing", 1, 2s},
        {"the loop already chosen, soon after typing", 0, 2s},
    };
    QTableView& grid = shown();
    int plays = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        main_->stampTyping();
        now_ += c.sinceTyping;
        click(comment(c.row));
        type(QStringLiteral(" "));
        EXPECT_EQ(wave_->plays, ++plays);
        letTheClickPass();
        EXPECT_FALSE(isEditing(grid));
        // The second space stops, and then the note is typed as it was meant.
        type(QStringLiteral(" hello world"));
        enter();
        EXPECT_EQ(stored(c.row), "hello world");
        EXPECT_EQ(wave_->plays, plays);
        EXPECT_EQ(wave_->currentMode, mci::Mode::Stopped);
    }
}

// A space within 10 s of typing a note leaves the note as typed.
TEST_F(GridTyping, ASpaceSoonAfterTypingANoteLeavesTheNote)
{
    QTableView& grid = shown();
    click(comment(1));
    type(QStringLiteral("chorus"));
    enter();
    now_ += 3s;
    type(QStringLiteral(" "));
    letTheClickPass();
    EXPECT_FALSE(isEditing(grid));
    enter();
    EXPECT_EQ(stored(1), "chorus");
    EXPECT_EQ(wave_->plays, 1);
}

} // namespace
} // namespace lentaro::test
