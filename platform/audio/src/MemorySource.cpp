#include "platform/audio/FrameConverter.h"
#include "platform/audio/FrameSource.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace lentaro::audio {

MemorySource::MemorySource(const Format& format, std::vector<std::uint8_t> bytes)
    : format_(format), bytes_(std::move(bytes)) {
  if (!checkOutputFormat(format).ok()) throw std::invalid_argument("MemorySource: unusable format");
}

std::size_t MemorySource::read(const Format& format, std::uint8_t* dest, std::size_t maxBytes) {
  if (convertedFormat_ != format) {
    converted_.clear();
    if (format == format_) {
      converted_ = bytes_;
    } else {
      FrameConverter converter(format_, format);
      converter.convert(bytes_.data(), bytes_.size(), converted_);
    }
    convertedFormat_ = format;
    position_ = 0;
  }
  const auto frameBytes = static_cast<std::size_t>(format.bytesPerFrame());
  const std::size_t count = std::min(maxBytes / frameBytes * frameBytes, converted_.size() - position_);
  if (count > 0) std::memcpy(dest, converted_.data() + position_, count);
  position_ += count;
  return count;
}

}  // namespace lentaro::audio
