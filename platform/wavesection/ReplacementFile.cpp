#include "platform/wavesection/ReplacementFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace lentaro::wavesection {

namespace {

std::atomic<unsigned> temporaryCount{0};

// A hidden name beside the destination that no other writer, in this process or another, uses.
std::string temporaryName(const fs::path& destination)
{
    return (destination.parent_path()
            / ("." + destination.filename().string() + ".part-" + std::to_string(::getpid()) + "-"
               + std::to_string(temporaryCount++)))
        .string();
}

// Absent, or a regular file that may be written. A file marked read-only is kept even from root,
// whom access() lets write anything.
bool replaceable(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT;
    return S_ISREG(info.st_mode) && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0
           && ::access(path.c_str(), W_OK) == 0;
}

} // namespace

ReplacementFile::ReplacementFile(const std::string& destination) : m_destination(destination)
{
    if (!replaceable(destination))
        return;
    // A name already taken (left by a writer that died, say) is skipped for the next.
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_temporary = temporaryName(destination);
        // 0666 before the umask, as any new file gets.
        m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0)
        m_temporary.clear();
}

ReplacementFile::~ReplacementFile()
{
    discard();
}

bool ReplacementFile::commit()
{
    if (!isOpen())
        return false;
    const bool flushed = ::fsync(m_fd) == 0;
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    if (flushed && closed && ::rename(m_temporary.c_str(), m_destination.c_str()) == 0) {
        m_temporary.clear();
        return true;
    }
    discard();
    return false;
}

void ReplacementFile::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
}

} // namespace lentaro::wavesection
