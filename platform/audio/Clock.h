#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace lentaro::audio {

// The time a null device plays and records by. Tests drive a ManualClock so that nothing depends
// on how fast the machine is.
class Clock {
 public:
  using Duration = std::chrono::nanoseconds;
  static constexpr Duration never() { return Duration::max(); }

  virtual ~Clock() = default;

  virtual Duration now() const = 0;
  // Returns once now() has reached `deadline` or `interrupted()` is true. The predicate is
  // checked under the clock's lock, which wake() takes too: a change made before wake() is
  // never missed.
  void waitUntil(Duration deadline, const std::function<bool()>& interrupted);
  // Makes every waiter look at its predicate again.
  void wake();

 protected:
  // Waits on `ready_` for at most until `deadline`; spurious returns are fine.
  virtual void sleep(std::unique_lock<std::mutex>& lock, Duration deadline) = 0;

  mutable std::mutex mutex_;
  std::condition_variable ready_;
};

// The machine's monotonic time.
class SteadyClock final : public Clock {
 public:
  Duration now() const override;

 protected:
  void sleep(std::unique_lock<std::mutex>& lock, Duration deadline) override;
};

// Time that moves only when told to; starts at 0.
class ManualClock final : public Clock {
 public:
  Duration now() const override;
  void advance(Duration by);

 protected:
  void sleep(std::unique_lock<std::mutex>& lock, Duration deadline) override;

 private:
  std::atomic<Duration::rep> now_{0};
};

}  // namespace lentaro::audio
