#pragma once

#include "platform/audio/Format.h"

#include "soundfile/sample_format.h"
#include "soundfile/sample_packing.h"

namespace lentaro::audio {

// How the engine's 32-bit samples are stored in frames of a device format (valid formats only).
const kv::SamplePacking& enginePacking(const Format& format);

// The sample format a wave file keeps frames of a device format in: the same, except that 32-bit
// PCM is kept as 24-bit and mu-law and A-law sound decoded, as 16-bit PCM (re-encoding it would
// not give back the same codes).
kv::SampleFormat waveSampleFormat(const Format& format);

}  // namespace lentaro::audio
