#pragma once
// Checks shared by the routines that copy one stream into another.

#include <cstdint>

#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"

namespace kv {

// Whether in can be read and out written, and they are two streams. Empty requests probe the
// streams' kinds without moving either.
inline bool readableIntoWritable(SoundStream& in, SoundStream& out) {
  int32_t probe = 0;
  int64_t got = 0;
  return &in != &out && in.read(&probe, 0, got) == kOk && out.write(&probe, 0) == kOk;
}

}  // namespace kv
