#pragma once
// A mutex whose every wait is limited, for std::unique_lock<TimedLock>(lock, wait). It does what
// std::timed_mutex does (a wait measured on the monotonic clock), except that a ThreadSanitizer
// build waits with pthread_mutex_timedlock: the sanitizer does not see pthread_mutex_clocklock,
// which std::timed_mutex uses, and then takes every hand-over through the lock for a race.

#include <pthread.h>

#include <chrono>

namespace kv {

class TimedLock {
 public:
  TimedLock() = default;
  TimedLock(const TimedLock&) = delete;
  TimedLock& operator=(const TimedLock&) = delete;
  ~TimedLock() { pthread_mutex_destroy(&mutex_); }

  // Takes the lock, waiting at most wait for it; false when it stayed taken.
  bool try_lock_for(std::chrono::nanoseconds wait);
  void unlock() { pthread_mutex_unlock(&mutex_); }

 private:
  pthread_mutex_t mutex_ = PTHREAD_MUTEX_INITIALIZER;
};

}  // namespace kv
