#pragma once

#include "platform/audio/Format.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace lentaro::audio {

class PlayQueue;

// Identifies a buffer handed to an output device: the first buffer is 1, the next 2, and so on.
// Buffers are played, and reported done, in the order they were written.
using Ticket = std::uint64_t;

struct Queued {
  Error error = Error::None;
  Ticket ticket = 0;
};

// A sound output opened with one format. Buffers written to it play one after another, without
// gaps while the writer keeps ahead; each is reported done once it has been heard (or once a reset
// or close has thrown it away). Every member may be called from any thread; the device plays on
// threads of its own.
class OutputDevice {
 public:
  OutputDevice(const OutputDevice&) = delete;
  OutputDevice& operator=(const OutputDevice&) = delete;
  virtual ~OutputDevice();

  const Format& format() const { return format_; }
  virtual std::string name() const = 0;

  // Copies the bytes (whole frames) and queues them behind every earlier buffer. A buffer of
  // no bytes is done as soon as play reaches it. Never blocks for play.
  Queued write(const void* data, std::size_t bytes);

  // True once the buffer has been played or thrown away; ticket 0 is always done.
  bool isDone(Ticket ticket) const;
  // The number of buffers done: tickets 1 to buffersDone() are done, later ones are not.
  Ticket buffersDone() const;
  // Waits at most `timeout` for the buffer to be done; true when it is.
  bool waitUntilDone(Ticket ticket, std::chrono::milliseconds timeout) const;
  // Frames of the written buffers heard since the device opened or was last reset.
  std::uint64_t framesPlayed() const;

  // Stops play at once: every queued buffer is done, unheard, and the played count is 0.
  // The device stays open for further writes.
  virtual Error reset() = 0;
  // Stops play at once and releases the device: every queued buffer is done and later writes
  // fail with NotOpen. Closing twice does nothing more.
  virtual Error close() = 0;

 protected:
  explicit OutputDevice(const Format& format);

  PlayQueue& queue() const { return *queue_; }
  // A buffer has joined the queue.
  virtual void queued() {}

 private:
  Format format_;
  std::unique_ptr<PlayQueue> queue_;
};

}  // namespace lentaro::audio
