#pragma once
// The engine lock and the streams of the passes that are running: what lets another thread stop
// them. Passes run one at a time as a rule, but one started just after another may begin before
// the caller's stop for the first could reach it; a stop therefore reaches every running pass.

#include <chrono>
#include <cstdint>
#include <vector>

#include "engine/timed_lock.h"
#include "soundfile/sound_stream.h"

namespace kv {

class PassControl {
 public:
  // Every wait on the lock is limited to this.
  static constexpr std::chrono::milliseconds kLockWait{10000};

  explicit PassControl(std::chrono::milliseconds lockWait = kLockWait) : lockWait_(lockWait) {}
  PassControl(const PassControl&) = delete;
  PassControl& operator=(const PassControl&) = delete;

  // Makes stream one that a stop reaches and clears its stop flag. False when the lock could not
  // be had.
  bool begin(SoundStream& stream);
  // Forgets stream: a stop no longer reaches it. False when the lock could not be had.
  bool end(const SoundStream& stream);
  // Sets the stop flag of every running pass's stream; nothing when no pass runs. kOk, or
  // kCannotOpen when the lock could not be had.
  int32_t stop();

 private:
  TimedLock lock_;
  std::vector<SoundStream*> running_;
  const std::chrono::milliseconds lockWait_;
};

}  // namespace kv
