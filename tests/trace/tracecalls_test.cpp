#include "tests/trace/trace_fixture.h"

#include "trace/tracescope.h"

#include <QByteArray>
#include <QTimer>

#include <vector>

namespace lentaro::test {
namespace {

using TraceCalls = TraceTest;

TEST_F(TraceCalls, EntryAndExitLinesOfATracedProcedure)
{
    writeIni(plainLogIni);
    now_ = 5000;
    {
        TraceScope outer("frmMain", "Sub Main");
        now_ = 5100;
        TraceScope middle("main form", "Sub Form_Load");
        now_ = 5312;
        TraceScope inner("frmTrim", "Sub Form_QueryUnload", {{"Cancel", 0}, {"UnloadMode", 1}});
        now_ = 6234;
    }
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 7);
    EXPECT_TRUE(lines[0].startsWith("[Lentaro] "));
    EXPECT_TRUE(
        lines[0].endsWith(" - start Sentrix client v6.6 (C++17 and Qt 6 on Linux) data capture"));
    EXPECT_EQ(
        lines[1],
        "[Lentaro] [00001] [00000.0000] ->frmMain : Sub Main : () : [res = 41%, mem = 6815744] : ");
    EXPECT_EQ(lines[3], "[Lentaro] [00003] [00000.0312] ->\t\tfrmTrim : Sub Form_QueryUnload : "
                        "(Cancel=0, UnloadMode=1) : [res = 41%, mem = 6815744] : ");
    EXPECT_EQ(lines[4], "[Lentaro] [00004] [00000.1234] <-\t\tfrmTrim : Sub Form_QueryUnload : "
                        "(Cancel=0, UnloadMode=1) : [res = 41%, mem = 6815744] : ");
    EXPECT_EQ(
        lines[6],
        "[Lentaro] [00006] [00000.1234] <-frmMain : Sub Main : () : [res = 41%, mem = 6815744] : ");
    EXPECT_TRUE(readFile("error.log").endsWith(" : \r\n"));
}

TEST_F(TraceCalls, ExitLineShowsTheArgumentsStoredAtEntry)
{
    writeIni(plainLogIni + "[include]\nResources=0\nMemory=0\nUser=0\n");
    QString text = QStringLiteral("1:02");
    sxPUSH("frmTrim", "Function ms", {{"text", text}});
    text = QStringLiteral("changed");
    sxPOP("frmTrim", "Function ms");
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[2], "[Lentaro] [00002] [00000.0000] <-frmTrim : Function ms : (text=1:02)");
}

struct IncludeCase {
    bool arguments, resources, memory, user;
    const char* expected; // after the head "[Lentaro] [00001] [00000.0000] ->"
};

void PrintTo(const IncludeCase& c, std::ostream* out)
{
    *out << '"' << c.expected << '"';
}

class IncludeFlags : public TraceTest, public ::testing::WithParamInterface<IncludeCase>
{};

TEST_P(IncludeFlags, DecideTheLineSuffix)
{
    const IncludeCase& c = GetParam();
    writeIni(plainLogIni
             + QStringLiteral("[include]\nArguments=%1\nResources=%2\nMemory=%3\nUser=%4\n")
                   .arg(int(c.arguments))
                   .arg(int(c.resources))
                   .arg(int(c.memory))
                   .arg(int(c.user)));
    {
        TraceScope trace("frmMain", "Sub Main", {{"a", 1}});
    }
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[1], QStringLiteral("[Lentaro] [00001] [00000.0000] ->") + c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    TraceCalls, IncludeFlags,
    ::testing::Values(
        IncludeCase{true, true, true, true,
                    "frmMain : Sub Main : (a=1) : [res = 41%, mem = 6815744] : "},
        IncludeCase{false, false, false, false, "frmMain : Sub Main"},
        IncludeCase{true, false, false, false, "frmMain : Sub Main : (a=1)"},
        IncludeCase{false, true, false, false, "frmMain : Sub Main : [res = 41%]"},
        IncludeCase{false, false, true, false, "frmMain : Sub Main : [mem = 6815744]"},
        IncludeCase{false, false, false, true, "frmMain : Sub Main : "},
        IncludeCase{false, true, true, false, "frmMain : Sub Main : [res = 41%, mem = 6815744]"},
        IncludeCase{true, false, true, true, "frmMain : Sub Main : (a=1) : [mem = 6815744] : "},
        IncludeCase{true, true, false, true, "frmMain : Sub Main : (a=1) : [res = 41%] : "}),
    [](const ::testing::TestParamInfo<IncludeCase>& info) {
        const IncludeCase& c = info.param;
        return std::string("Arguments") + (c.arguments ? "On" : "Off") + "Resources"
               + (c.resources ? "On" : "Off") + "Memory" + (c.memory ? "On" : "Off") + "User"
               + (c.user ? "On" : "Off");
    });

TEST_F(TraceCalls, WithEveryOutputOffNoLineIsMadeButTheStackFollows)
{
    sxPUSH("frmMain", "Sub Main");
    sxPUSH("frmTrim", "Sub Form_Load", {{"x", 1}});
    EXPECT_EQ(runtime().callStack().depth(), 2);
    EXPECT_EQ(runtime().callStack().entryText(2), " 2 : \tfrmTrim : Sub Form_Load : (x=1)");
    sxPOP("frmTrim", "Sub Form_Load");
    EXPECT_EQ(runtime().callStack().depth(), 1);
    sxPOP("frmMain", "Sub Main");
    EXPECT_EQ(runtime().callStack().depth(), 0);
    EXPECT_EQ(runtime().lineCount(), 0);
    EXPECT_FALSE(QFile::exists(path("error.log")));
}

TEST_F(TraceCalls, CaptureWithoutWriteMakesLinesButWritesNoFile)
{
    writeIni("[log file]\nCapture To Disk=1\nWrite To Disk=0\n");
    sxPUSH("frmMain", "Sub Main");
    sxPOP("frmMain", "Sub Main");
    EXPECT_EQ(runtime().lineCount(), 2);
    EXPECT_FALSE(QFile::exists(path("error.log")));
}

TEST_F(TraceCalls, CallsDeeperThanTheStackAreCountedAndPopped)
{
    writeIni(plainLogIni);
    const int depth = CallStack::capacity + 5;
    // The stack keeps the names, so they live as long as the test.
    std::vector<QByteArray> names;
    for (int level = 1; level <= depth; ++level)
        names.push_back("Sub L" + QByteArray::number(level));
    for (int level = 1; level <= depth; ++level)
        sxPUSH("modDeep", names[level - 1].constData());
    EXPECT_EQ(runtime().callStack().depth(), depth);
    EXPECT_EQ(runtime().lineCount(), CallStack::capacity);
    for (int level = depth; level >= 1; --level) {
        sxPOP("modDeep", names[level - 1].constData());
        ASSERT_EQ(runtime().callStack().depth(), level - 1);
    }
    // Every stored level left with its own exit line; the stack was never abandoned.
    EXPECT_EQ(runtime().lineCount(), 2 * CallStack::capacity);
    EXPECT_EQ(
        logLines().back(),
        "[Lentaro] [02000] [00000.0000] <-modDeep : Sub L1 : () : [res = 41%, mem = 6815744] : ");
}

int recurse(int levels)
{
    TraceScope trace("modDeep", "Function recurse", {{"levels", levels}});
    return trace.run(0, [&] { return levels == 0 ? 0 : 1 + recurse(levels - 1); });
}

TEST_F(TraceCalls, DeepRecursionThroughTraceScopesStaysBalanced)
{
    sxPUSH("frmMain", "Sub Main");
    EXPECT_EQ(recurse(1100), 1100);
    EXPECT_EQ(runtime().callStack().depth(), 1);
    EXPECT_TRUE(runtime().callStack().topIs("frmMain", "Sub Main"));
}

TEST_F(TraceCalls, AnExitMustNameExactlyTheProcedureOnTop)
{
    sxPUSH("main form", "Sub Outer");
    sxPUSH("main form", "Sub AB");
    // "Sub A" is part of "Sub AB" but not the same procedure: the exit is unbalanced.
    sxPOP("main form", "Sub A");
    EXPECT_EQ(runtime().callStack().depth(), 0);

    sxPUSH("main form", "Sub Outer");
    sxPUSH("main form2", "Sub AB");
    sxPOP("main form", "Sub AB");
    EXPECT_EQ(runtime().callStack().depth(), 0);
    EXPECT_TRUE(prompts_.messageBoxes().empty());
}

TEST_F(TraceCalls, UnbalancedExitInsideTheDebuggerAsksWhetherToStop)
{
    useDevelopmentEnvironment();
    prompts_.queueAnswer(forms::Answer::Cancel);
    sxPUSH("frmTrim", "Sub Form_Load");
    sxPOP("frmTrim", "Sub Form_Unload");
    EXPECT_EQ(runtime().callStack().depth(), 0);
    ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
    EXPECT_EQ(prompts_.messageBoxes()[0].icon, forms::Icon::Exclamation);
    EXPECT_EQ(prompts_.messageBoxes()[0].buttons, forms::Buttons::OkCancel);
    EXPECT_EQ(prompts_.messageBoxes()[0].caption, "Sentrix");
    EXPECT_TRUE(prompts_.messageBoxes()[0].text.startsWith(
        "Module    \tfrmTrim\r\nProcedure\tSub Form_Unload\r\n\r\n"
        "Procedure is unbalanced or contains calls to unbalanced routines. \r\n\r\n"
        "'sxPOP()' was called without 'sxPUSH()'. \r\n\r\n"));
    EXPECT_TRUE(
        prompts_.messageBoxes()[0].text.endsWith("\r\nChoose CANCEL to continue with program."));
}

TEST_F(TraceCalls, ElapsedTimesComeFromA64BitClock)
{
    writeIni(plainLogIni + "[include]\nResources=0\nMemory=0\nUser=0\n");
    now_ = 0xFFFFFF00LL; // just below 2^32 milliseconds
    sxPUSH("frmMain", "Sub Main");
    now_ = 0xFFFFFF00LL + 0x1100;
    sxPUSH("frmTrim", "Sub Form_Load");
    now_ = 0xFFFFFF00LL + 4294968530LL; // more than 49.7 days later
    sxPOP("frmTrim", "Sub Form_Load");
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[2], "[Lentaro] [00002] [00000.4352] ->\tfrmTrim : Sub Form_Load : ()");
    EXPECT_EQ(lines[3], "[Lentaro] [00003] [429496.8530] <-\tfrmTrim : Sub Form_Load : ()");
}

TEST_F(TraceCalls, TraceCallsWaitWhileTheErrorDialogIsUp)
{
    runtime().sxSTART();
    runtime().setErrorDialogUp(true);
    QStringList order;
    QTimer::singleShot(0, [&] {
        order << "dialog closed";
        runtime().setErrorDialogUp(false);
    });
    sxPUSH("frmMain", "Sub cmdPlay_Click");
    order << "entry traced";
    EXPECT_EQ(order, QStringList({"dialog closed", "entry traced"}));
    EXPECT_EQ(runtime().callStack().depth(), 1);
}

TEST_F(TraceCalls, TheRuntimeStartsOnceWithTheStartEntryAtLevelZero)
{
    sxPUSH("frmMain", "Sub Main");
    EXPECT_TRUE(runtime().started());
    EXPECT_TRUE(runtime().callStack().entryText(0).startsWith("Sentrix(tm) : Program START <"));
}

TEST_F(TraceCalls, UnusableCircularSettingsAreReportedOnceAndTheDefaultsUsed)
{
    writeIni("[Log File]\nCircularLog=1\n[CircularLog]\nRecordSize=70000\nMaxRecords=1\n"
             "[include]\nResources=0\nMemory=0\nUser=0\n");
    for (int call = 0; call < 3; ++call) {
        sxPUSH("frmMain", "Sub Main");
        sxPOP("frmMain", "Sub Main");
    }
    ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
    EXPECT_EQ(prompts_.messageBoxes()[0].icon, forms::Icon::Critical);
    EXPECT_EQ(prompts_.messageBoxes()[0].buttons, forms::Buttons::OkOnly);
    EXPECT_EQ(prompts_.messageBoxes()[0].caption, "Sentrix - Internal Error Handler");
    EXPECT_TRUE(prompts_.messageBoxes()[0].text.startsWith(
        "sxSTART() generated error 380, 'Invalid property value: "
        "[CircularLog] RecordSize=70000 (512 is used)"));
    EXPECT_TRUE(prompts_.messageBoxes()[0].text.endsWith("', inside SENTRIX\r\n"));
    // Start line, then one record at a time in 512-byte records: 0, 1, 1, 1, ...
    EXPECT_EQ(readFile("circ0001.log").size(), 10 + 512 * 2);
}

} // namespace
} // namespace lentaro::test
