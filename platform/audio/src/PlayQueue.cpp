#include "platform/audio/src/PlayQueue.h"

#include "platform/audio/src/Timeout.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace lentaro::audio {

PlayQueue::PlayQueue(std::size_t bytesPerFrame) : bytesPerFrame_(bytesPerFrame) {}

Queued PlayQueue::push(const void* data, std::size_t bytes) {
  Buffer buffer;
  try {
    const auto* first = static_cast<const std::uint8_t*>(data);
    buffer.bytes.assign(first, first + bytes);
  } catch (const std::bad_alloc&) {
    return {Error::OutOfMemory, 0};
  }
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return {Error::NotOpen, 0};
  try {
    buffers_.push_back(std::move(buffer));
  } catch (const std::bad_alloc&) {
    return {Error::OutOfMemory, 0};
  }
  return {Error::None, ++written_};
}

PlayQueue::Taken PlayQueue::take(std::uint8_t* dest, std::size_t maxFrames, std::uint64_t streamFrame) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::size_t copied = 0;
  while (taken_ < buffers_.size()) {
    Buffer& buffer = buffers_[taken_];
    const std::size_t left = (buffer.bytes.size() - buffer.bytesTaken) / bytesPerFrame_;
    const std::size_t count = std::min(left, maxFrames - copied);
    if (count == 0 && left > 0) break;
    if (!buffer.started) {
      buffer.started = true;
      buffer.start = streamFrame + copied;
    }
    if (count > 0)
      std::memcpy(dest + copied * bytesPerFrame_, buffer.bytes.data() + buffer.bytesTaken, count * bytesPerFrame_);
    buffer.bytesTaken += count * bytesPerFrame_;
    copied += count;
    if (buffer.bytesTaken < buffer.bytes.size()) break;
    buffer.end = streamFrame + copied;
    ++taken_;
  }
  return {copied, taken_ == buffers_.size()};
}

void PlayQueue::heardUpTo(std::uint64_t streamFrame) {
  std::lock_guard<std::mutex> lock(mutex_);
  const Ticket before = done_;
  while (taken_ > 0 && buffers_.front().end <= streamFrame) {
    framesOfDone_ += buffers_.front().bytes.size() / bytesPerFrame_;
    buffers_.pop_front();
    --taken_;
    ++done_;
  }
  std::uint64_t partial = 0;
  if (!buffers_.empty() && buffers_.front().started && streamFrame > buffers_.front().start) {
    const Buffer& front = buffers_.front();
    partial = std::min<std::uint64_t>(streamFrame - front.start, front.bytesTaken / bytesPerFrame_);
  }
  framesHeard_ = framesOfDone_ + partial;
  if (done_ != before) doneChanged_.notify_all();
}

bool PlayQueue::hasUntaken() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return taken_ < buffers_.size();
}

void PlayQueue::discardAllLocked() {
  buffers_.clear();
  taken_ = 0;
  done_ = written_;
  framesOfDone_ = 0;
  framesHeard_ = 0;
  doneChanged_.notify_all();
}

void PlayQueue::discardAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  discardAllLocked();
}

void PlayQueue::close() {
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
  discardAllLocked();
}

bool PlayQueue::isDone(Ticket ticket) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return ticket <= done_;
}

Ticket PlayQueue::done() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return done_;
}

bool PlayQueue::waitUntilDone(Ticket ticket, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return doneChanged_.wait_for(lock, boundedTimeout(timeout), [&] { return ticket <= done_; });
}

std::uint64_t PlayQueue::framesHeard() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return framesHeard_;
}

}  // namespace lentaro::audio
