#pragma once
// au (.snd) files: six 32-bit header fields in either byte order, an annotation, then 8-bit
// mu-law, 8-, 16- or 24-bit linear samples, or G.721 / G.723 ADPCM codes. Written big-endian.

#include <cstdint>

#include "soundfile/stream_state.h"

namespace kv {

constexpr int kAuHeaderBytes = 24;
constexpr uint32_t kAuUnknownDataSize = 0xFFFFFFFF;  // the data runs to the end of the file

// Encoding field values.
constexpr uint32_t kAuMuLaw8 = 1;
constexpr uint32_t kAuLinear8 = 2;
constexpr uint32_t kAuLinear16 = 3;
constexpr uint32_t kAuLinear24 = 4;
constexpr uint32_t kAuG721 = 23;
constexpr uint32_t kAuG723_24 = 25;
constexpr uint32_t kAuG723_40 = 26;

int32_t auStartRead(StreamState& stream);
int32_t auRead(StreamState& stream, int32_t* samples, int64_t count, int64_t& delivered);
int32_t auSeek(StreamState& stream, int64_t sample);
int32_t auPrepareWrite(SampleFormat& format);
int32_t auStartWrite(StreamState& stream);
int32_t auStopWrite(StreamState& stream);

}  // namespace kv
