#pragma once
// Real-time playback of a pass's output: the vocoder hands every output sample to the feeder,
// which gathers them into blocks and queues the blocks on the sound device. Playback paces the
// pass: when no device buffer is free the feeder waits for one.

#include <chrono>
#include <cstdint>
#include <memory>

#include "soundfile/sound_stream.h"

namespace kv {

class PlaybackDevice;
struct SoundOutput;

class PlaybackFeeder {
 public:
  // How long a device that plays nothing is waited for before the pass gives up with
  // kHardwareError.
  static constexpr std::chrono::milliseconds kStallLimit{5000};

  // Plays on the sound output the environment selects (LENTARO_AUDIO).
  PlaybackFeeder();
  // Plays on the given output, giving up on a device that has played nothing for stallLimit.
  explicit PlaybackFeeder(const SoundOutput& output, std::chrono::milliseconds stallLimit = kStallLimit);
  ~PlaybackFeeder();  // resets and closes the device when still open
  PlaybackFeeder(const PlaybackFeeder&) = delete;
  PlaybackFeeder& operator=(const PlaybackFeeder&) = delete;

  // Opens the sound device for mono samples at the input's rate and sample size. The input's
  // stop flag is watched while the feeder waits for the device; the input must outlive the pass.
  // Result: kOk, or kBadCall (an encoding or format that cannot be played, no sound device),
  // kOutOfMemory, kFailure (the device refused otherwise), kFileError (it could not be opened).
  int32_t open(const SoundStream& input);

  // One output sample. kOk, or the code that ended playback. Samples are handed to the device in
  // blocks; when no device buffer is free the call waits for one. A stop seen while waiting cuts
  // the sound at once and closes the device: this call and later ones return kOk and play nothing.
  int32_t feed(int32_t sample);

  // End of a pass that was not stopped: hands over what is left, however little, waits until the
  // device has played everything, then closes it. kEndOfFile when it has (also when nothing was
  // ever fed); a stop ends the wait early with kOk (the sound is cut), a device error or stall
  // with its code.
  int32_t drain();

  // Cuts the sound at once (a stopped pass) and closes the device. Also what the destructor does.
  // kOk, or the code of a device that refused to reset or close.
  int32_t stop();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kv
