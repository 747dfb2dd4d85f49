#include "app/timetexts.h"

#include "app/preferencetext.h"
#include "trace/tracescope.h"

namespace lentaro {

namespace {

const QString module = QStringLiteral("CdglobalIntl");

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
    TraceScope trace(module, QStringLiteral("Function minutes"), {{"A", A}});
    int result = 0;
    trace.run([&] { result = twoDigitsAt(A, 4); });
    return result;
}

int seconds(const QString& A)
{
    TraceScope trace(module, QStringLiteral("Function seconds"), {{"A", A}});
    int result = 0;
    trace.run([&] { result = twoDigitsAt(A, 7); });
    return result;
}

QString mmss(std::int64_t timeInMs)
{
    TraceScope trace(module, QStringLiteral("Function mmss"), {{"timeInMs", timeInMs}});
    QString result;
    trace.run([&] {
        // 64 bits, so a duration of any length has its text.
        const std::int64_t s = timeInMs / 1000;
        const std::int64_t magnitude = s < 0 ? -s : s;
        result = (s < 0 ? QStringLiteral("-") : QString()) + twoDigits(magnitude / 60)
                 + QLatin1Char(':') + twoDigits(magnitude % 60);
    });
    return result;
}

} // namespace lentaro
