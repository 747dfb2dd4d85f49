#include "tests/trace/trace_fixture.h"

#include "trace/tracescope.h"

#include <QCoreApplication>
#include <QEvent>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <typeinfo>
#include <vector>

namespace lentaro::test {
namespace {

// Keeps every report it is handed; answers the dialog with `choice`.
class KeepingReporter : public ErrorReporter
{
public:
    explicit KeepingReporter(ErrorChoice choice = ErrorChoice::Continue) : choice_(choice) {}

    QString systemReport() override { return {}; }
    ErrorChoice showErrorDialog(ErrorReport& report) override
    {
        reports.push_back(report);
        return choice_;
    }
    void mailDefectRecord(const ErrorReport&) override {}
    void mailErrorReport(const ErrorReport&) override {}
    void writeErrorLog(const ErrorReport&) override {}

    std::vector<ErrorReport> reports;

private:
    ErrorChoice choice_;
};

using TraceScopeTest = TraceTest;

enum class Mode { Digital = 1, Analog = 2 };

// How often countedText made a text: the trace formats its arguments only when it shows them.
int textsMade = 0;

QString countedText(const QVariant& value)
{
    ++textsMade;
    return QStringLiteral("<") + value.toString() + QLatin1Char('>');
}

TEST(TraceArguments, NamesAndValuesInParentheses)
{
    EXPECT_EQ(traceArguments({}), "()");
    EXPECT_EQ(traceArguments({{"a", 1}, {"b", "x"}}), "(a=1, b=x)");
    EXPECT_EQ(traceArguments({{"Cancel", 0}, {"UnloadMode", 1}}), "(Cancel=0, UnloadMode=1)");
    EXPECT_EQ(traceArguments({{"on", true}, {"off", false}}), "(on=True, off=False)");
    EXPECT_EQ(traceArguments({{"factor", 1.25}, {"pitch", 0.5f}, {"ms", -40000LL}}),
              "(factor=1.25, pitch=0.5, ms=-40000)");
    EXPECT_EQ(traceArguments({{"third", 1.0f / 3}, {"big", 18446744073709551615ULL}}),
              "(third=0.333333, big=18446744073709551615)");
    EXPECT_EQ(
        traceArguments({{"path", QStringLiteral("/tmp/\u00e9.wav")}, {"s", std::string("abc")}}),
        QStringLiteral("(path=/tmp/\u00e9.wav, s=abc)"));
    EXPECT_EQ(traceArguments({{"mode", Mode::Analog}}), "(mode=2)");
    EXPECT_EQ(traceArguments({{"v", QVariant(44100), countedText}}), "(v=<44100>)");
}

int holdsItsValue(bool fail)
{
    TraceScope trace("modHelpers", "Function holdsItsValue", {{"fail", fail}});
    int result = 0;
    return trace.run(result, [&] {
        result = 7;
        if (fail)
            throw RuntimeError(6);
        result = 42;
        return result;
    });
}

TEST_F(TraceScopeTest, AnExceptionLeavesTheProcedureWithTheStackBalanced)
{
    writeIni(plainLogIni + "[include]\nResources=0\nMemory=0\nUser=0\n");
    bool reachedAfterThrow = false;
    {
        TraceScope outer("frmMain", "Sub Main");
        outer.run([&] {
            TraceScope inner("frmTrim", "Sub Form_Load", {{"x", 1}});
            inner.run([&] {
                throw std::out_of_range("vector::at");
                reachedAfterThrow = true;
            });
            EXPECT_EQ(runtime().callStack().depth(), 2);
        });
        EXPECT_EQ(runtime().callStack().depth(), 1);
    }
    EXPECT_FALSE(reachedAfterThrow);
    EXPECT_EQ(runtime().callStack().depth(), 0);
    EXPECT_EQ(
        logLines().mid(1),
        QStringList({"[Lentaro] [00001] [00000.0000] ->frmMain : Sub Main : ()",
                     "[Lentaro] [00002] [00000.0000] ->\tfrmTrim : Sub Form_Load : (x=1)",
                     "[Lentaro] ERROR 9 at frmTrim : Sub Form_Load : Line 0 : Subscript out of "
                     "range: vector::at",
                     "[Lentaro] [00003] [00000.0000] <-\tfrmTrim : Sub Form_Load : (x=1)",
                     "[Lentaro] [00004] [00000.0000] <-frmMain : Sub Main : ()"}));
}

TEST_F(TraceScopeTest, AFunctionLeftByAnErrorReturnsWhatItHeld)
{
    EXPECT_EQ(holdsItsValue(false), 42);
    EXPECT_EQ(holdsItsValue(true), 7);
    EXPECT_EQ(runtime().lastError().number, 6);
    EXPECT_EQ(runtime().callStack().depth(), 0);
}

QString describe(int n)
{
    TraceScope trace("modHelpers", "Function describe", {{"n", n}});
    return trace.run(QStringLiteral("?"), [&] {
        if (n == 0)
            return QStringLiteral("zero");
        if (n < 0)
            throw std::invalid_argument("negative");
        return QString::number(n);
    });
}

TEST_F(TraceScopeTest, AFunctionReturnsItsBodysValueOrItsFallbackWhenTheBodyFails)
{
    writeIni(plainLogIni + "[include]\nResources=0\nMemory=0\nUser=0\n");
    EXPECT_EQ(describe(0), "zero");
    EXPECT_EQ(describe(12), "12");
    EXPECT_EQ(describe(-1), "?");
    EXPECT_EQ(runtime().lastError().number, 5);
    EXPECT_EQ(runtime().callStack().depth(), 0);
    EXPECT_EQ(
        logLines().mid(1),
        QStringList({"[Lentaro] [00001] [00000.0000] ->modHelpers : Function describe : (n=0)",
                     "[Lentaro] [00002] [00000.0000] <-modHelpers : Function describe : (n=0)",
                     "[Lentaro] [00003] [00000.0000] ->modHelpers : Function describe : (n=12)",
                     "[Lentaro] [00004] [00000.0000] <-modHelpers : Function describe : (n=12)",
                     "[Lentaro] [00005] [00000.0000] ->modHelpers : Function describe : (n=-1)",
                     "[Lentaro] ERROR 5 at modHelpers : Function describe : Line 0 : Invalid "
                     "procedure call or argument: negative",
                     "[Lentaro] [00006] [00000.0000] <-modHelpers : Function describe : (n=-1)"}));
}

QString joined(int first, int second)
{
    TraceScope trace("modHelpers", "Function joined");
    return trace.run(QStringLiteral("not joined"),
                     [&] { return describe(first) + describe(second); });
}

TEST_F(TraceScopeTest, AnInnerFailureDoesNotLeaveTheOuterProcedure)
{
    KeepingReporter reporter;
    const ScopedOverride reporterInPlace(errorReporter, reporter);
    EXPECT_EQ(joined(-1, 3), "?3");
    EXPECT_EQ(runtime().callStack().depth(), 0);
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].error.procedure, "Function describe");
    EXPECT_EQ(reporter.reports[0].callTree,
              QStringList({" 1 : modHelpers : Function joined : ()",
                           " 2 : \tmodHelpers : Function describe : (n=-1)"}));
}

// Move-only, and without a default value.
struct Handle {
    explicit Handle(int number) : number(std::make_unique<int>(number)) {}
    std::unique_ptr<int> number;
};

Handle openHandle(bool fail)
{
    TraceScope trace("modHelpers", "Function openHandle", {{"fail", fail}});
    return trace.run(Handle(0), [&] {
        if (fail)
            throw RuntimeError(53);
        return Handle(5);
    });
}

TEST_F(TraceScopeTest, AFunctionMayReturnAMoveOnlyValue)
{
    EXPECT_EQ(*openHandle(false).number, 5);
    EXPECT_EQ(*openHandle(true).number, 0);
    EXPECT_EQ(runtime().lastError().number, 53);
}

TEST_F(TraceScopeTest, TheBreakChoiceAlsoLeavesTheProcedure)
{
    KeepingReporter breaking(ErrorChoice::BreakTo);
    const ScopedOverride reporterInPlace(errorReporter, breaking);
    EXPECT_EQ(holdsItsValue(true), 7);
    EXPECT_EQ(runtime().callStack().depth(), 0);
}

struct Translation {
    const char* what;
    std::function<void()> raise;
    std::int32_t number;
    const char* description;
};

TEST_F(TraceScopeTest, StandardExceptionsBecomeRunTimeErrorNumbers)
{
    const Translation cases[] = {
        {"bad_alloc", [] { throw std::bad_alloc(); }, 7, "Out of memory"},
        {"out_of_range", [] { throw std::out_of_range("at"); }, 9, "Subscript out of range: at"},
        {"length_error", [] { throw std::length_error("reserve"); }, 9,
         "Subscript out of range: reserve"},
        {"invalid_argument", [] { throw std::invalid_argument("stoi"); }, 5,
         "Invalid procedure call or argument: stoi"},
        {"overflow_error", [] { throw std::overflow_error("big"); }, 6, "Overflow: big"},
        {"bad_cast", [] { throw std::bad_cast(); }, 13, "Type mismatch"},
        {"bad_optional_access", [] { throw std::bad_optional_access(); }, 94,
         "Invalid use of Null"},
        {"no file",
         [] {
             throw std::filesystem::filesystem_error(
                 "open", "/x", std::make_error_code(std::errc::no_such_file_or_directory));
         },
         53, nullptr},
        {"no access",
         [] {
             throw std::system_error(std::make_error_code(std::errc::permission_denied), "open");
         },
         70, nullptr},
        {"disk full",
         [] {
             throw std::system_error(std::make_error_code(std::errc::no_space_on_device), "write");
         },
         61, nullptr},
        {"runtime_error", [] { throw std::runtime_error("odd"); }, 51, "Internal error: odd"},
        {"not an exception", [] { throw 17; }, 51, "Internal error"},
        {"own error", [] { throw RuntimeError(32001, "Grid layout missing"); }, 32001,
         "Grid layout missing"},
    };
    for (const Translation& c : cases) {
        TraceScope trace("modTest", "Sub translate");
        trace.run(c.raise);
        EXPECT_EQ(runtime().lastError().number, c.number) << c.what;
        if (c.description) {
            EXPECT_EQ(runtime().lastError().description, c.description) << c.what;
        }
    }
}

struct LazyCase {
    const char* outputs;
    QString ini;
    int textsMade;
    const char* entryLine; // without its head "[Lentaro] [00001] [00000.0000] "; nullptr: no log
};

void PrintTo(const LazyCase& c, std::ostream* out)
{
    *out << c.outputs;
}

class ArgumentText : public TraceTest, public ::testing::WithParamInterface<LazyCase>
{};

TEST_P(ArgumentText, IsMadeOnlyForAnOutputThatShowsIt)
{
    const LazyCase& c = GetParam();
    writeIni(c.ini);
    textsMade = 0;
    {
        TraceScope trace("frmMain", "Sub Main", {{"rate", QVariant(44100), countedText}, {"n", 2}});
    }
    EXPECT_EQ(textsMade, c.textsMade);
    if (c.entryLine) {
        const QStringList lines = logLines();
        ASSERT_EQ(lines.size(), 3);
        EXPECT_EQ(lines[1], QStringLiteral("[Lentaro] [00001] [00000.0000] ->") + c.entryLine);
        EXPECT_EQ(lines[2], QStringLiteral("[Lentaro] [00002] [00000.0000] <-") + c.entryLine);
    }
}

// Entry and exit lines share one text.
INSTANTIATE_TEST_SUITE_P(
    TraceScope, ArgumentText,
    ::testing::Values(
        LazyCase{"NoOutput", QString(), 0, nullptr},
        LazyCase{"LogWithoutArguments",
                 plainLogIni + "[include]\nArguments=0\nResources=0\nMemory=0\nUser=0\n", 0,
                 "frmMain : Sub Main"},
        LazyCase{"LogWithArguments", plainLogIni + "[include]\nResources=0\nMemory=0\nUser=0\n", 1,
                 "frmMain : Sub Main : (rate=<44100>, n=2)"}),
    [](const ::testing::TestParamInfo<LazyCase>& info) { return std::string(info.param.outputs); });

TEST_F(TraceScopeTest, AnErrorShowsTheArgumentsAsTheyWereAtEntry)
{
    KeepingReporter reporter;
    const ScopedOverride reporterInPlace(errorReporter, reporter);
    QString name = QStringLiteral("a.wav");
    textsMade = 0;
    {
        // Temporaries that are gone long before the error formats them.
        TraceScope trace("frmTrim", "Sub Form_Load",
                         {{"path", QStringLiteral("/tmp/") + name},
                          {"name", name},
                          {"tag", QVariant(name.toUpper()), countedText}});
        EXPECT_EQ(textsMade, 0);
        trace.run([&] {
            name = QStringLiteral("b.wav");
            throw RuntimeError(11);
        });
    }
    const QString arguments = QStringLiteral("(path=/tmp/a.wav, name=a.wav, tag=<A.WAV>)");
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].callTree,
              QStringList({QStringLiteral(" 1 : frmTrim : Sub Form_Load : ") + arguments}));
    ASSERT_EQ(reporter.reports[0].calls.size(), 1u);
    EXPECT_EQ(reporter.reports[0].calls[0].arguments, arguments);
    EXPECT_EQ(textsMade, 1);
}

TEST_F(TraceScopeTest, TracedCallsComeFromTheUserInterfaceThread)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    runtime().sxSTART();
    EXPECT_DEBUG_DEATH(std::thread([] { TraceScope trace("modWorker", "Sub work"); }).join(),
                       "user-interface thread");
    EXPECT_EQ(runtime().callStack().depth(), 0);
}

// A receiver whose event handler has no trap of its own.
class Throwing : public QObject
{
public:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User) {
            TraceScope trace("frmTrim", "Sub helper"); // unwound by the exception
            throw RuntimeError(5);
        }
        return QObject::event(event);
    }
};

TEST_F(TraceScopeTest, WhatEscapesAnEventHandlerReachesTheCentralHandler)
{
    writeIni(plainLogIni + "[include]\nResources=0\nMemory=0\nUser=0\n");
    Throwing receiver;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&receiver, &event));
    EXPECT_EQ(runtime().callStack().depth(), 0);
    EXPECT_EQ(
        logLines().back(),
        "[Lentaro] ERROR 5 at QObject : Event User : Line 0 : Invalid procedure call or argument");
}

} // namespace
} // namespace lentaro::test
