#pragma once

#include "trace/traceargument.h"

#include <initializer_list>
#include <type_traits>
#include <utility>

namespace lentaro {

// The trace and error trap of one procedure, on the user-interface thread. Construction traces
// the entry (sxPUSH), destruction the exit (sxPOP), so every way out is traced. run() executes
// the body inside the error trap: an exception is handed to sxERROR while the procedure is still
// on the trace stack, then the body is left (after stopping in an attached debugger when the
// user chose "Break to"). A `return` in the body leaves the procedure; a Function returns what
// run returns: the body's value, or the fallback when the body failed (read at that moment, so
// passing the variable the body fills returns what it held).
//
// Names are string literals, kept as pointers. Arguments are numbers, truth values, texts, or a
// QVariant with the function that formats it; they are copied at entry and formatted only when a
// trace line or an error report shows them.
//
//     constexpr char module[] = "frmTrim";
//
//     void frmTrim::cmdPlay_Click()
//     {
//         TraceScope trace(module, "Sub cmdPlay_Click");
//         trace.run([&] { playLoop(); });
//     }
//
//     int frmTrim::ms(const QString& text, int fallback)
//     {
//         TraceScope trace(module, "Function ms", {{"text", text}, {"fallback", fallback}});
//         return trace.run(fallback, [&] { return parseTime(text); });
//     }
class TraceScope
{
public:
    TraceScope(const char* module, const char* procedure,
               std::initializer_list<TraceArg> arguments = {});
    ~TraceScope();

    TraceScope(const TraceScope&) = delete;
    TraceScope& operator=(const TraceScope&) = delete;

    // A Sub's body.
    template <typename Body>
    void run(Body&& body)
    {
        static_assert(std::is_void_v<std::invoke_result_t<Body&>>,
                      "a body that returns a value runs with a fallback: run(fallback, body)");
        try {
            body();
        } catch (...) {
            trap();
        }
    }

    // A Function's body.
    template <typename Fallback, typename Body>
    [[nodiscard]] std::invoke_result_t<Body&> run(Fallback&& fallback, Body&& body)
    {
        using Result = std::invoke_result_t<Body&>;
        static_assert(!std::is_void_v<Result> && !std::is_reference_v<Result>,
                      "a Function's body returns a value");
        static_assert(std::is_convertible_v<Fallback&&, Result>,
                      "the fallback is a value of the body's result type");
        try {
            return body();
        } catch (...) {
            trap();
        }
        return std::forward<Fallback>(fallback);
    }

private:
    // Hands the exception being caught to the central handler and acts on the choice.
    void trap();

    const char* module_;
    const char* procedure_;
};

} // namespace lentaro
