#include "platform/cd/src/DriveAccessProbe.h"

#include "platform/registry/FileHandle.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <vector>

namespace lentaro::cd {

namespace {

using registry::FileHandle;

std::string readWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// "NAME, process PID" of a process, or its number alone when its name cannot be read.
std::string processName(pid_t pid)
{
    std::string name = readWhole("/proc/" + std::to_string(pid) + "/comm");
    while (!name.empty() && name.back() == '\n')
        name.pop_back();
    return name.empty() ? "process " + std::to_string(pid)
                        : name + ", process " + std::to_string(pid);
}

std::string heldSentence(const std::string& path, const std::string& what)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        if (const auto holder =
                exclusiveLockHolder(readWhole("/proc/locks"), status.st_dev, status.st_ino))
            return "Another program (" + processName(*holder) + ") is using the " + what + ".";
    }
    return "Another program is using the " + what + ".";
}

} // namespace

DriveProblem problemFromErrno(int error)
{
    switch (error) {
    case EBUSY:
        return DriveProblem::HeldElsewhere;
    case EACCES:
    case EPERM:
    case EROFS:
        return DriveProblem::NoPermission;
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
        return DriveProblem::NoDisc;
    default:
        return DriveProblem::NotReadable;
    }
}

std::optional<pid_t> exclusiveLockHolder(std::string_view procLocks, dev_t device, ino_t inode)
{
    std::istringstream lines{std::string(procLocks)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::vector<std::string> words{std::istream_iterator<std::string>(fields),
                                       std::istream_iterator<std::string>()};
        // "1: FLOCK  ADVISORY  WRITE 4242 00:05:1234 0 EOF"; waiters carry "->" after the number.
        if (words.size() < 6 || words[1] != "FLOCK" || words[3] != "WRITE")
            continue;
        unsigned int major = 0, minor = 0;
        unsigned long number = 0;
        if (std::sscanf(words[5].c_str(), "%x:%x:%lu", &major, &minor, &number) != 3)
            continue;
        char* end = nullptr;
        const long pid = std::strtol(words[4].c_str(), &end, 10);
        if (*end == '\0' && pid > 0 && ::makedev(major, minor) == device && number == inode)
            return static_cast<pid_t>(pid);
    }
    return std::nullopt;
}

DriveAccess probeAccess(const std::string& path, const std::string& what)
{
    FileHandle file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.isOpen()) {
        const int error = errno;
        const DriveProblem problem = problemFromErrno(error);
        switch (problem) {
        case DriveProblem::HeldElsewhere:
            return {problem, heldSentence(path, what)};
        case DriveProblem::NoDisc:
            return {problem, "There is no disc in the " + what + "."};
        default:
            return {problem, "The " + what + " (" + path
                                 + ") cannot be opened: " + std::strerror(error) + "."};
        }
    }
    if (::flock(file.fd(), LOCK_SH | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            return {DriveProblem::HeldElsewhere, heldSentence(path, what)};
    } else {
        ::flock(file.fd(), LOCK_UN);
    }
    return {};
}

} // namespace lentaro::cd
