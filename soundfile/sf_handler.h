#pragma once
// IRCAM soundfiles: a 1024-byte header, then interleaved 16-bit integer or 32-bit float samples,
// all little-endian. Only reached when a caller names the type: detection never yields it.

#include <cstdint>

#include "soundfile/stream_state.h"

namespace kv {

constexpr uint32_t kSfMagic = 107364;  // 0x0001A364
constexpr int kSfHeaderBytes = 1024;

int32_t sfStartRead(StreamState& stream);
int32_t sfPrepareWrite(SampleFormat& format);
int32_t sfStartWrite(StreamState& stream);

}  // namespace kv
