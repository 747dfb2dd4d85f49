#include "platform/registry/SettingsFile.h"

#include "platform/registry/SystemError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace lentaro::registry {

namespace {

const char* kindOf(mode_t mode)
{
    switch (mode & S_IFMT) {
    case S_IFIFO:
        return "a named pipe";
    case S_IFCHR:
        return "a character device";
    case S_IFBLK:
        return "a block device";
    case S_IFSOCK:
        return "a socket";
    case S_IFDIR:
        return "a folder";
    default:
        return "something else";
    }
}

ReadOutcome notRegular(const fs::path& file, mode_t mode, std::string& problem)
{
    problem = file.string() + " is " + kindOf(mode) + ", not a regular file";
    return ReadOutcome::NotRegular;
}

ReadOutcome tooLarge(const fs::path& file, std::string& problem)
{
    problem = file.string() + " holds more than " + std::to_string(settingsFileSizeLimit >> 20)
              + " MiB, far more than any settings file";
    return ReadOutcome::TooLarge;
}

ReadOutcome unreadable(const fs::path& file, std::string& problem, const char* what = "cannot read")
{
    problem = systemError(what, file);
    return ReadOutcome::Unreadable;
}

} // namespace

ReadOutcome openSettingsFile(const fs::path& file, FileHandle& handle, std::string& problem)
{
    handle = FileHandle();
    // Looked at before it is opened: opening a device can act on it, and a socket cannot
    // be opened at all.
    struct stat info;
    if (::stat(file.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return notRegular(file, info.st_mode, problem);
    // Non-blocking, since a named pipe may have taken the name meanwhile: opening one with
    // no writer would wait for a writer. The opened file is checked again.
    FileHandle opened(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!opened.isOpen() || ::fstat(opened.fd(), &info) != 0)
        return unreadable(file, problem, "cannot open");
    if (!S_ISREG(info.st_mode))
        return notRegular(file, info.st_mode, problem);
    if (std::uint64_t(info.st_size) > settingsFileSizeLimit)
        return tooLarge(file, problem);
    handle = std::move(opened);
    return ReadOutcome::Ok;
}

ReadOutcome readSettingsFile(const fs::path& file, FileHandle& handle, std::string& contents,
                             std::string& problem)
{
    contents.clear();
    const ReadOutcome opened = openSettingsFile(file, handle, problem);
    if (opened != ReadOutcome::Ok)
        return opened;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(handle.fd(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0)
            return ReadOutcome::Ok;
        if (got > 0 && contents.size() + std::size_t(got) <= settingsFileSizeLimit) {
            contents.append(buffer, std::size_t(got));
            continue;
        }
        // A read error, or a file that grew past the limit while it was read.
        const ReadOutcome failed = got < 0 ? unreadable(file, problem) : tooLarge(file, problem);
        contents.clear();
        handle = FileHandle();
        return failed;
    }
}

} // namespace lentaro::registry
