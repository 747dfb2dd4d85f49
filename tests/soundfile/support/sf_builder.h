#pragma once
// Builds IRCAM sf headers byte by byte.

#include <cstdint>
#include <cstring>

#include "soundfile/sf_handler.h"
#include "tests/soundfile/support/riff_builder.h"

namespace kvtest {

inline uint32_t floatBits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// The 1024-byte header: magic, rate, channels and packing, then zeros.
inline Bytes sfHeader(uint32_t magic, float rate, uint32_t channels, uint32_t packing) {
  Bytes header;
  appendLE32(header, magic);
  appendLE32(header, floatBits(rate));
  appendLE32(header, channels);
  appendLE32(header, packing);
  header.resize(kv::kSfHeaderBytes, 0);
  return header;
}

}  // namespace kvtest
