#pragma once
// The one way the program opens a file of its own or of the user's: only a regular file, and
// without waiting. Opening anything else may wait for ever (a FIFO waits for its other end), and
// reading or writing it may never end (/dev/zero) or reach a device.

#include <string>

namespace kv {

struct RegularFile {
  int descriptor = -1;  // the caller's to close; -1 when nothing was opened
  int error = 0;        // the system's reason a regular file (or nothing) could not be opened
  // What stands at the path instead of a regular file ("a folder", "a FIFO", "a device",
  // "a socket"); null when it is a regular file or nothing.
  const char* standing = nullptr;

  bool opened() const { return descriptor >= 0; }
};

// access is O_RDONLY, O_WRONLY or O_RDWR, and O_CREAT to create the file or empty it (only once it
// is known to be a regular file). The path is looked at before it is opened, so that nothing else
// is opened in the normal case, and the descriptor after, so that a file swapped in between is
// caught too; the open itself does not wait, and the descriptor reads and writes as any does.
RegularFile openRegularFile(const std::string& path, int access);

// Why an open failed, in words for a message ("it is a FIFO, not a file", "No space left on
// device"); empty when it opened.
std::string whyNotOpened(const RegularFile& attempt);

}  // namespace kv
