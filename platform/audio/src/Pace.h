#pragma once

#include "platform/audio/Clock.h"

#include <cstdint>

namespace lentaro::audio {

// Turns time into frames and back for a null device running `speed` times faster than its
// sample rate; speed 0 is not paced at all.
class Pace {
 public:
  Pace(int sampleRate, double speed);

  bool paced() const { return framesPerNanosecond_ > 0; }
  // Frames due once `elapsed` has passed, rounded down.
  std::uint64_t framesIn(Clock::Duration elapsed) const;
  // The time after which `frames` are due, rounded up.
  Clock::Duration timeFor(std::uint64_t frames) const;

 private:
  long double framesPerNanosecond_;
};

}  // namespace lentaro::audio
