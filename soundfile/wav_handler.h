#pragma once
// RIFF WAVE files: 8-bit unsigned, 16- and 24-bit signed PCM, 8-bit mu-law and A-law, each also
// under the extensible format block that names its format by a sub-format GUID.

#include <cstdint>

#include "soundfile/stream_state.h"

namespace kv {

// The data size of a header whose writing was never finished; such a file holds what it holds.
constexpr uint32_t kWavProvisionalDataSize = 0x7FFFFFDB;

int32_t wavStartRead(StreamState& stream);
int32_t wavPrepareWrite(SampleFormat& format);
int32_t wavStartWrite(StreamState& stream);
int32_t wavStopWrite(StreamState& stream);

}  // namespace kv
