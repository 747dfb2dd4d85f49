#pragma once

#include <cstdint>

namespace lentaro::cd {

// A frame's logical sector number: 0 is the first frame after the lead-in.
using Lsn = std::int32_t;

constexpr int framesPerSecond = 75;
constexpr int bytesPerFrame = 2352;  // 16-bit little-endian stereo samples
constexpr int samplesPerFrame = 588; // stereo sample pairs in a frame
constexpr int leadInFrames = 150;    // before LSN 0 on the disc's absolute time scale
constexpr int sampleRate = 44100;

// The CD device's milliseconds of a frame: counted from the disc's absolute start, lead-in
// included, so LSN 0 is 2000 ms.
std::int64_t msAtLsn(Lsn lsn);

// The sample (pair), counted from LSN 0, that plays at ms on that scale: floor(ms × 44.1) less
// the lead-in's samples. Negative before LSN 0.
std::int64_t sampleAtMs(std::int64_t ms);

} // namespace lentaro::cd
