#include "platform/audio/src/CaptureBuffer.h"

#include "platform/audio/src/Timeout.h"

#include <algorithm>
#include <cstring>

namespace lentaro::audio {

namespace {

// What a reader may fall behind by before frames are dropped.
constexpr std::size_t captureSeconds = 10;

}  // namespace

CaptureBuffer::CaptureBuffer(const Format& format)
    : bytesPerFrame_(static_cast<std::size_t>(format.bytesPerFrame())),
      ring_(bytesPerFrame_ * static_cast<std::size_t>(format.sampleRate) * captureSeconds) {}

void CaptureBuffer::begin() {
  std::lock_guard<std::mutex> lock(mutex_);
  head_ = size_ = 0;
  captured_ = dropped_ = 0;
  capturing_ = true;
}

void CaptureBuffer::end() {
  std::lock_guard<std::mutex> lock(mutex_);
  capturing_ = false;
  changed_.notify_all();
}

void CaptureBuffer::push(const std::uint8_t* bytes, std::size_t byteCount) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!capturing_) return;
  const std::size_t frames = byteCount / bytesPerFrame_;
  const std::size_t fitting = std::min(frames, (ring_.size() - size_) / bytesPerFrame_);
  std::size_t tail = (head_ + size_) % ring_.size();
  std::size_t left = fitting * bytesPerFrame_;
  while (left > 0) {
    const std::size_t piece = std::min(left, ring_.size() - tail);
    std::memcpy(ring_.data() + tail, bytes, piece);
    bytes += piece;
    left -= piece;
    size_ += piece;
    tail = (tail + piece) % ring_.size();
  }
  captured_ += frames;
  dropped_ += frames - fitting;
  if (fitting > 0) changed_.notify_all();
}

std::size_t CaptureBuffer::read(std::uint8_t* dest, std::size_t maxBytes, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, boundedTimeout(timeout), [&] { return size_ > 0 || !capturing_; });
  const std::size_t count = std::min(maxBytes / bytesPerFrame_ * bytesPerFrame_, size_);
  std::size_t done = 0;
  while (done < count) {
    const std::size_t piece = std::min(count - done, ring_.size() - head_);
    std::memcpy(dest + done, ring_.data() + head_, piece);
    done += piece;
    head_ = (head_ + piece) % ring_.size();
    size_ -= piece;
  }
  return count;
}

std::uint64_t CaptureBuffer::captured() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return captured_;
}

std::uint64_t CaptureBuffer::dropped() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return dropped_;
}

}  // namespace lentaro::audio
