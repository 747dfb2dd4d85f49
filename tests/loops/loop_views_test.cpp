#include "tests/loops/loop_side_fixture.h"

#include "app/programstate.h"
#include "app/shippedfiles.h"
#include "mainwindow/gridediting.h"

#include <QFile>
#include <QHeaderView>
#include <QSqlTableModel>
#include <QTableView>

namespace lentaro::test {
namespace {

const QStringList builtInColumns = {"Trk", "Chords", "Lyrics", "Label/Comment"};

class LoopViews : public LoopSideTest
{
protected:
    // The captions of the grid's shown columns, left to right.
    QStringList shownColumns() const
    {
        const QTableView& grid = *rig_->loopPoints;
        const QHeaderView& header = *grid.horizontalHeader();
        QStringList captions;
        for (int visual = 0; visual < header.count(); ++visual) {
            const int column = header.logicalIndex(visual);
            if (!grid.isColumnHidden(column))
                captions << grid.model()->headerData(column, Qt::Horizontal).toString();
        }
        return captions;
    }
    bool editable(const char* field)
    {
        QTableView& grid = *rig_->loopPoints;
        const auto* model = qobject_cast<QSqlTableModel*>(grid.model());
        const QModelIndex cell = model->index(0, model->fieldIndex(QString::fromLatin1(field)));
        grid.edit(cell);
        const bool opened = isEditing(grid);
        grid.reset();
        return opened;
    }
};

TEST_F(LoopViews, TheGridStartsInTheNormalView)
{
    ready();
    EXPECT_EQ(shownColumns(), QStringList({"Trk", "Start (ms)", "Label/Comment"}));
}

TEST_F(LoopViews, TrackAndStartCannotBeEditedTheNotesCan)
{
    LoopSideRig& rig = ready();
    rig.show();
    cdWithLoops({});
    execute(
        QStringLiteral("INSERT INTO LoopPoints (CDid, TrackNum, startTime) VALUES (%1, 2, 3000)")
            .arg(cdWithLoopsID));
    rig.state().dtaLoopPoints->select();
    loops_->mnuChooseView_Click(2);
    EXPECT_FALSE(editable("TrackNum"));
    EXPECT_FALSE(editable("startTime"));
    EXPECT_FALSE(editable("endTime"));
    EXPECT_TRUE(editable("lyrics"));
}

TEST_F(LoopViews, AViewChosenFromTheWaveViewShowsTheCdViewFirst)
{
    LoopSideRig& rig = ready();
    waveWithLoops({{1000, {}}});
    loops_->mnuChooseView_Click(2);
    EXPECT_TRUE(rig.state().cdView);
    EXPECT_EQ(rig.state().currentMMControl(), rig.CDControl);
}

// A layout that cannot be read leaves the built-in columns; smallvw and biglyric report it,
// detail does not.
TEST_F(LoopViews, AnUnreadableLayoutKeepsTheBuiltInColumns)
{
    struct Case {
        const char* file;
        QByteArray text; // empty: the file is gone
        int view;
        int error;
    };
    const Case cases[] = {
        {"smallvw.grx", "layout: smallvw\ncolumn: Comment|C|wide|editable\n", 1, 3273},
        {"biglyric.grx", {}, 3, 53},
        {"detail.grx", "garbage", 2, 0},
    };
    LoopSideRig& rig = ready();
    cdWithLoops({3000});
    rig.state().dtaLoopPoints->select();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        loops_->mnuChooseView_Click(c.view == 2 ? 1 : 2);
        ASSERT_NE(shownColumns(), builtInColumns);
        QFile::remove(path(QString::fromLatin1(c.file)));
        if (!c.text.isEmpty())
            writeFile(QString::fromLatin1(c.file), c.text);
        const int before = trappedError();
        loops_->mnuChooseView_Click(c.view);
        EXPECT_EQ(shownColumns(), builtInColumns);
        EXPECT_EQ(trappedError(), c.error ? c.error : before);
        EXPECT_EQ(rig.state().currentView(), c.view);
        QFile::remove(path(QString::fromLatin1(c.file)));
        ASSERT_TRUE(copyShippedFiles());
    }
}

} // namespace
} // namespace lentaro::test
