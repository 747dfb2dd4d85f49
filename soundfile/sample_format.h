#pragma once
// How a stream stores its samples. Whatever the stored form, streams read and write 32-bit
// signed full-scale samples.

#include <cstdint>

namespace kv {

constexpr int32_t kUnset = -1;

// Encodings.
constexpr int32_t kEncodingUnsigned = 1;
constexpr int32_t kEncodingSigned = 2;  // two's complement
constexpr int32_t kEncodingMuLaw = 3;
constexpr int32_t kEncodingALaw = 4;

// Size codes: bytes per sample 1 to 4 (3 is 24-bit), plus 32-bit float samples of IRCAM files.
constexpr int16_t kSizeFloat32 = 5;

struct SampleFormat {
  float sampleRate = 0.0f;          // samples per second
  int16_t bytesPerSample = kUnset;  // size code
  int32_t encoding = kUnset;
  int32_t channels = kUnset;

  // The format setter: sizes outside 1..4 become unset, only the signed encoding is kept (any
  // other leaves the handler's default), and channel counts other than 1, 2 and 4 become unset.
  static SampleFormat make(float sampleRate, int bytesPerSample, int encoding, int channels);
};

// Bytes one stored sample occupies for a size code; 0 for a code that stores nothing.
int storedSampleBytes(int sizeCode);

// Channel counts a sound file may have: 1, 2 and 4, those the engine plays and mixes. A header
// stating another count is malformed, and no file of another count is written.
bool usableChannelCount(int64_t channels);

// The bytes per sample that hold a format's samples as linear PCM without loss: companded 8-bit
// samples decode to 16 bits, every other format keeps its size.
int linearSampleBytes(const SampleFormat& format);

}  // namespace kv
