#include "platform/audio/src/NullSourceInput.h"

#include "platform/audio/src/Timeout.h"

#include <algorithm>
#include <limits>

namespace lentaro::audio {

NullSourceInput::NullSourceInput(const Format& format, double speed, std::shared_ptr<Clock> clock,
                                 std::shared_ptr<FrameSource> source)
    : format_(format), pace_(format.sampleRate, speed), clock_(std::move(clock)), source_(std::move(source)) {}

NullSourceInput::~NullSourceInput() { close(); }

std::uint64_t NullSourceInput::dueAt(Clock::Duration now) const {
  if (!pace_.paced()) return std::numeric_limits<std::uint64_t>::max();
  return pace_.framesIn(now - started_);
}

void NullSourceInput::stir() {
  ++generation_;
  clock_->wake();
}

Error NullSourceInput::start() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return Error::NotOpen;
    capturing_ = true;
    sourceEnded_ = false;
    started_ = clock_->now();
    captured_ = 0;
  }
  stir();
  return Error::None;
}

void NullSourceInput::endCapture() {
  if (!capturing_) return;
  capturing_ = false;
  limit_ = pace_.paced() ? dueAt(clock_->now()) : captured_;
}

Error NullSourceInput::stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return Error::NotOpen;
    endCapture();
  }
  stir();
  return Error::None;
}

Error NullSourceInput::close() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return Error::None;
    endCapture();
    closed_ = true;
  }
  stir();
  return Error::None;
}

std::size_t NullSourceInput::read(void* dest, std::size_t maxBytes, std::chrono::milliseconds timeout) {
  const auto frameBytes = static_cast<std::size_t>(format_.bytesPerFrame());
  const std::size_t wanted = maxBytes / frameBytes;
  if (wanted == 0) return 0;
  const Clock::Duration giveUpAt = clock_->now() + boundedTimeout(timeout);
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    const std::uint64_t seen = generation_;
    const Clock::Duration now = clock_->now();
    const std::uint64_t readable = capturing_ ? dueAt(now) : limit_;
    if (readable > captured_ && !sourceEnded_) {
      const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(wanted, readable - captured_));
      const std::size_t bytes = source_->read(format_, static_cast<std::uint8_t*>(dest), count * frameBytes);
      if (bytes == 0) sourceEnded_ = true;
      captured_ += bytes / frameBytes;
      return bytes / frameBytes * frameBytes;
    }
    if (!capturing_ || sourceEnded_ || now >= giveUpAt) return 0;
    const Clock::Duration nextFrame = started_ + pace_.timeFor(captured_ + 1);
    lock.unlock();
    clock_->waitUntil(std::min(nextFrame, giveUpAt), [&] { return generation_ != seen; });
    lock.lock();
  }
}

std::uint64_t NullSourceInput::framesCaptured() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return captured_;
}

}  // namespace lentaro::audio
