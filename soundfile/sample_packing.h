#pragma once
// The one table of stored sample layouts: every conversion between 32-bit engine samples and a
// stored form (memory streams, file data, playback blocks) goes through it, so they all agree.

#include <cstddef>
#include <cstdint>

namespace kv {

struct SamplePacking {
  int bytes;  // stored bytes per sample
  // A run of samples at a time, so that one call converts a whole block.
  void (*pack)(const int32_t* samples, uint8_t* stored, std::size_t count);
  void (*unpack)(const uint8_t* stored, int32_t* samples, std::size_t count);
};

// The layout for a size code and encoding (an unset encoding means unsigned at 1 byte, signed
// otherwise), most significant byte first when bigEndian; null when that combination stores nothing.
const SamplePacking* findSamplePacking(int sizeCode, int encoding, bool bigEndian);

void packSamples(const SamplePacking& packing, const int32_t* samples, uint8_t* stored, std::size_t count);
void unpackSamples(const SamplePacking& packing, const uint8_t* stored, int32_t* samples, std::size_t count);

}  // namespace kv
