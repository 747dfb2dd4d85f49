#pragma once

#include "platform/audio/Format.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace lentaro::audio {

// Receives what a null output plays, in play order, in the output's format. Called on the
// device's playing thread; it must not call back into the device.
class FrameSink {
 public:
  virtual ~FrameSink() = default;
  virtual void played(const Format& format, const std::uint8_t* bytes, std::size_t byteCount) = 0;
};

// Keeps everything played, for tests.
class MemorySink final : public FrameSink {
 public:
  void played(const Format& format, const std::uint8_t* bytes, std::size_t byteCount) override;

  std::vector<std::uint8_t> bytes() const;
  // The format of the latest frames, none before any.
  std::optional<Format> format() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::uint8_t> bytes_;
  std::optional<Format> format_;
};

}  // namespace lentaro::audio
