#include "soundfile/disk_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "soundfile/regular_file.h"

namespace kv {

namespace {

std::FILE* openStream(const std::string& path, int access, const char* mode) {
  const int descriptor = openRegularFile(path, access).descriptor;
  if (descriptor < 0) return nullptr;
  std::FILE* file = ::fdopen(descriptor, mode);
  if (!file) ::close(descriptor);
  return file;
}

}  // namespace

std::unique_ptr<DiskFile> DiskFile::openForReading(const std::string& path) {
  std::FILE* file = openStream(path, O_RDONLY, "rb");
  if (!file) return nullptr;
  return std::unique_ptr<DiskFile>(new DiskFile(file));
}

std::unique_ptr<DiskFile> DiskFile::openForWriting(const std::string& path) {
  std::FILE* file = openStream(path, O_WRONLY | O_CREAT, "wb");
  if (!file) return nullptr;
  // Unbuffered, so that a write reports what reached the file: after a full disk the header then
  // counts exactly the samples the file holds. Samples are written in blocks of kilobytes anyway.
  std::setvbuf(file, nullptr, _IONBF, 0);
  return std::unique_ptr<DiskFile>(new DiskFile(file));
}

DiskFile::~DiskFile() { close(); }

std::size_t DiskFile::read(void* bytes, std::size_t count) { return file_ ? std::fread(bytes, 1, count, file_) : 0; }

std::size_t DiskFile::write(const void* bytes, std::size_t count) {
  return file_ ? std::fwrite(bytes, 1, count, file_) : 0;
}

bool DiskFile::seek(int64_t position) {
  return file_ && position >= 0 && fseeko(file_, static_cast<off_t>(position), SEEK_SET) == 0;
}

int64_t DiskFile::tell() { return file_ ? static_cast<int64_t>(ftello(file_)) : -1; }

int64_t DiskFile::size() {
  struct stat info;
  if (!file_ || fstat(fileno(file_), &info) != 0) return -1;
  return static_cast<int64_t>(info.st_size);
}

bool DiskFile::failed() const { return !file_ || std::ferror(file_) != 0; }

bool DiskFile::close() {
  if (!file_) return true;
  const bool ok = std::ferror(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return ok && closed;
}

}  // namespace kv
