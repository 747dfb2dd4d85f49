#include "trace/memorystatus.h"

#include <fstream>
#include <sstream>
#include <string>

namespace lentaro {

MemoryStatus currentMemoryStatus()
{
    std::ifstream meminfo("/proc/meminfo");
    std::uint64_t totalKb = 0;
    std::uint64_t availableKb = 0;
    std::string line;
    while (std::getline(meminfo, line)) {
        std::istringstream fields(line);
        std::string name;
        std::uint64_t value = 0;
        if (!(fields >> name >> value))
            continue;
        if (name == "MemTotal:")
            totalKb = value;
        else if (name == "MemAvailable:")
            availableKb = value;
    }

    MemoryStatus status;
    status.availablePhysical = availableKb * 1024;
    if (totalKb > 0 && availableKb <= totalKb)
        status.loadPercent =
            static_cast<int>(((totalKb - availableKb) * 100 + totalKb / 2) / totalKb);
    return status;
}

} // namespace lentaro
