#pragma once

#include <map>
#include <optional>
#include <string>

namespace lentaro::cd {

// The properties of one udev event, as libudev lists them (ACTION, SUBSYSTEM, DEVNAME ...).
using UdevProperties = std::map<std::string, std::string>;

// What an event says about the medium in an optical drive.
struct UdevMedia {
    std::string node; // DEVNAME, /dev/sr0
    bool present = false;
};

// The medium state an event reports, or nothing when the event is not about a CD drive's medium:
// another kind of device, a partition, or the drive's eject button asking for an eject (the change
// itself follows in a later event). A drive that goes away takes its medium with it.
std::optional<UdevMedia> udevMediaOf(const UdevProperties& event);

// Whether udev's daemon runs here; without it a monitor is made but never hears anything.
bool udevDaemonRuns();

} // namespace lentaro::cd
