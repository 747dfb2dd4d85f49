#include "trace/traceline.h"

namespace lentaro {

QString pfDecimalSeparator(std::int64_t elapsedMs)
{
    const bool negative = elapsedMs < 0;
    // Unsigned, so that even the most negative value has a magnitude.
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(elapsedMs)
                                             : static_cast<std::uint64_t>(elapsedMs);
    return (negative ? QStringLiteral("-") : QString())
           + QStringLiteral("%1.%2")
                 .arg(magnitude / 10000, 5, 10, QLatin1Char('0'))
                 .arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
}

QString lineCounterText(std::int64_t count)
{
    return QStringLiteral("%1").arg(count, 5, 10, QLatin1Char('0'));
}

QString memorySuffix(bool resources, bool memory, const MemoryStatus& status)
{
    QString suffix;
    if (resources)
        suffix += QStringLiteral(" : [res = %1%").arg(status.loadPercent);
    if (memory) {
        suffix += resources ? QStringLiteral(", mem = ") : QStringLiteral(" : [mem = ");
        suffix += QString::number(status.availablePhysical) + QLatin1Char(']');
    } else if (resources) {
        suffix += QLatin1Char(']');
    }
    return suffix;
}

QString pfNoOp()
{
    return {};
}

} // namespace lentaro
