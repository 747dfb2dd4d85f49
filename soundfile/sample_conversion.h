#pragma once
// Turning engine samples into a stream's stored form, for playback blocks.

#include <cstdint>

#include "soundfile/sound_stream.h"

namespace kv {

// Writes count samples into destination (room for count stored samples) in the stream's format.
// playedAs16Bit stores 24-bit formats as 16-bit samples, the form the sound card is given.
// A format that stores nothing leaves kInternalError in the stream and returns it.
int32_t convertBlock(SoundStream& stream, const int32_t* samples, void* destination, int64_t count, bool playedAs16Bit);

}  // namespace kv
