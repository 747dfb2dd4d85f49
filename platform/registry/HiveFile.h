#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

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

// An open file descriptor, closed with the object.
class FileHandle
{
public:
    FileHandle() = default;
    explicit FileHandle(int fd) : m_fd(fd) {}
    FileHandle(FileHandle&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    ~FileHandle();
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    int fd() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// Opens a file for reading and stamps what was opened.
bool openForReading(const std::filesystem::path& file, FileHandle& handle, FileStamp& stamp,
                    std::string& problem);

bool readWholeFile(const FileHandle& handle, const std::filesystem::path& file,
                   std::string& contents, std::string& problem);

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
// processes sharing the folder from interleaving their read-change-write cycles.
class FileLock
{
public:
    explicit FileLock(const std::filesystem::path& lockFile);

    bool held() const { return m_handle.isOpen(); }
    const std::string& problem() const { return m_problem; }

private:
    FileHandle m_handle; // closing it releases the lock
    std::string m_problem;
};

} // namespace lentaro::registry
