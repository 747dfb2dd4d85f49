#pragma once

#include <QString>

#include <initializer_list>
#include <limits>
#include <string>
#include <type_traits>

namespace lentaro {

// An argument value as the trace shows it: numbers in decimal, True/False, texts as they are.
template <typename T>
QString traceValueText(const T& value)
{
    if constexpr (std::is_same_v<T, bool>) {
        return value ? QStringLiteral("True") : QStringLiteral("False");
    } else if constexpr (std::is_enum_v<T>) {
        return QString::number(static_cast<std::underlying_type_t<T>>(value));
    } else if constexpr (std::is_integral_v<T>) {
        return QString::number(value);
    } else if constexpr (std::is_floating_point_v<T>) {
        return QString::number(static_cast<double>(value), 'g', std::numeric_limits<T>::digits10);
    } else if constexpr (std::is_same_v<T, std::string>) {
        return QString::fromStdString(value);
    } else {
        static_assert(std::is_convertible_v<const T&, QString>,
                      "a traced argument is a number, a truth value or a text");
        return QString(value);
    }
}

// One name=value pair of a traced procedure's argument text.
struct TraceArg {
    template <typename T>
    TraceArg(const char* argumentName, const T& value)
        : name(QString::fromUtf8(argumentName)), text(traceValueText(value))
    {
    }

    QString name;
    QString text;
};

// "(a=1, b=x)", or "()" for none.
QString traceArguments(std::initializer_list<TraceArg> arguments);

// The trace and error trap of one procedure. Its construction reports the entry (sxPUSH), its
// destruction the exit (sxPOP), so every way out is traced. run() executes the body inside the
// error trap: an exception becomes a run-time error handed to sxERROR while the procedure is
// still on the trace stack, and the procedure is left (after stopping in an attached debugger
// when the user chose "Break to").
//
//     void frmTrim::cmdPlay_Click()
//     {
//         TraceScope trace("frmTrim", "Sub cmdPlay_Click");
//         trace.run([&] { playLoop(); });
//     }
//
//     int frmTrim::ms(const QString& text, int fallback)
//     {
//         TraceScope trace("frmTrim", "Function ms", {{"text", text}, {"fallback", fallback}});
//         int result = fallback;      // what an error leaves the function returning
//         trace.run([&] { result = parseTime(text); });
//         return result;
//     }
class TraceScope
{
public:
    TraceScope(QString module, QString procedure, std::initializer_list<TraceArg> arguments = {});
    ~TraceScope();

    TraceScope(const TraceScope&) = delete;
    TraceScope& operator=(const TraceScope&) = delete;

    template <typename Body>
    void run(Body&& body)
    {
        try {
            body();
        } catch (...) {
            trap();
        }
    }

private:
    // Hands the exception being caught to the central handler and acts on the choice.
    void trap();

    QString module_;
    QString procedure_;
    QString arguments_;
};

} // namespace lentaro
