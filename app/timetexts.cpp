#include "app/timetexts.h"

#include "app/preferencetext.h"
#include "trace/tracescope.h"

namespace lentaro {

namespace {

constexpr char module[] = "CdglobalIntl";

// The whole number in two characters of a time text from the 1-based position; 0 when none.
int twoDigitsAt(const QString& text, int position)
{
    const std::optional<double> number = numberOf(text.mid(position - 1, 2));
    if (!number)
        return 0;
    return wholeNumberOf(*number).value_or(0);
}

QString twoDigits(std::int64_t number)
{
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

} // namespace

int minutes(const QString& A)
{
    TraceScope trace(module, "Function minutes", {{"A", A}});
    return trace.run(0, [&] { return twoDigitsAt(A, 4); });
}

int seconds(const QString& A)
{
    TraceScope trace(module, "Function seconds", {{"A", A}});
    return trace.run(0, [&] { return twoDigitsAt(A, 7); });
}

QString mmss(std::int64_t timeInMs)
{
    TraceScope trace(module, "Function mmss", {{"timeInMs", timeInMs}});
    return trace.run(QString(), [&]() -> QString {
        // 64 bits, so a duration of any length has its text.
        const std::int64_t s = timeInMs / 1000;
        const std::int64_t magnitude = s < 0 ? -s : s;
        return (s < 0 ? QStringLiteral("-") : QString()) + twoDigits(magnitude / 60)
               + QLatin1Char(':') + twoDigits(magnitude % 60);
    });
}

QString lengthMmss(std::int64_t lengthInMs)
{
    const std::int64_t half = lengthInMs < 0 ? -500 : 500;
    return mmss((lengthInMs + half) / 1000 * 1000);
}

} // namespace lentaro
