#include "platform/audio/src/Pace.h"

#include <algorithm>
#include <cmath>

namespace lentaro::audio {

namespace {

// Far beyond any real run, and small enough that adding a clock reading never overflows.
constexpr long double farFrames = 1e18L;
constexpr long double farTime = static_cast<long double>(Clock::never().count() / 4);

}  // namespace

Pace::Pace(int sampleRate, double speed) : framesPerNanosecond_(static_cast<long double>(sampleRate) * speed / 1e9L) {}

std::uint64_t Pace::framesIn(Clock::Duration elapsed) const {
  if (elapsed.count() <= 0) return 0;
  return static_cast<std::uint64_t>(std::min(std::floor(elapsed.count() * framesPerNanosecond_), farFrames));
}

Clock::Duration Pace::timeFor(std::uint64_t frames) const {
  return Clock::Duration(
      static_cast<Clock::Duration::rep>(std::min(std::ceil(frames / framesPerNanosecond_), farTime)));
}

}  // namespace lentaro::audio
