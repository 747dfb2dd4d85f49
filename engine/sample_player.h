#pragma once
// Where a pass's output goes to be heard while it is computed. The vocoder only talks to this
// interface; the library that runs passes for the program supplies one over the sound device.

#include <cstdint>

#include "soundfile/sound_stream.h"

namespace kv {

class SamplePlayer {
 public:
  virtual ~SamplePlayer() = default;

  // Before the first sample: prepares to play mono samples at the input's rate and sample size.
  virtual int32_t open(const SoundStream& input) = 0;
  // Every output sample in order. kOk, or the code that ended playback.
  virtual int32_t feed(int32_t sample) = 0;
  // After the last sample of a pass that ran to its end: returns once everything has been
  // heard, with kEndOfFile.
  virtual int32_t drain() = 0;
  // Instead of drain() when the pass was stopped or failed: cuts the sound at once.
  virtual int32_t stop() = 0;
};

}  // namespace kv
