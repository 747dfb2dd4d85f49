#include "tests/app/app_fixture.h"
#include "tests/app/test_database.h"

#include "app/shippedfiles.h"
#include "loops/loopRows.h"
#include "mainwindow/mainstate.h"
#include "trace/runtimeerror.h"

#include <QSqlTableModel>

#include <optional>

namespace lentaro::test {
namespace {

// A wave file whose loops start at 9000, 5000, 1000 and 5000, stored in that order.
class LoopRowsTest : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(copyShippedFiles());
        db_.emplace(path("lentaro.mdb"));
        db_->run(QStringLiteral(
            "INSERT INTO \"Wave Files\" (waveFileID, waveFileName) VALUES (7, 'a.wav');"
            "INSERT INTO \"Wave Files\" (waveFileID, waveFileName) VALUES (8, 'b.wav');"
            "INSERT INTO WaveLoopPoints (rowKey, waveFileID, startTime, Comment) VALUES "
            "(1, 7, 9000, 'last'), (2, 7, 5000, 'first five'), (3, 7, 1000, 'one'), "
            "(4, 7, 5000, 'second five'), (5, 8, 300, 'other file');"));
        QString reason;
        ASSERT_TRUE(state_.bindDatabase(path("lentaro.mdb"), reason)) << reason.toStdString();
        ASSERT_TRUE(state_.bindWaveLoops(7, reason)) << reason.toStdString();
        rows_.emplace(state_);
        QObject::connect(&*rows_, &LoopRows::repositioned, [this] { ++repositions_; });
    }

    QString comment() const { return rows_->field(QStringLiteral("Comment")).toString(); }
    // The rows stored for file 7, as "startTime|Comment", in start order.
    QStringList stored()
    {
        return db_->rows(QStringLiteral("SELECT startTime, Comment FROM WaveLoopPoints WHERE "
                                        "waveFileID = 7 ORDER BY startTime, rowKey"));
    }

    MainState state_;
    std::optional<TestDatabase> db_;
    std::optional<LoopRows> rows_;
    int repositions_ = 0;
};

TEST_F(LoopRowsTest, RowsRunInStartOrderAndSharedStartsInTheOrderMade)
{
    ASSERT_EQ(rows_->count(), 4);
    QStringList comments;
    for (int row = 0; row < rows_->count(); ++row) {
        rows_->moveTo(row);
        comments << comment();
    }
    EXPECT_EQ(comments, QStringList({"one", "first five", "second five", "last"}));
}

TEST_F(LoopRowsTest, TheLoopPlayingIsTheLastStartingAtOrBeforeThePosition)
{
    struct Case {
        int position;
        int row;
    };
    const Case cases[] = {
        {500, LoopRows::noRow}, {1000, 0}, {4999, 0}, {5000, 1}, {8999, 1}, {12000, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(rows_->lastStartingAtOrBefore(c.position), c.row);
    }
}

TEST_F(LoopRowsTest, FindNextAndRequeryMoveTheCurrentRowAndAnnounceEachMove)
{
    ASSERT_EQ(rows_->currentRow(), 0);
    repositions_ = 0;
    EXPECT_TRUE(rows_->findFirst(QStringLiteral("startTime"), 5000));
    EXPECT_EQ(comment(), "first five");
    rows_->moveNext();
    EXPECT_EQ(comment(), "second five");
    rows_->moveNext();
    rows_->moveNext();
    EXPECT_EQ(rows_->currentRow(), LoopRows::noRow);
    EXPECT_FALSE(rows_->findFirst(QStringLiteral("startTime"), 4000));
    EXPECT_EQ(rows_->currentRow(), LoopRows::noRow);
    rows_->requery();
    EXPECT_EQ(comment(), "one");
    EXPECT_EQ(repositions_, 6);
}

TEST_F(LoopRowsTest, NoCurrentRowIsARunTimeError)
{
    rows_->moveTo(LoopRows::noRow);
    try {
        rows_->field(QStringLiteral("startTime"));
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 3021);
    }
    EXPECT_THROW(rows_->deleteCurrent(), RuntimeError);
    EXPECT_EQ(stored().size(), 4);
}

TEST_F(LoopRowsTest, TheCurrentRowStaysOnItsKeyWhenTheRowsAreReadAgain)
{
    rows_->findFirst(QStringLiteral("Comment"), QStringLiteral("second five"));
    db_->run(QStringLiteral("INSERT INTO WaveLoopPoints (waveFileID, startTime, Comment) "
                            "VALUES (7, 10, 'earliest')"));
    state_.dtaLoopPoints->select();
    EXPECT_EQ(rows_->currentRow(), 3);
    EXPECT_EQ(comment(), "second five");
    EXPECT_EQ(rows_->lastStartingAtOrBefore(10), 0);
}

TEST_F(LoopRowsTest, AddingSeveralRowsStoresAllOrNone)
{
    // One statement, so that the script runner does not split it at the inner semicolon.
    db_->value(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON WaveLoopPoints WHEN "
                              "NEW.Comment = 'bad' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const auto row = [this](int start, const char* text) {
        QSqlRecord record = rows_->newRow();
        record.setValue(QStringLiteral("waveFileID"), 7);
        record.setValue(QStringLiteral("startTime"), start);
        record.setValue(QStringLiteral("Comment"), QString::fromLatin1(text));
        return record;
    };
    const QStringList before = stored();
    EXPECT_THROW(rows_->add({row(2000, "good"), row(3000, "bad")}), RuntimeError);
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(rows_->count(), 4);

    rows_->add({row(2000, "good"), row(3000, "also good")});
    EXPECT_EQ(stored().size(), 6);
    EXPECT_EQ(rows_->count(), 6);
    EXPECT_EQ(db_->value(QStringLiteral("SELECT endTime IS NULL FROM WaveLoopPoints WHERE "
                                        "Comment = 'good'")),
              1);
}

TEST_F(LoopRowsTest, DeletingTheCurrentRowMovesToItsNeighbour)
{
    struct Case {
        const char* deleted;
        const char* next;
    };
    const Case cases[] = {{"first five", "second five"}, {"last", "second five"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.deleted);
        ASSERT_TRUE(rows_->findFirst(QStringLiteral("Comment"), QString::fromLatin1(c.deleted)));
        rows_->deleteCurrent();
        EXPECT_EQ(comment(), c.next);
    }
    EXPECT_EQ(stored(), QStringList({"1000|one", "5000|second five"}));
}

TEST_F(LoopRowsTest, EditsMadeInTheGridAreStored)
{
    QSqlTableModel& model = *state_.dtaLoopPoints;
    ASSERT_TRUE(model.setData(model.index(0, model.fieldIndex(QStringLiteral("lyrics"))),
                              QStringLiteral("la la")));
    EXPECT_EQ(db_->value(QStringLiteral("SELECT lyrics FROM WaveLoopPoints WHERE rowKey = 3")),
              "la la");
}

TEST_F(LoopRowsTest, ARebindFollowsTheNewDataControl)
{
    QString reason;
    ASSERT_TRUE(state_.bindWaveLoops(8, reason));
    EXPECT_EQ(rows_->model(), state_.dtaLoopPoints);
    ASSERT_EQ(rows_->count(), 1);
    EXPECT_EQ(comment(), "other file");
    EXPECT_EQ(rows_->lastStartingAtOrBefore(9000), 0);
}

} // namespace
} // namespace lentaro::test
