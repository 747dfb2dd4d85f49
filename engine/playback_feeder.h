#pragma once
// Real-time playback of a pass's output: the vocoder hands every output sample to the feeder,
// which gathers them into blocks and queues the blocks on the sound device. Playback paces the
// pass: when no device buffer is free the feeder waits for one.

#include <cstdint>
#include <memory>

#include "engine/sound_stream.h"

namespace kv {

class PlaybackDevice;

class PlaybackFeeder {
 public:
  PlaybackFeeder();
  ~PlaybackFeeder();  // resets and closes the device when still open
  PlaybackFeeder(const PlaybackFeeder&) = delete;
  PlaybackFeeder& operator=(const PlaybackFeeder&) = delete;

  // Opens the sound device for mono samples at the input's rate and sample size. The input's
  // stop flag is watched while the feeder waits for the device. Result: kOk or an engine code.
  int32_t open(const SoundStream& input);

  // One output sample. kOk, or the code that ended playback.
  int32_t feed(int32_t sample);

  // End of a pass that was not stopped: hands over what is left and waits until the device has
  // played everything. kEndOfFile when it has; a stop or device error ends the wait early.
  int32_t drain();

  // Cuts the sound at once (a stopped pass) and closes the device. Also what the destructor does.
  int32_t stop();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kv
