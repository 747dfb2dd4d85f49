#pragma once
// The engine lock and the streams of the passes that are running: what lets another thread stop
// them. Passes run one at a time as a rule, but one started just after another may begin before
// the caller's stop for the first could reach it; a stop therefore reaches every running pass.
// A pass takes part in stops from the moment its call begins, not only once its input is open.

#include <atomic>
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

  // What a pass notes as its call begins, before it opens anything.
  struct Arrival {
    uint64_t stopsBefore;
  };
  Arrival arrive() const { return {stops_.load()}; }

  // Makes stream one that a stop reaches. Its stop flag is set when a stop has come since arrival
  // (the pass then ends at its first hop), else cleared. False when the lock could not be had.
  bool begin(SoundStream& stream, Arrival arrival);
  // Forgets stream: a stop no longer reaches it. False when the lock could not be had.
  bool end(const SoundStream& stream);
  // Sets the stop flag of every running pass's stream; nothing when no pass runs. kOk, or
  // kCannotOpen when the lock could not be had.
  int32_t stop();

 private:
  TimedLock lock_;
  std::vector<SoundStream*> running_;
  std::atomic<uint64_t> stops_{0};  // stops made so far; changed under the lock
  const std::chrono::milliseconds lockWait_;
};

}  // namespace kv
