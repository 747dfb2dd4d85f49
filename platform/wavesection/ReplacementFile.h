#pragma once

#include <string>

namespace lentaro::wavesection {

// A file that takes the place of another only once it is whole. It is made under a hidden
// temporary name in the destination's folder; commit() puts its contents on disk and renames it
// over the destination. Until then the destination is untouched, and a file never committed is
// removed with the object.
class ReplacementFile
{
public:
    // Makes the temporary file; check isOpen(). The destination must be absent or a regular file
    // that may be written: anything else (a folder, a device) would be replaced by the rename, or
    // refuse it too late, and a read-only file is not the caller's to replace.
    explicit ReplacementFile(const std::string& destination);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Where to write the contents; the caller closes what it opened there before commit().
    const std::string& temporaryPath() const { return m_temporary; }
    // Flushes the temporary file to disk and renames it over the destination; false when either
    // failed, and then the temporary file is gone and the destination as it was.
    bool commit();

private:
    void discard();

    std::string m_destination;
    std::string m_temporary;
    int m_fd = -1; // held until commit, so the flush reaches what was written under the name
};

} // namespace lentaro::wavesection
