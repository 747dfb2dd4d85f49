#pragma once
// A ByteFile on the file system.

#include <cstdio>
#include <memory>
#include <string>

#include "soundfile/byte_file.h"

namespace kv {

class DiskFile final : public ByteFile {
 public:
  // Null when the file cannot be opened or is no regular file (a folder, FIFO, device or socket,
  // refused at once and left as it was). Opening for writing creates the file or empties it.
  static std::unique_ptr<DiskFile> openForReading(const std::string& path);
  static std::unique_ptr<DiskFile> openForWriting(const std::string& path);

  ~DiskFile() override;

  std::size_t read(void* bytes, std::size_t count) override;
  std::size_t write(const void* bytes, std::size_t count) override;
  bool seek(int64_t position) override;
  int64_t tell() override;
  int64_t size() override;
  bool failed() const override;
  bool close() override;

 private:
  explicit DiskFile(std::FILE* file) : file_(file) {}
  std::FILE* file_;
};

}  // namespace kv
