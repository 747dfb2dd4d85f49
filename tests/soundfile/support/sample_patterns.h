#pragma once
// Sample patterns for writing tests, and what they become once stored and read back.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "soundfile/sound_stream.h"

namespace kvtest {

// Full-scale samples whose low bytes all differ, so a lost or misplaced byte shows.
inline std::vector<int32_t> sineLikeSamples(int count) {
  std::vector<int32_t> samples(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) samples[static_cast<std::size_t>(i)] = (i % 64 - 32) * 0x03FFFFFF + i * 4099;
  return samples;
}

// What a sample becomes when stored in that many bytes and read back.
inline int32_t quantised(int32_t sample, int sampleBytes) {
  const int drop = 32 - 8 * sampleBytes;
  return static_cast<int32_t>(static_cast<uint32_t>(sample >> drop) << drop);
}

// Every sample the stream still holds.
inline std::vector<int32_t> readAllSamples(kv::SoundStream& stream) {
  std::vector<int32_t> samples(static_cast<std::size_t>(stream.length()) + 8);
  int64_t got = 0;
  stream.read(samples.data(), static_cast<int64_t>(samples.size()), got);
  samples.resize(static_cast<std::size_t>(got));
  return samples;
}

}  // namespace kvtest
