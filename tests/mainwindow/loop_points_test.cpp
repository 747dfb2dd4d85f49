#include "tests/app/app_fixture.h"

#include "mainwindow/loopPoints.h"

#include <functional>

namespace lentaro::test {
namespace {

class LoopPointsTest : public AppTest
{
protected:
    // A, B and C, added without keys.
    void addThree()
    {
        for (const char* name : {"A", "B", "C"})
            points_.Add(QString::fromLatin1(name), QStringLiteral("0"), QString());
    }

    loopPoints points_;
};

TEST_F(LoopPointsTest, AddRemoveAndItemKeepInsertionOrder)
{
    addThree();
    points_.Remove(2);
    ASSERT_EQ(points_.Count(), 2);
    EXPECT_EQ(points_.Item(1)->Key, "A");
    EXPECT_EQ(points_.Item(2)->Key, "C");
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(LoopPointsTest, BadIndexesAndKeysFailThroughTheTrapAndChangeNothing)
{
    struct Case {
        const char* what;
        std::function<bool(loopPoints&)> call; // true when it returned a record
        int error;
        const char* procedure;
    };
    // Each case differs from the one before in error or procedure, so each shows its own.
    const Case cases[] = {
        {"Item(0)", [](loopPoints& p) { return p.Item(0) != nullptr; }, 9, "Property Get Item"},
        {"Item of a record's own Key, added without a list key",
         [](loopPoints& p) { return p.Item(QStringLiteral("A")) != nullptr; }, 5,
         "Property Get Item"},
        {"Item(Count + 1)", [](loopPoints& p) { return p.Item(p.Count() + 1) != nullptr; }, 9,
         "Property Get Item"},
        {"Remove of an unknown key",
         [](loopPoints& p) {
             p.Remove(QStringLiteral("nobody"));
             return false;
         },
         5, "Sub Remove"},
        {"Remove(0)",
         [](loopPoints& p) {
             p.Remove(0);
             return false;
         },
         9, "Sub Remove"},
        {"Add under a key already present",
         [](loopPoints& p) {
             return p.Add(QStringLiteral("D"), {}, {}, QStringLiteral("k")) != nullptr;
         },
         457, "Function Add"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        points_.Clear();
        addThree();
        points_.Add(QStringLiteral("K"), {}, {}, QStringLiteral("k"));
        EXPECT_FALSE(c.call(points_));
        EXPECT_EQ(trappedError(), c.error);
        EXPECT_EQ(lastError().procedure, c.procedure);
        EXPECT_EQ(points_.Count(), 4);
    }
}

TEST_F(LoopPointsTest, RecordsAreSharedAndFoundByTheirListKey)
{
    const loopPoints::Record added =
        points_.Add(QStringLiteral("0012345"), QStringLiteral("0012345"), QStringLiteral("01:02"),
                    QStringLiteral("first"));
    added->startTimeTTMMSS = QStringLiteral("changed");
    EXPECT_EQ(points_.Item(1)->startTimeTTMMSS, "changed");
    EXPECT_EQ(points_.Item(QStringLiteral("first")), added);
    points_.Remove(QStringLiteral("first"));
    EXPECT_EQ(points_.Count(), 0);
}

TEST_F(LoopPointsTest, EnumerationFollowsInsertionOrder)
{
    addThree();
    QString order;
    for (const loopPoints::Record& record : points_)
        order += record->Key;
    EXPECT_EQ(order, "ABC");
}

TEST_F(LoopPointsTest, HoldsAndClearsMoreThan32767Records)
{
    points_.Clear();
    EXPECT_EQ(points_.Count(), 0);
    for (int i = 0; i < 40000; ++i)
        points_.Add(QString::number(i), QString::number(i), QString());
    EXPECT_EQ(points_.Item(40000)->Key, "39999");
    points_.Clear();
    EXPECT_EQ(points_.Count(), 0);
    EXPECT_EQ(trappedError(), 0);
}

} // namespace
} // namespace lentaro::test
