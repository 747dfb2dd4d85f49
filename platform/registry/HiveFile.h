#pragma once

#include "platform/registry/FileHandle.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace lentaro::registry {

// What identifies one version of a file on disk. A file replaced by rename is another inode,
// and its inode number cannot be the old one's while the old file is held open (FileHandle);
// a write in place changes size or times.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modifiedNs = 0, changedNs = 0;

    bool operator==(const FileStamp& o) const
    {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size
               && modifiedNs == o.modifiedNs && changedNs == o.changedNs;
    }
    bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

FileStamp stampOf(const std::filesystem::path& file);
FileStamp stampOf(const FileHandle& handle);

// Writes the contents to a temporary file in the same folder, flushes it to disk and renames
// it over the file, so the file holds either its old or its new contents, never a mixture.
bool replaceFileAtomically(const std::filesystem::path& file, std::string_view contents,
                           std::string& problem);

// Removes temporary files that writers killed before their rename left behind. Only safe
// while holding the file's lock, when no other writer can be half-way.
void removeLeftoverTemporaries(const std::filesystem::path& file);

// Moves a file to the first free name of file.bad, file.bad.1, file.bad.2, ...; never
// replaces an earlier one.
bool moveAside(const std::filesystem::path& file, std::filesystem::path& keptAs,
               std::string& problem);

// An exclusive advisory lock (flock) on a lock file, held for the object's life; it keeps
// processes sharing the folder from interleaving their read-change-write cycles. A lock held
// elsewhere is waited for until the deadline and no longer, so that a process stuck while
// holding it cannot stop every other one.
class FileLock
{
public:
    FileLock(const std::filesystem::path& lockFile, std::chrono::steady_clock::time_point deadline);

    bool held() const { return m_handle.isOpen(); }
    // Not held because the deadline came first.
    bool timedOut() const { return m_timedOut; }
    const std::string& problem() const { return m_problem; }

private:
    FileHandle m_handle; // closing it releases the lock
    bool m_timedOut = false;
    std::string m_problem;
};

} // namespace lentaro::registry
