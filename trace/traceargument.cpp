#include "trace/traceargument.h"

namespace lentaro {

QString TraceArg::text() const
{
    const auto valueText = [](const auto& value) -> QString {
        using Kept = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Kept, bool>)
            return value ? QStringLiteral("True") : QStringLiteral("False");
        else if constexpr (std::is_same_v<Kept, Real>)
            return QString::number(value.value, 'g', value.digits);
        else if constexpr (std::is_same_v<Kept, QString>)
            return value;
        else if constexpr (std::is_same_v<Kept, Formatted>)
            return value.format(value.value);
        else
            return QString::number(value);
    };
    return QString::fromUtf8(name_) + QLatin1Char('=') + std::visit(valueText, value_);
}

QString traceArguments(const std::vector<TraceArg>& arguments)
{
    QString text = QStringLiteral("(");
    for (const TraceArg& argument : arguments) {
        if (&argument != &arguments.front())
            text += QStringLiteral(", ");
        text += argument.text();
    }
    return text + QLatin1Char(')');
}

} // namespace lentaro
