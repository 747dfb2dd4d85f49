#include "engine/sound_output.h"

#include "platform/audio/Devices.h"

namespace kv {

namespace audio = lentaro::audio;

SoundOutput SoundOutput::configured() {
  return {[](const audio::Format& format) { return audio::queryOutput(format); },
          [](const audio::Format& format) { return audio::openOutput(format); }};
}

SoundOutput SoundOutput::of(audio::NullSoundCard& card) {
  return {[&card](const audio::Format& format) { return card.queryOutput(format); },
          [&card](const audio::Format& format) { return card.openOutput(format); }};
}

}  // namespace kv
