#pragma once

#include "trace/memorystatus.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace lentaro {

// What the trace runtime takes from its surroundings; tests replace the parts they control.
struct TraceEnvironment {
    QString programFolder;  // where SXCLIENT.INI and the logs live
    QString executableName; // names the program in every trace line
    bool developmentEnvironment = false;
    QString monitorFolder;               // where the monitor program's socket is looked for
    std::function<std::int64_t()> clock; // monotonic milliseconds
    std::function<MemoryStatus()> memoryStatus;

    // The running program's: its program folder and executable, a debugger if one is attached,
    // the temporary folder, the steady clock and /proc/meminfo.
    static TraceEnvironment fromSystem();
};

} // namespace lentaro
