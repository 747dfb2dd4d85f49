#pragma once

#include "platform/shell/service.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace kv {

// The time the runner's waits for its passes go by. A test puts a clock in place whose waits pass
// at once, so that releasing the engine under a pass that never leaves it reaches its deadline
// without the seconds going by.
class WaitClock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  using Duration = std::chrono::steady_clock::duration;

  virtual ~WaitClock() = default;
  virtual TimePoint now() = 0;
  // Waits on `changed` with `lock` released until it is notified or `duration` has gone by.
  virtual void waitFor(std::condition_variable& changed, std::unique_lock<std::mutex>& lock, Duration duration) = 0;
};

// The machine's monotonic time.
class SteadyWaitClock final : public WaitClock {
 public:
  TimePoint now() override;
  void waitFor(std::condition_variable& changed, std::unique_lock<std::mutex>& lock, Duration duration) override;
};

extern lentaro::Service<WaitClock> waitClock;

// Waits on `changed` until `done` holds or `limit` has gone by on the wait clock; whether it holds.
template <typename Done>
bool waitUntilDone(std::condition_variable& changed, std::unique_lock<std::mutex>& lock, WaitClock::Duration limit,
                   Done done) {
  WaitClock& clock = waitClock();
  const WaitClock::TimePoint deadline = clock.now() + limit;
  while (!done()) {
    const WaitClock::TimePoint now = clock.now();
    if (now >= deadline) return false;
    clock.waitFor(changed, lock, deadline - now);
  }
  return true;
}

}  // namespace kv
