#pragma once

#include "platform/cd/Drive.h"

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace lentaro::cd {

// Whether this program may use the drive or image file at path, found without ever holding it
// exclusively: a non-exclusive open that is closed at once, with a shared flock tried on it.
// Another program's exclusive flock, or a device it opened exclusively (EBUSY), is HeldElsewhere;
// a missing path is NoDisc. what names the drive in the sentence ("CD drive E:").
DriveAccess probeAccess(const std::string& path, const std::string& what);

// The problem an open that failed with errno reports.
DriveProblem problemFromErrno(int error);

// The process holding an exclusive flock on the file (device and inode numbers), read from
// /proc/locks' text; none when nobody does.
std::optional<pid_t> exclusiveLockHolder(std::string_view procLocks, dev_t device, ino_t inode);

} // namespace lentaro::cd
