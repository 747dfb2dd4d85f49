#include "platform/cd/UdevMedia.h"

#include <unistd.h>

namespace lentaro::cd {

namespace {

std::string valueOf(const UdevProperties& event, const std::string& name)
{
    const auto found = event.find(name);
    return found == event.end() ? std::string() : found->second;
}

} // namespace

std::optional<UdevMedia> udevMediaOf(const UdevProperties& event)
{
    const std::string node = valueOf(event, "DEVNAME");
    if (valueOf(event, "SUBSYSTEM") != "block" || valueOf(event, "DEVTYPE") != "disk"
        || node.empty())
        return std::nullopt;
    const std::string action = valueOf(event, "ACTION");
    if (action == "remove")
        return UdevMedia{node, false};
    if (valueOf(event, "ID_CDROM") != "1" || !valueOf(event, "DISK_EJECT_REQUEST").empty())
        return std::nullopt;
    if (action != "change" && action != "add")
        return std::nullopt;
    return UdevMedia{node, valueOf(event, "ID_CDROM_MEDIA") == "1"};
}

bool udevDaemonRuns()
{
    return ::access("/run/udev/control", F_OK) == 0;
}

} // namespace lentaro::cd
