#include "trace/tracescope.h"

#include "trace/debugger.h"
#include "trace/traceruntime.h"

#include <QStringList>

namespace lentaro {

QString traceArguments(std::initializer_list<TraceArg> arguments)
{
    QStringList pairs;
    for (const TraceArg& argument : arguments)
        pairs << argument.name + QLatin1Char('=') + argument.text;
    return QLatin1Char('(') + pairs.join(QStringLiteral(", ")) + QLatin1Char(')');
}

TraceScope::TraceScope(QString module, QString procedure, std::initializer_list<TraceArg> arguments)
    : module_(std::move(module)), procedure_(std::move(procedure)), arguments_(traceArguments(arguments))
{
    sxPUSH(module_, procedure_, arguments_);
}

TraceScope::~TraceScope()
{
    sxPOP(module_, procedure_, arguments_);
}

void TraceScope::trap()
{
    if (sxERROR(module_, procedure_) == ErrorChoice::BreakTo)
        breakIntoDebugger();
}

} // namespace lentaro
