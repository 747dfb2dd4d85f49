#pragma once
// One whole time- and pitch-scaling pass over a sound file: opens the input, scales it with the
// phase vocoder, plays the result and/or writes it to a mono file of the input's type and sample
// size (16-bit linear for mu-law and A-law input), and keeps the pass stoppable from another
// thread while it runs.

#include <cstdint>

#include "engine/pass_control.h"
#include "engine/sample_player.h"

namespace kv {

struct TimeScaleJob {
  const char* inputPath = nullptr;
  double pitchFactor = 1.0;
  double timeFactor = 1.0;
  int fftSize = 1024;
  int windowMode = 1;
  const char* outputPath = nullptr;  // none: the result is only played, or computed and dropped
  // For a two-channel input 1 or 2 takes that channel of each frame in file order (1 is a WAV
  // file's left); anything else, and any input with another channel count, mixes.
  int channelChoice = 0;
};

// Runs the pass on the caller's thread; control.stop() on another thread ends it at its next hop.
// arrival is what control.arrive() gave as the pass's call began: a stop made after it ends the
// pass at its first hop, though it came before the input was open. player, when given, hears the
// result as it is computed.
//
// Result: kCannotOpen when the input cannot be opened or read as sound, the output cannot be
// created (or names the input itself) or the engine lock cannot be had; kBadCall for factors,
// sizes or window modes no pass can run with, before the output is touched; otherwise the
// vocoder's result (see runVocoder), or kFileError when the output's header could not be
// completed. The output holds what was written, with a matching header, on every way out.
int32_t timeScale(const TimeScaleJob& job, PassControl& control, PassControl::Arrival arrival, SamplePlayer* player);

}  // namespace kv
