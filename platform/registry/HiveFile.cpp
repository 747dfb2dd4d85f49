#include "platform/registry/HiveFile.h"
#include "platform/registry/RetryUntil.h"
#include "platform/registry/SystemError.h"
#include "platform/registry/WriteHook.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace lentaro::registry {

namespace {

WriteHook writeHook = nullptr;

void reachStage(WriteStage stage)
{
    if (writeHook)
        writeHook(stage);
}

std::string temporaryPrefix(const fs::path& file)
{
    return "." + file.filename().string() + ".tmp-";
}

bool writeAll(int fd, const char* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += written;
        size -= std::size_t(written);
    }
    return true;
}

// A rename is lasting only once the folder that holds the name is flushed too.
bool syncFolder(const fs::path& folder)
{
    const FileHandle handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return handle.isOpen() && ::fsync(handle.fd()) == 0;
}

FileStamp stampFrom(const struct stat& info)
{
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = std::uint64_t(info.st_size);
    stamp.modifiedNs = std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.changedNs = std::int64_t(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return stamp;
}

} // namespace

void setWriteHook(WriteHook hook)
{
    writeHook = hook;
}

FileStamp stampOf(const fs::path& file)
{
    struct stat info;
    if (::stat(file.c_str(), &info) == 0)
        return stampFrom(info);
    // Anything but absence shows up when the file is opened.
    FileStamp stamp;
    stamp.exists = errno != ENOENT;
    return stamp;
}

FileStamp stampOf(const FileHandle& handle)
{
    struct stat info;
    if (::fstat(handle.fd(), &info) != 0)
        return {};
    return stampFrom(info);
}

bool replaceFileAtomically(const fs::path& file, std::string_view contents, std::string& problem)
{
    const fs::path folder = file.parent_path();
    std::string temporary = (folder / (temporaryPrefix(file) + "XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        problem = systemError("cannot create a temporary file in", folder);
        return false;
    }
    const std::size_t half = contents.size() / 2;
    bool good = writeAll(fd, contents.data(), half);
    if (good)
        reachStage(WriteStage::TempHalfWritten);
    good = good && writeAll(fd, contents.data() + half, contents.size() - half);
    if (!good)
        problem = systemError("cannot write", temporary);
    if (good && ::fsync(fd) != 0) {
        problem = systemError("cannot flush", temporary);
        good = false;
    }
    if (::close(fd) != 0 && good) {
        problem = systemError("cannot close", temporary);
        good = false;
    }
    if (good) {
        reachStage(WriteStage::TempSynced);
        if (::rename(temporary.c_str(), file.c_str()) != 0) {
            problem = systemError("cannot rename " + temporary + " to", file);
            good = false;
        }
    }
    if (!good) {
        ::unlink(temporary.c_str());
        return false;
    }
    reachStage(WriteStage::Renamed);
    if (!syncFolder(folder)) {
        problem = systemError("cannot flush the folder", folder);
        return false;
    }
    return true;
}

void removeLeftoverTemporaries(const fs::path& file)
{
    const std::string prefix = temporaryPrefix(file);
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(file.parent_path(), error)) {
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
            fs::remove(entry.path(), error);
    }
}

bool moveAside(const fs::path& file, fs::path& keptAs, std::string& problem)
{
    // link() refuses an existing name, so an earlier damaged copy is never replaced.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        keptAs = file;
        keptAs += attempt == 0 ? std::string(".bad") : ".bad." + std::to_string(attempt);
        if (::link(file.c_str(), keptAs.c_str()) == 0) {
            if (::unlink(file.c_str()) != 0) {
                problem = systemError("cannot remove", file);
                ::unlink(keptAs.c_str());
                return false;
            }
            syncFolder(file.parent_path());
            return true;
        }
        if (errno != EEXIST) {
            problem = systemError("cannot keep a copy as", keptAs);
            return false;
        }
    }
    problem = "too many earlier damaged copies beside " + file.string();
    return false;
}

FileLock::FileLock(const fs::path& lockFile, std::chrono::steady_clock::time_point deadline)
    // Non-blocking, so that a named pipe in the lock file's place cannot hold up the open.
    : m_handle(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600))
{
    if (!m_handle.isOpen()) {
        m_problem = systemError("cannot open the lock file", lockFile);
        return;
    }
    const Attempt locked = retryUntil(deadline, [&] {
        if (::flock(m_handle.fd(), LOCK_EX | LOCK_NB) == 0)
            return Attempt::Taken;
        return errno == EINTR || errno == EWOULDBLOCK ? Attempt::Busy : Attempt::Failed;
    });
    if (locked == Attempt::Failed) {
        m_problem = systemError("cannot lock", lockFile);
        m_handle = FileHandle();
    } else if (locked == Attempt::Busy) {
        m_timedOut = true;
        m_problem = lockFile.string() + " stayed locked by another process";
        m_handle = FileHandle();
    }
}

} // namespace lentaro::registry
