#pragma once
// Sample read and write of memory streams.

#include <cstdint>

#include "soundfile/stream_state.h"

namespace kv {

// From the read position up to the length.
int32_t readMemorySamples(StreamState& stream, int32_t* samples, int64_t count, int64_t& delivered);
// Appends at the length; the stream's own buffer grows, a caller's buffer takes nothing beyond its size.
int32_t writeMemorySamples(StreamState& stream, const int32_t* samples, int64_t count);

}  // namespace kv
