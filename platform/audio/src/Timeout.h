#pragma once

#include <algorithm>
#include <chrono>

namespace lentaro::audio {

// Waits are cut to a day at most (and to nothing when negative), so no deadline overflows.
inline std::chrono::milliseconds boundedTimeout(std::chrono::milliseconds timeout) {
  return std::clamp<std::chrono::milliseconds>(timeout, std::chrono::milliseconds(0), std::chrono::hours(24));
}

}  // namespace lentaro::audio
