#include "trace/calltree.h"

#include <algorithm>
#include <cstddef>

namespace lentaro {

namespace {

// A name as the stack holds it: "passed << on the stack" names the one that was passed.
QString passedName(const QString& name)
{
    const qsizetype mark = name.indexOf(QStringLiteral(" << "));
    return mark < 0 ? name : name.left(mark);
}

QString entryText(const CallEntry& entry)
{
    QString text = entry.module + QStringLiteral(" : ") + entry.procedure + QStringLiteral(" : ")
                   + entry.arguments;
    return text.replace(QLatin1Char('\t'), QLatin1Char(' ')).trimmed();
}

} // namespace

QString callTreeTagText(CallTreeLine::Tag tag)
{
    switch (tag) {
    case CallTreeLine::Tag::Call:
        return QStringLiteral(" : Call");
    case CallTreeLine::Tag::Trap:
        return QStringLiteral(" : Trap");
    case CallTreeLine::Tag::Error:
        return QStringLiteral(" : Error");
    }
    return {};
}

QString runtimeErrorText(const ErrorRecord& error, bool withLine)
{
    QString text = QStringLiteral("Runtime error ") + QString::number(error.number)
                   + QStringLiteral(", ") + error.description;
    if (withLine && error.lineNumber > 0)
        text += QStringLiteral(" on line ") + QString::number(error.lineNumber);
    return text;
}

std::vector<CallTreeLine> callTreeLines(const ErrorReport& report)
{
    const ErrorRecord& error = report.error;
    const QString module = passedName(error.module);
    const QString procedure = passedName(error.procedure);

    // The failing procedure is the deepest level whose names are exactly the error's; a name
    // that merely contains them ("Sub Form_Load2") is another procedure.
    std::ptrdiff_t trapLevel = -1;
    for (std::size_t level = 0; level < report.calls.size(); ++level) {
        const CallEntry& entry = report.calls[level];
        if (entry.module.trimmed() == module && entry.procedure.trimmed() == procedure)
            trapLevel = static_cast<std::ptrdiff_t>(level);
    }

    std::vector<CallTreeLine> lines;
    bool trapIsLast = false;
    int nesting = -1;
    for (std::size_t level = 0; level < report.calls.size(); ++level) {
        ++nesting;
        lines.push_back({CallTreeLine::Tag::Call, nesting, entryText(report.calls[level])});
        trapIsLast = static_cast<std::ptrdiff_t>(level) == trapLevel;
        if (trapIsLast)
            lines.push_back({CallTreeLine::Tag::Trap, nesting, runtimeErrorText(error, true)});
    }
    if (!trapIsLast)
        lines.push_back(
            {CallTreeLine::Tag::Error, std::max(nesting, 0), runtimeErrorText(error, false)});
    return lines;
}

} // namespace lentaro
