#pragma once
// Where the engine's playback devices come from: the sound output the environment selects
// (PortAudio's default device, or the null card under LENTARO_AUDIO=null), or any other card a
// caller names, such as a test's own null card.

#include <functional>

#include "platform/audio/Error.h"
#include "platform/audio/Format.h"
#include "platform/audio/NullSoundCard.h"
#include "platform/audio/OutputDevice.h"

namespace kv {

struct SoundOutput {
  std::function<lentaro::audio::Status(const lentaro::audio::Format&)> query;
  std::function<lentaro::audio::OpenResult<lentaro::audio::OutputDevice>(const lentaro::audio::Format&)> open;

  // The program's sound output, as LENTARO_AUDIO chooses it.
  static SoundOutput configured();
  // The outputs of one card, which must outlive every device opened from it.
  static SoundOutput of(lentaro::audio::NullSoundCard& card);
};

}  // namespace kv
