#pragma once

#include "platform/registry/WaitClock.h"

#include <atomic>

namespace lentaro::test {

// The store's wait clock for a test that holds a lock elsewhere: each sleep moves the time on at
// once, so the wait reaches its deadline, and says so, without the seconds going by.
class SkippingWaitClock final : public registry::WaitClock
{
public:
    TimePoint now() override { return start_ + Duration(skipped_.load()); }
    void sleepFor(Duration duration) override { skipped_ += duration.count(); }

private:
    const TimePoint start_ = std::chrono::steady_clock::now();
    std::atomic<Duration::rep> skipped_{0};
};

} // namespace lentaro::test
