#pragma once

#include "platform/audio/Format.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace lentaro::audio {

// Hears what a null output plays.
class LoopbackListener {
 public:
  virtual void heard(const Format& format, const std::uint8_t* bytes, std::size_t byteCount) = 0;

 protected:
  ~LoopbackListener() = default;
};

// Carries what a null card's outputs play to the inputs recording it. Listeners are called under
// the bus's lock, so once detach() returns a listener is never called again.
class LoopbackBus {
 public:
  void attach(LoopbackListener* listener);
  void detach(LoopbackListener* listener);
  void publish(const Format& format, const std::uint8_t* bytes, std::size_t byteCount);

 private:
  std::mutex mutex_;
  std::vector<LoopbackListener*> listeners_;
};

}  // namespace lentaro::audio
