#pragma once
// The phase vocoder: changes the duration of a sound (time factor) and its pitch (pitch factor)
// independently. It reduces each input frame to one sample, analyses overlapping windowed blocks
// with a real FFT, turns every bin into magnitude and phase advance, resynthesises the blocks with
// a different hop and length, overlap-adds them, and hands each finished sample to the output
// stream and the player.

#include <cstdint>
#include <memory>

#include "engine/sample_player.h"
#include "soundfile/sound_stream.h"

namespace kv {

struct VocoderSettings {
  double pitchFactor = 1.0;  // frequency ratio: 2 raises an octave
  double timeFactor = 1.0;   // duration ratio: 2 plays at half speed
  int fftSize = 1024;        // analysis transform length
  int windowMode = 1;        // analysis window of 4N, 2N, N or N/2 samples for modes 0 to 3
  int channelChoice = 0;     // 0 mixes a frame's channels, n takes its n-th sample
};

// Runs one pass over input, to its end or until its stop flag is set (looked at once per hop).
// output, when given, must be a mono write stream; the caller closes it, which completes its
// header. player, when given, hears every output sample; a pass that ran to its end drains it,
// any other ends by stopping it.
//
// A pass that ran to its end produces round(T/P × frames read) + 1 samples, T and P being the
// time and pitch factors the sizes allow (see VocoderSizes).
//
// Result: kBadCall before any work for settings no pass can run with or an output that is not
// mono; kOutOfMemory; otherwise that of the pass's last read, write or hand-over: kOk after a
// write, kEndOfFile when its last action was the read that found the end of the input or a
// completed drain, or the code of the read, write or hand-over that failed.
int32_t runVocoder(SoundStream& input, SoundStream* output, SamplePlayer* player, const VocoderSettings& settings);

class PhaseVocoder;

// runVocoder in two steps, so that a caller can take all of a pass's memory before it opens (and
// so replaces) the output file: a pass that cannot have its memory then leaves that file as it was.
class VocoderPass {
 public:
  VocoderPass();
  ~VocoderPass();
  VocoderPass(const VocoderPass&) = delete;
  VocoderPass& operator=(const VocoderPass&) = delete;

  // kBadCall for settings no pass can run with, kOutOfMemory, or kOk with the pass ready to run.
  int32_t prepare(SoundStream& input, const VocoderSettings& settings);
  // The prepared pass over output and player, with runVocoder's result; kBadCall when not prepared.
  int32_t run(SoundStream* output, SamplePlayer* player);

 private:
  std::unique_ptr<PhaseVocoder> vocoder_;
};

}  // namespace kv
