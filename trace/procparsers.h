#pragma once

#include "trace/systemprobe.h"

#include <QString>

#include <optional>

#include <vector>

namespace lentaro {

// The first processor of /proc/cpuinfo as the report classifies it; type 0 for anything but
// the x86 family.
ProcessorInfo processorFromCpuinfo(const QString& cpuinfo);

// One line of /proc/self/mounts, its octal escapes ("\040") undone.
struct MountEntry {
    QString device;
    QString mountPoint;
    QString type;
};

std::vector<MountEntry> parseMountTable(const QString& mounts);

// The kind of volume a mount is, or nullopt for a mount that is no volume of its own (proc,
// sysfs, tmpfs, cgroups, snap images, ...). The root is always a volume.
std::optional<VolumeKind> volumeKind(const MountEntry& mount, bool removableDevice);

} // namespace lentaro
