#pragma once
// The file a sound stream reads or writes. Streams normally use a DiskFile; tests and fuzz
// targets hand a stream bytes held in memory through the same interface.

#include <cstddef>
#include <cstdint>

namespace kv {

class ByteFile {
 public:
  virtual ~ByteFile() = default;

  // Both return how many bytes moved; fewer than asked means end of file or failure.
  virtual std::size_t read(void* bytes, std::size_t count) = 0;
  virtual std::size_t write(const void* bytes, std::size_t count) = 0;
  // Absolute position; seeking past the end is allowed (reads there deliver nothing).
  virtual bool seek(int64_t position) = 0;
  virtual int64_t tell() = 0;
  // Size of the file as the file system reports it; -1 when it cannot tell.
  virtual int64_t size() = 0;
  // True once a read or write failed for a reason other than the end of the file.
  virtual bool failed() const = 0;
  // Pushes written bytes out and releases the file; false when that fails. Called once.
  virtual bool close() = 0;
};

}  // namespace kv
