#pragma once

#include "platform/audio/Format.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace lentaro::audio {

// Captured frames waiting for their reader: a ring of fixed size that a capture fills and the
// reader empties. It holds ten seconds of the input's format; frames that find it full are
// dropped and counted, as a sound card would.
class CaptureBuffer {
 public:
  explicit CaptureBuffer(const Format& format);

  // A new capture: empty, counting from 0, taking frames.
  void begin();
  // The capture is over: no more frames are taken and waiting readers return.
  void end();
  void push(const std::uint8_t* bytes, std::size_t byteCount);
  std::size_t read(std::uint8_t* dest, std::size_t maxBytes, std::chrono::milliseconds timeout);

  std::uint64_t captured() const;
  std::uint64_t dropped() const;

 private:
  const std::size_t bytesPerFrame_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::uint8_t> ring_;
  std::size_t head_ = 0;  // first unread byte
  std::size_t size_ = 0;  // unread bytes
  bool capturing_ = false;
  std::uint64_t captured_ = 0;
  std::uint64_t dropped_ = 0;
};

}  // namespace lentaro::audio
