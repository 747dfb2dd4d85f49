#include "trace/traceenvironment.h"

#include "platform/shell/executablename.h"
#include "platform/shell/programfolder.h"
#include "trace/debugger.h"

#include <QDir>

#include <chrono>

namespace lentaro {

TraceEnvironment TraceEnvironment::fromSystem()
{
    TraceEnvironment environment;
    environment.programFolder = lentaro::programFolder();
    environment.executableName = lentaro::executableName();
    environment.developmentEnvironment = insideDevelopmentEnvironment();
    environment.monitorFolder = QDir::tempPath();
    environment.clock = [] {
        using namespace std::chrono;
        return static_cast<std::int64_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
    environment.memoryStatus = currentMemoryStatus;
    return environment;
}

} // namespace lentaro
