#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <exception>

namespace lentaro {

// The one run-time error of the program: a signed 32-bit error number, its description and
// the source that raised it. An empty description takes the standard text of the number; an
// empty source stands for the program itself.
class RuntimeError : public std::exception
{
public:
    explicit RuntimeError(std::int32_t number, QString description = {}, QString source = {});

    std::int32_t number() const { return number_; }
    const QString& description() const { return description_; }
    const QString& source() const { return source_; }

    const char* what() const noexcept override { return what_.constData(); }

    // The pending error inside a catch block, standard exceptions translated to error numbers
    // (std::bad_alloc is 7 "Out of memory", std::out_of_range 9 "Subscript out of range", ...).
    // Number 0 with an empty description when no exception is pending.
    static RuntimeError fromCurrentException();

private:
    std::int32_t number_;
    QString description_;
    QString source_;
    QByteArray what_;
};

// The standard description of a run-time error number
// ("Application-defined or object-defined error" for a number without one).
QString standardErrorText(std::int32_t number);

} // namespace lentaro
