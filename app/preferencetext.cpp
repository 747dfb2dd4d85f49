#include "app/preferencetext.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace lentaro {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
           || c == QLatin1Char('\r');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A decimal number in the C locale's spelling, whatever locale the program runs in; too large
// a number is an infinity of its sign, so that converting it reports an overflow.
std::optional<double> parsed(const std::string& text)
{
    std::string_view digits(text);
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
        if (!digits.empty() && digits.front() == '-')
            return std::nullopt;
    }
    double value = 0.0;
    const char* const end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    if (stop != end || digits.empty())
        return std::nullopt;
    if (error == std::errc::result_out_of_range) {
        // Too small a number is zero, too large one an infinity.
        const std::size_t exponent = digits.find_first_of("eE");
        if (exponent != std::string_view::npos
            && digits.find('-', exponent) != std::string_view::npos)
            return 0.0;
        const double infinity = std::numeric_limits<double>::infinity();
        return digits.front() == '-' ? -infinity : infinity;
    }
    if (error != std::errc())
        return std::nullopt;
    return value;
}

} // namespace

QString preferenceText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return {};
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QString::number(value.toULongLong());
    case QMetaType::Float:
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 15);
    case QMetaType::QByteArray:
        return QString::fromUtf8(value.toByteArray());
    default:
        return value.toString();
    }
}

std::optional<bool> booleanOf(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const std::optional<double> number = numberOf(trimmed))
        return *number != 0.0;
    return std::nullopt;
}

std::optional<double> leadingNumberOf(const QString& text)
{
    // Collect sign, digits, point and exponent, skipping blanks, then read them as one number.
    std::string number;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };
    auto takeSign = [&] {
        if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
            number += char(text[i++].unicode());
    };
    auto takeDigits = [&] {
        bool any = false;
        for (skipBlanks(); i < n && isDigit(text[i]); skipBlanks()) {
            number += char(text[i++].unicode());
            any = true;
        }
        return any;
    };

    skipBlanks();
    takeSign();
    bool digits = takeDigits();
    if (i < n && text[i] == QLatin1Char('.')) {
        number += '.';
        ++i;
        digits = takeDigits() || digits;
    }
    if (!digits)
        return std::nullopt;

    // An exponent counts only when digits follow it ("1e" is 1).
    if (i < n && QStringLiteral("eEdD").contains(text[i])) {
        const std::string mantissa = number;
        number += 'e';
        ++i;
        skipBlanks();
        takeSign();
        if (!takeDigits())
            number = mantissa;
    }
    return parsed(number);
}

double startingNumber(const QString& text)
{
    return leadingNumberOf(text).value_or(0.0);
}

std::optional<double> numberOf(const QString& text)
{
    const QByteArray trimmed = text.trimmed().toUtf8();
    const std::optional<double> number = parsed(trimmed.toStdString());
    if (!number || !std::isfinite(*number))
        return std::nullopt;
    return number;
}

std::optional<int> wholeNumberOf(double number)
{
    if (!std::isfinite(number))
        return std::nullopt;
    const double rounded = std::nearbyint(number);
    if (rounded < double(std::numeric_limits<int>::min())
        || rounded > double(std::numeric_limits<int>::max()))
        return std::nullopt;
    return int(rounded);
}

std::optional<bool> booleanValueOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return booleanOf(preferenceText(value));
    default:
        if (const std::optional<double> number = numberOf(preferenceText(value)))
            return *number != 0.0;
        return std::nullopt;
    }
}

std::optional<int> wholeValueOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? -1 : 0;
    case QMetaType::UnknownType:
        return 0;
    default:
        if (const std::optional<double> number = numberOf(preferenceText(value)))
            return wholeNumberOf(*number);
        return std::nullopt;
    }
}

} // namespace lentaro
