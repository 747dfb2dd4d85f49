#pragma once
// The engine lock and the stream of the pass that is running: what lets another thread stop a
// pass. Only the most recent pass can be stopped.

#include <chrono>
#include <cstdint>
#include <mutex>

#include "engine/sound_stream.h"

namespace kv {

class PassControl {
 public:
  // Every wait on the lock is limited to this.
  static constexpr std::chrono::milliseconds kLockWait{10000};

  explicit PassControl(std::chrono::milliseconds lockWait = kLockWait) : lockWait_(lockWait) {}
  PassControl(const PassControl&) = delete;
  PassControl& operator=(const PassControl&) = delete;

  // Makes stream the one a stop reaches and clears its stop flag. False when the lock could not
  // be had.
  bool begin(SoundStream& stream);
  // Forgets stream if it is still the current one: a pass that ends after a newer one began
  // leaves the newer one stoppable. False when the lock could not be had.
  bool end(const SoundStream& stream);
  // Sets the current stream's stop flag; nothing when no pass runs. kOk, or kCannotOpen when the
  // lock could not be had.
  int32_t stop();

 private:
  std::timed_mutex lock_;
  SoundStream* current_ = nullptr;
  const std::chrono::milliseconds lockWait_;
};

}  // namespace kv
