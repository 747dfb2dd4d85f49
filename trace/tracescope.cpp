#include "trace/tracescope.h"

#include "trace/debugger.h"
#include "trace/traceruntime.h"

namespace lentaro {

TraceScope::TraceScope(const char* module, const char* procedure,
                       std::initializer_list<TraceArg> arguments)
    : module_(module), procedure_(procedure)
{
    sxPUSH(module_, procedure_, arguments);
}

TraceScope::~TraceScope()
{
    sxPOP(module_, procedure_);
}

void TraceScope::trap()
{
    if (sxERROR(QString::fromUtf8(module_), QString::fromUtf8(procedure_)) == ErrorChoice::BreakTo)
        breakIntoDebugger();
}

} // namespace lentaro
