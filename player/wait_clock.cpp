#include "player/wait_clock.h"

namespace kv {

WaitClock::TimePoint SteadyWaitClock::now() { return std::chrono::steady_clock::now(); }

void SteadyWaitClock::waitFor(std::condition_variable& changed, std::unique_lock<std::mutex>& lock, Duration duration) {
  changed.wait_for(lock, duration);
}

lentaro::Service<WaitClock> waitClock{lentaro::madeAtFirstUse<SteadyWaitClock>};

}  // namespace kv
