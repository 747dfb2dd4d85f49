#pragma once
// AIFF files, and AIFC files whose samples are not compressed: big-endian chunks holding 8-, 16-
// or 24-bit signed samples. Files are written as AIFF.

#include <cstdint>

#include "soundfile/stream_state.h"

namespace kv {

// The handler name an AIFC file is read under.
constexpr const char* kAifcHandlerName = "aifc (uncompressed)";
constexpr int kAiffHeaderBytes = 54;  // FORM, COMM and SSND headers of a written file

int32_t aiffStartRead(StreamState& stream);
int32_t aiffPrepareWrite(SampleFormat& format);
int32_t aiffStartWrite(StreamState& stream);
int32_t aiffStopWrite(StreamState& stream);

}  // namespace kv
