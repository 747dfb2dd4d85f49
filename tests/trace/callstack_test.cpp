#include "trace/callstack.h"
#include "trace/traceline.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <vector>

namespace lentaro {
namespace {

TEST(CallStack, EntriesCarryDepthIndentModuleProcedureAndArguments)
{
    CallStack stack;
    stack.push("frmMain", "Sub Main");
    stack.push("frmTrim", "Sub Form_Load", {{"x", 1}});
    stack.push("main form", "Function ms", {{"text", "1:02"}});
    EXPECT_EQ(stack.entryText(1), " 1 : frmMain : Sub Main : ()");
    EXPECT_EQ(stack.entryText(3), " 3 : \t\tmain form : Function ms : (text=1:02)");
    EXPECT_EQ(stack.snapshot(),
              QStringList({" 1 : frmMain : Sub Main : ()", " 2 : \tfrmTrim : Sub Form_Load : (x=1)",
                           " 3 : \t\tmain form : Function ms : (text=1:02)"}));
}

TEST(CallStack, MatchesOnlyTheExactModuleAndProcedure)
{
    CallStack stack;
    stack.push("main form", "Sub AB");
    EXPECT_TRUE(stack.topIs("main form", "Sub AB"));
    EXPECT_FALSE(stack.topIs("main form", "Sub A"));
    EXPECT_FALSE(stack.topIs("main", "Sub AB"));
    EXPECT_FALSE(stack.topIs("main form2", "Sub AB"));
    EXPECT_FALSE(stack.topIs("main form", "Sub ABC"));
}

TEST(CallStack, LevelsBeyondCapacityAreCountedNotStored)
{
    std::vector<QByteArray> names;
    for (int level = 1; level <= CallStack::capacity + 3; ++level)
        names.push_back("Sub L" + QByteArray::number(level));
    CallStack stack;
    for (const QByteArray& name : names)
        stack.push("m", name.constData());
    EXPECT_EQ(stack.depth(), CallStack::capacity + 3);
    EXPECT_FALSE(stack.topStored());
    EXPECT_STREQ(stack.innermostStored()->procedure(), "Sub L1000");
    EXPECT_EQ(stack.snapshot().size(), CallStack::capacity);
    for (int i = 0; i < 3; ++i)
        stack.pop();
    EXPECT_TRUE(stack.topIs("m", "Sub L1000"));
}

TEST(TraceLine, ElapsedTimeIsTensOfSecondsWithFourDecimals)
{
    EXPECT_EQ(pfDecimalSeparator(0), "00000.0000");
    EXPECT_EQ(pfDecimalSeparator(312), "00000.0312");
    EXPECT_EQ(pfDecimalSeparator(1234), "00000.1234");
    EXPECT_EQ(pfDecimalSeparator(12345), "00001.2345");
    EXPECT_EQ(pfDecimalSeparator(999999999), "99999.9999");
    EXPECT_EQ(pfDecimalSeparator(4294968530LL), "429496.8530");
    EXPECT_EQ(pfDecimalSeparator(-312), "-00000.0312");
}

TEST(TraceLine, CounterHasFiveDigitsAndGrowsPastThem)
{
    EXPECT_EQ(lineCounterText(42), "00042");
    EXPECT_EQ(lineCounterText(99999), "99999");
    EXPECT_EQ(lineCounterText(100000), "100000");
}

} // namespace
} // namespace lentaro
