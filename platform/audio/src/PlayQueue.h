#pragma once

#include "platform/audio/OutputDevice.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace lentaro::audio {

// The buffers an output device has been given, oldest first, from written to done. A device
// takes frames out to send them to its sound card and says how far the card has got; a buffer is
// done once everything sent of it has been heard. Positions are stream frames: every frame the
// device sends out, silence included.
class PlayQueue {
 public:
  explicit PlayQueue(std::size_t bytesPerFrame);

  Queued push(const void* data, std::size_t bytes);

  struct Taken {
    std::size_t frames = 0;
    bool emptied = false;  // nothing is left to take
  };
  // Copies up to `maxFrames` frames into `dest`, to be sent out from stream frame `streamFrame`
  // on. Buffers of no bytes that it reaches are passed at once.
  Taken take(std::uint8_t* dest, std::size_t maxFrames, std::uint64_t streamFrame);
  // Everything sent before stream frame `streamFrame` has been heard.
  void heardUpTo(std::uint64_t streamFrame);
  // Some buffer still has frames (or is empty and) not yet taken.
  bool hasUntaken() const;

  // Every buffer is done at once, unheard; the heard count starts again from 0.
  void discardAll();
  // As discardAll, and later pushes fail with NotOpen.
  void close();

  bool isDone(Ticket ticket) const;
  Ticket done() const;
  bool waitUntilDone(Ticket ticket, std::chrono::milliseconds timeout) const;
  std::uint64_t framesHeard() const;

 private:
  struct Buffer {
    std::vector<std::uint8_t> bytes;
    std::size_t bytesTaken = 0;
    bool started = false;
    std::uint64_t start = 0;  // stream frame of its first frame
    std::uint64_t end = 0;    // stream frame after its last, once all is taken
  };

  void discardAllLocked();

  const std::size_t bytesPerFrame_;
  mutable std::mutex mutex_;
  mutable std::condition_variable doneChanged_;
  std::deque<Buffer> buffers_;  // not done yet
  std::size_t taken_ = 0;       // buffers at the front that have been taken whole
  Ticket written_ = 0;
  Ticket done_ = 0;
  std::uint64_t framesOfDone_ = 0;
  std::uint64_t framesHeard_ = 0;
  bool closed_ = false;
};

}  // namespace lentaro::audio
