#pragma once
// A ByteFile over bytes in memory: lets tests and fuzz targets hand a stream exact file contents,
// and stands in for a full disk when given a capacity.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "soundfile/byte_file.h"

namespace kvtest {

class MemoryFile final : public kv::ByteFile {
 public:
  using Bytes = std::vector<uint8_t>;

  explicit MemoryFile(Bytes bytes = {}, std::size_t capacity = std::numeric_limits<std::size_t>::max())
      : bytes_(std::make_shared<Bytes>(std::move(bytes))), capacity_(capacity) {}

  // The bytes, still readable after the stream that owned this file is gone.
  std::shared_ptr<const Bytes> contents() const { return bytes_; }

  // Told how many bytes each read delivered, so that a test can count them or act part-way
  // through the file.
  void onRead(std::function<void(std::size_t)> observer) { onRead_ = std::move(observer); }

  std::size_t read(void* out, std::size_t count) override {
    if (position_ >= bytes_->size()) return 0;
    const std::size_t n = std::min(count, bytes_->size() - position_);
    std::memcpy(out, bytes_->data() + position_, n);
    position_ += n;
    if (onRead_) onRead_(n);
    return n;
  }

  std::size_t write(const void* in, std::size_t count) override {
    const std::size_t room = position_ < capacity_ ? capacity_ - position_ : 0;
    const std::size_t n = std::min(count, room);
    if (position_ + n > bytes_->size()) bytes_->resize(position_ + n);
    std::memcpy(bytes_->data() + position_, in, n);
    position_ += n;
    return n;
  }

  bool seek(int64_t position) override {
    if (position < 0) return false;
    position_ = static_cast<std::size_t>(position);
    return true;
  }
  int64_t tell() override { return static_cast<int64_t>(position_); }
  int64_t size() override { return static_cast<int64_t>(bytes_->size()); }
  bool failed() const override { return false; }
  bool close() override { return true; }

 private:
  std::shared_ptr<Bytes> bytes_;
  std::size_t capacity_;
  std::size_t position_ = 0;
  std::function<void(std::size_t)> onRead_;
};

// A file whose size cannot be told (a pipe, say): its header is all there is to go by, so a
// header that claims more than the file holds gives reads that come up short.
class SizeUnknownFile final : public kv::ByteFile {
 public:
  explicit SizeUnknownFile(MemoryFile::Bytes bytes) : file_(std::move(bytes)) {}
  std::size_t read(void* bytes, std::size_t count) override { return file_.read(bytes, count); }
  std::size_t write(const void* bytes, std::size_t count) override { return file_.write(bytes, count); }
  bool seek(int64_t position) override { return file_.seek(position); }
  int64_t tell() override { return file_.tell(); }
  int64_t size() override { return -1; }
  bool failed() const override { return file_.failed(); }
  bool close() override { return file_.close(); }

 private:
  MemoryFile file_;
};

}  // namespace kvtest
