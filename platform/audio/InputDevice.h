#pragma once

#include "platform/audio/Format.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace lentaro::audio {

// A sound input opened with one format. Between start() and stop() it captures frames, which a
// reader takes with read(). Every member may be called from any thread.
class InputDevice {
 public:
  InputDevice() = default;
  InputDevice(const InputDevice&) = delete;
  InputDevice& operator=(const InputDevice&) = delete;
  virtual ~InputDevice() = default;

  virtual const Format& format() const = 0;
  virtual std::string name() const = 0;

  // Starts a new capture; whatever an earlier capture left unread is discarded.
  virtual Error start() = 0;
  // Ends the capture; what was captured stays readable.
  virtual Error stop() = 0;
  // Moves up to `maxBytes` (whole frames) of captured sound into `dest`, waiting at most
  // `timeout` for the first frame. Returns the bytes moved: 0 when nothing came in time, or at
  // once when the capture has ended and everything has been read.
  virtual std::size_t read(void* dest, std::size_t maxBytes, std::chrono::milliseconds timeout) = 0;
  // Frames captured since start(), read or not.
  virtual std::uint64_t framesCaptured() const = 0;
  // Frames lost since start() because the reader fell too far behind.
  virtual std::uint64_t framesDropped() const = 0;
  // Ends any capture and releases the device; closing twice does nothing more.
  virtual Error close() = 0;
};

}  // namespace lentaro::audio
