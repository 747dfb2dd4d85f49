#pragma once
// Copies one sound stream into another of the same or another channel count, resampling when
// their sample rates differ. The file-to-file export makes its mono working file with it.
//
//   auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(in->sampleRate(), 2, kv::kEncodingSigned, 1),
//                                         path, in->typeFound());
//   int32_t result = kv::convertChannels(*in, *out);   // out's header is complete afterwards

#include <cstdint>

#include "soundfile/sound_stream.h"

namespace kv {

// Reads the whole of in from its start and appends it to out:
// - rates differ: through the sample-rate converter at unity length factor, cutoff and gain;
// - channel counts equal: sample for sample;
// - stereo to mono: the average of each frame's two 16-bit halves, rounded down, in the upper
//   16 bits (the lower 16 bits of the input are dropped);
// - mono to stereo: each sample to both channels;
// - any other pair: kBadCall.
// Then completes out's header when out is a file. Returns kOk, kEndOfFile when the input held
// fewer samples than its length (all of its whole frames are written), kBadCall (also for an input
// that cannot be read, an output that cannot be written, or one stream passed as both), the code
// of the first failed read or write, or that of completing the header.
int32_t convertChannels(SoundStream& in, SoundStream& out);

}  // namespace kv
