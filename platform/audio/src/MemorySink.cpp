#include "platform/audio/FrameSink.h"

namespace lentaro::audio {

void MemorySink::played(const Format& format, const std::uint8_t* bytes, std::size_t byteCount) {
  std::lock_guard<std::mutex> lock(mutex_);
  bytes_.insert(bytes_.end(), bytes, bytes + byteCount);
  format_ = format;
}

std::vector<std::uint8_t> MemorySink::bytes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return bytes_;
}

std::optional<Format> MemorySink::format() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return format_;
}

}  // namespace lentaro::audio
