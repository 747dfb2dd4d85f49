#include "platform/registry/WaitClock.h"

#include <thread>

namespace lentaro::registry {

WaitClock::TimePoint SteadyWaitClock::now()
{
    return std::chrono::steady_clock::now();
}

void SteadyWaitClock::sleepFor(Duration duration)
{
    std::this_thread::sleep_for(duration);
}

Service<WaitClock> waitClock{madeAtFirstUse<SteadyWaitClock>};

} // namespace lentaro::registry
