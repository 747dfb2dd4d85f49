#pragma once

#include "platform/shell/service.h"

#include <chrono>

namespace lentaro::registry {

// The time the store's lock waits go by. A test puts a clock in place whose sleeps pass at
// once, so that a wait for a lock held elsewhere reaches its deadline without the seconds going
// by.
class WaitClock
{
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Duration = std::chrono::steady_clock::duration;

    virtual ~WaitClock() = default;
    virtual TimePoint now() = 0;
    virtual void sleepFor(Duration duration) = 0;
};

// The machine's monotonic time.
class SteadyWaitClock final : public WaitClock
{
public:
    TimePoint now() override;
    void sleepFor(Duration duration) override;
};

extern Service<WaitClock> waitClock;

} // namespace lentaro::registry
