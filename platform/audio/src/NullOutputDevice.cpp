#include "platform/audio/src/NullOutputDevice.h"

#include "platform/audio/src/PlayQueue.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace lentaro::audio {

namespace {

// The most frames taken in one piece, so that reset and close get in between pieces.
constexpr std::size_t pieceFrames = 8192;

// 10 ms of sound, but no more than a thousand wakes a second when running fast.
std::size_t granuleFor(const Format& format, double speed) {
  const double frames = std::round(std::max(format.sampleRate / 100.0, format.sampleRate * speed / 1000));
  return static_cast<std::size_t>(std::clamp(frames, 1.0, static_cast<double>(pieceFrames)));
}

}  // namespace

NullOutputDevice::NullOutputDevice(const Format& format, double speed, std::shared_ptr<Clock> clock,
                                   std::shared_ptr<FrameSink> sink, std::shared_ptr<LoopbackBus> loopback)
    : OutputDevice(format),
      pace_(format.sampleRate, speed),
      granule_(granuleFor(format, speed)),
      clock_(std::move(clock)),
      sink_(std::move(sink)),
      loopback_(std::move(loopback)),
      player_([this] { play(); }) {}

NullOutputDevice::~NullOutputDevice() { close(); }

void NullOutputDevice::startPacing(Clock::Duration now) {
  pacing_ = true;
  pacingStart_ = now;
  pacingStartFrame_ = streamFrame_;
}

void NullOutputDevice::stir() {
  ++generation_;
  clock_->wake();
}

void NullOutputDevice::queued() {
  {
    // Play starts when the buffer arrives, not when the thread gets round to it.
    std::lock_guard<std::mutex> lock(playMutex_);
    if (pace_.paced() && !pacing_ && queue().hasUntaken()) startPacing(clock_->now());
  }
  stir();
}

Error NullOutputDevice::reset() {
  {
    std::lock_guard<std::mutex> lock(playMutex_);
    if (closed_) return Error::NotOpen;
    queue().discardAll();
    pacing_ = false;
  }
  stir();
  return Error::None;
}

Error NullOutputDevice::close() {
  {
    std::lock_guard<std::mutex> lock(playMutex_);
    if (closed_) return Error::None;
    closed_ = true;
    queue().close();
  }
  stir();
  if (player_.joinable()) player_.join();
  return Error::None;
}

void NullOutputDevice::play() {
  const auto frameBytes = static_cast<std::size_t>(format().bytesPerFrame());
  std::vector<std::uint8_t> piece(pieceFrames * frameBytes);
  for (;;) {
    const std::uint64_t seen = generation_;
    Clock::Duration wakeAt = Clock::never();
    {
      std::lock_guard<std::mutex> lock(playMutex_);
      if (closed_) return;
      if (queue().hasUntaken()) {
        std::size_t allowed = pieceFrames;
        if (pace_.paced()) {
          const Clock::Duration now = clock_->now();
          if (!pacing_) startPacing(now);
          const std::uint64_t due = pacingStartFrame_ + pace_.framesIn(now - pacingStart_);
          allowed = static_cast<std::size_t>(std::min<std::uint64_t>(due - streamFrame_, pieceFrames));
          if (allowed == 0) {
            const std::uint64_t next = streamFrame_ + granule_ - pacingStartFrame_;
            wakeAt = std::max(pacingStart_ + pace_.timeFor(next), now + Clock::Duration(1));
          }
        }
        const PlayQueue::Taken taken = queue().take(piece.data(), allowed, streamFrame_);
        if (taken.frames > 0) {
          if (sink_) sink_->played(format(), piece.data(), taken.frames * frameBytes);
          if (loopback_) loopback_->publish(format(), piece.data(), taken.frames * frameBytes);
        }
        streamFrame_ += taken.frames;
        queue().heardUpTo(streamFrame_);
        // Ran dry: the next buffer starts the pace afresh when it comes, owed nothing.
        if (taken.emptied) pacing_ = false;
        if (allowed > 0) continue;
      }
    }
    clock_->waitUntil(wakeAt, [&] { return generation_ != seen; });
  }
}

}  // namespace lentaro::audio
