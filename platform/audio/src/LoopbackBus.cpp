#include "platform/audio/src/LoopbackBus.h"

#include <algorithm>

namespace lentaro::audio {

void LoopbackBus::attach(LoopbackListener* listener) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) listeners_.push_back(listener);
}

void LoopbackBus::detach(LoopbackListener* listener) {
  std::lock_guard<std::mutex> lock(mutex_);
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void LoopbackBus::publish(const Format& format, const std::uint8_t* bytes, std::size_t byteCount) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (LoopbackListener* listener : listeners_) listener->heard(format, bytes, byteCount);
}

}  // namespace lentaro::audio
