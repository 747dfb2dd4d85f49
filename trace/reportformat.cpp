#include "trace/reportformat.h"

#include <QLocale>

namespace lentaro {

QString groupedNumber(std::uint64_t value)
{
    QLocale locale;
    // Even the C locale groups here: a report reads the same on every machine setting.
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale.toString(static_cast<qulonglong>(value));
}

QString generalDateText(const QDateTime& moment)
{
    if (!moment.isValid())
        return {};
    const QLocale locale;
    return locale.toString(moment.date(), QLocale::ShortFormat) + QLatin1Char(' ')
           + moment.time().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace lentaro
