#include "tracefixture.h"

#include "trace/tracescope.h"

#include <QCoreApplication>
#include <QEvent>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <typeinfo>

namespace lentaro::test {
namespace {

using TraceScopeTest = TraceTest;

enum class Mode { Digital = 1, Analog = 2 };

TEST(TraceArguments, NamesAndValuesInParentheses)
{
    EXPECT_EQ(traceArguments({}), "()");
    EXPECT_EQ(traceArguments({{"a", 1}, {"b", "x"}}), "(a=1, b=x)");
    EXPECT_EQ(traceArguments({{"Cancel", 0}, {"UnloadMode", 1}}), "(Cancel=0, UnloadMode=1)");
    EXPECT_EQ(traceArguments({{"on", true}, {"off", false}}), "(on=True, off=False)");
    EXPECT_EQ(traceArguments({{"factor", 1.25}, {"pitch", 0.5f}, {"ms", -40000LL}}),
              "(factor=1.25, pitch=0.5, ms=-40000)");
    EXPECT_EQ(traceArguments({{"path", QStringLiteral("/tmp/\u00e9.wav")}, {"s", std::string("abc")}}),
              QStringLiteral("(path=/tmp/\u00e9.wav, s=abc)"));
    EXPECT_EQ(traceArguments({{"mode", Mode::Analog}}), "(mode=2)");
}

int holdsItsValue(bool fail)
{
    TraceScope trace("modHelpers", "Function holdsItsValue", {{"fail", fail}});
    int result = 0;
    trace.run([&] {
        result = 7;
        if (fail)
            throw RuntimeError(6);
        result = 42;
    });
    return result;
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
    EXPECT_EQ(logLines().mid(1),
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

TEST_F(TraceScopeTest, TheBreakChoiceAlsoLeavesTheProcedure)
{
    class Breaking : public ErrorReporter
    {
        QString systemReport() override { return {}; }
        ErrorChoice showErrorDialog(ErrorReport&) override { return ErrorChoice::BreakTo; }
        void mailDefectRecord(const ErrorReport&) override {}
        void mailErrorReport(const ErrorReport&) override {}
        void writeErrorLog(const ErrorReport&) override {}
    } breaking;
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
        {"length_error", [] { throw std::length_error("reserve"); }, 9, "Subscript out of range: reserve"},
        {"invalid_argument", [] { throw std::invalid_argument("stoi"); }, 5,
         "Invalid procedure call or argument: stoi"},
        {"overflow_error", [] { throw std::overflow_error("big"); }, 6, "Overflow: big"},
        {"bad_cast", [] { throw std::bad_cast(); }, 13, "Type mismatch"},
        {"bad_optional_access", [] { throw std::bad_optional_access(); }, 94, "Invalid use of Null"},
        {"no file",
         [] {
             throw std::filesystem::filesystem_error("open", "/x",
                                                     std::make_error_code(std::errc::no_such_file_or_directory));
         },
         53, nullptr},
        {"no access",
         [] { throw std::system_error(std::make_error_code(std::errc::permission_denied), "open"); },
         70, nullptr},
        {"disk full",
         [] { throw std::system_error(std::make_error_code(std::errc::no_space_on_device), "write"); },
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
    EXPECT_EQ(logLines().back(),
              "[Lentaro] ERROR 5 at QObject : Event User : Line 0 : Invalid procedure call or argument");
}

} // namespace
} // namespace lentaro::test
