#pragma once

#include <QString>
#include <QVariant>

#include <limits>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

namespace lentaro {

// One name=value pair of a traced procedure's arguments. The value is kept as it was passed
// (numbers as numbers, texts as shared QStrings: copying one is cheap, formatting is not) and
// becomes text only when a trace line or an error report shows it. The name is kept as given:
// a string literal.
class TraceArg
{
public:
    // Numbers in decimal, True/False, texts as they are.
    template <typename T>
    TraceArg(const char* name, const T& value) : name_(name), value_(kept(value))
    {
    }

    // A value that has its own text, made by `format` when the text is needed.
    TraceArg(const char* name, QVariant value, QString (*format)(const QVariant&))
        : name_(name), value_(Formatted{std::move(value), format})
    {
    }

    // "name=value".
    QString text() const;

private:
    struct Real {
        double value;
        int digits;
    };
    struct Formatted {
        QVariant value;
        QString (*format)(const QVariant&);
    };
    using Value = std::variant<bool, qint64, quint64, Real, QString, Formatted>;

    template <typename T>
    static Value kept(const T& value)
    {
        if constexpr (std::is_same_v<T, bool>) {
            return value;
        } else if constexpr (std::is_enum_v<T>) {
            return kept(static_cast<std::underlying_type_t<T>>(value));
        } else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>) {
            return qint64(value);
        } else if constexpr (std::is_integral_v<T>) {
            return quint64(value);
        } else if constexpr (std::is_floating_point_v<T>) {
            return Real{static_cast<double>(value), std::numeric_limits<T>::digits10};
        } else if constexpr (std::is_same_v<T, std::string>) {
            return QString::fromStdString(value);
        } else {
            static_assert(std::is_convertible_v<const T&, QString>,
                          "a traced argument is a number, a truth value or a text; "
                          "a QVariant names the function that formats it");
            return QString(value);
        }
    }

    const char* name_;
    Value value_;
};

// "(a=1, b=x)", or "()" for none.
QString traceArguments(const std::vector<TraceArg>& arguments);

} // namespace lentaro
