#include "engine/timed_lock.h"

#include <time.h>

#include <algorithm>

#include "engine/thread_sanitizer.h"

namespace kv {
namespace {

// The moment wait from now on clock.
timespec deadlineOn(clockid_t clock, std::chrono::nanoseconds wait) {
  constexpr long kNanosecondsPerSecond = 1000000000;
  timespec now{};
  clock_gettime(clock, &now);
  const long long nanoseconds = now.tv_nsec + std::max(wait, std::chrono::nanoseconds::zero()).count();
  return {now.tv_sec + static_cast<time_t>(nanoseconds / kNanosecondsPerSecond),
          static_cast<long>(nanoseconds % kNanosecondsPerSecond)};
}

}  // namespace

bool TimedLock::try_lock_for(std::chrono::nanoseconds wait) {
#if defined(KV_THREAD_SANITIZER)
  // The deadline is on the wall clock, so setting the clock during a wait lengthens or shortens
  // that wait; acceptable in a sanitizer build, which only tests run.
  const timespec deadline = deadlineOn(CLOCK_REALTIME, wait);
  return pthread_mutex_timedlock(&mutex_, &deadline) == 0;
#else
  const timespec deadline = deadlineOn(CLOCK_MONOTONIC, wait);
  return pthread_mutex_clocklock(&mutex_, CLOCK_MONOTONIC, &deadline) == 0;
#endif
}

}  // namespace kv
