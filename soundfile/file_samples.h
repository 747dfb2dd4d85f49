#pragma once
// Sample read and write shared by the file formats that store plain interleaved samples.

#include <cstdint>

#include "soundfile/stream_state.h"

namespace kv {

// Reads from the current sample up to the stream's length or the end of the file.
int32_t readFileSamples(StreamState& stream, int32_t* samples, int64_t count, int64_t& delivered);
// The same, keeping only the first of every step samples; only those are converted.
int32_t readEveryFileSample(StreamState& stream, int32_t* samples, int64_t count, int64_t step, int64_t& delivered);
// Writes at the current sample; the length grows to cover it. A short write is reported (kFileError)
// and only the whole samples that reached the file are counted.
int32_t writeFileSamples(StreamState& stream, const int32_t* samples, int64_t count);

}  // namespace kv
