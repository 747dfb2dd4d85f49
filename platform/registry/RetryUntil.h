#pragma once

#include <algorithm>
#include <chrono>
#include <thread>

namespace lentaro::registry {

// What one attempt at a lock came to.
enum class Attempt { Taken, Busy, Failed };

// Tries again at growing intervals (1 ms, doubling up to 50 ms) while the attempt finds the lock
// busy, until the deadline. For locks that cannot wait with a time limit themselves (flock), and
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
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return Attempt::Busy;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

} // namespace lentaro::registry
