#pragma once

#include <cstdint>

namespace lentaro {

struct MemoryStatus {
    int loadPercent = 0;                 // physical memory in use, 0 to 100
    std::uint64_t availablePhysical = 0; // bytes
};

// The machine's memory status now, from /proc/meminfo (zeros when it cannot be read).
MemoryStatus currentMemoryStatus();

} // namespace lentaro
