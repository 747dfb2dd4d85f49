#pragma once

// How long a runner test waits for anything. Only to catch a runner or an engine
// that hangs: nothing waits this long when all is well. A wait that runs out
// throws, which fails the test that waited, with the text, instead of holding up
// the suite until ctest's own limit.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>

constexpr std::chrono::seconds kHangLimit{60};

// Waits on changed until done() holds.
template <typename Done>
void waitOrThrow(std::condition_variable& changed, std::unique_lock<std::mutex>& lock, Done done,
                 const std::string& what) {
  if (!changed.wait_for(lock, kHangLimit, done))
    throw std::runtime_error(what + ": still waiting after the hang limit");
}
