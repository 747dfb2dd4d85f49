#pragma once

#include "platform/audio/Format.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace lentaro::audio {

// Feeds a null input: delivers sound in the format of the input that reads it.
class FrameSource {
 public:
  virtual ~FrameSource() = default;
  // Fills `dest` with up to `maxBytes` (whole frames of `format`); returns the bytes filled,
  // 0 once the source has nothing more.
  virtual std::size_t read(const Format& format, std::uint8_t* dest, std::size_t maxBytes) = 0;
};

// Sound held in memory, converted to the format that reads it. Read by one input at a time; a
// read in another format than the one before starts again from the beginning.
class MemorySource final : public FrameSource {
 public:
  // Throws std::invalid_argument for a format no device could play.
  MemorySource(const Format& format, std::vector<std::uint8_t> bytes);

  std::size_t read(const Format& format, std::uint8_t* dest, std::size_t maxBytes) override;

 private:
  Format format_;
  std::vector<std::uint8_t> bytes_;
  std::optional<Format> convertedFormat_;
  std::vector<std::uint8_t> converted_;
  std::size_t position_ = 0;
};

}  // namespace lentaro::audio
