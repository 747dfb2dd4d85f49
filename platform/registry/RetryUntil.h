#pragma once

#include "platform/registry/WaitClock.h"

#include <algorithm>
#include <chrono>

namespace lentaro::registry {

// What one attempt at a lock came to.
enum class Attempt { Taken, Busy, Failed };

// Tries again at growing intervals (1 ms, doubling up to 50 ms) while the attempt finds the lock
// busy, until the deadline of the store's wait clock. For locks that cannot wait with a time limit themselves (flock), and
// for the store's mutex, whose timed wait a thread checker cannot see. Busy means the deadline
// passed.
template <typename TryOnce>
Attempt retryUntil(std::chrono::steady_clock::time_point deadline, TryOnce tryOnce)
{
    std::chrono::milliseconds pause(1);
    for (;;) {
        const Attempt attempt = tryOnce();
        if (attempt != Attempt::Busy)
            return attempt;
        const auto now = waitClock().now();
        if (now >= deadline)
            return Attempt::Busy;
        waitClock().sleepFor(std::min<WaitClock::Duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

} // namespace lentaro::registry
