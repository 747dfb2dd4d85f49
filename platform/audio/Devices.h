#pragma once

#include "platform/audio/Error.h"
#include "platform/audio/Format.h"
#include "platform/audio/InputDevice.h"
#include "platform/audio/NullSoundCard.h"
#include "platform/audio/OutputDevice.h"

namespace lentaro::audio {

// The program's sound devices, chosen by the environment:
// - LENTARO_AUDIO unset or empty: PortAudio's default output and input. Without a device these
//   calls fail with NoDevice; nothing pretends to play.
// - LENTARO_AUDIO=null: the process's null sound card (nullSoundCard()).
// - LENTARO_AUDIO_SPEED: how many times faster than real time the null card runs: a positive
//   number, or 0 or "max" for as fast as it can; unset or empty is real time. It is read when
//   the card is first used.
// - LENTARO_AUDIO_CAPTURE: a wave file the null card writes everything its outputs play into
//   (WaveFileSink); it is created when the card is first used.
// - LENTARO_AUDIO_SOURCE: a sound file the null card's inputs record instead of the card's own
//   output (WaveFileSource).
// Any other value of LENTARO_AUDIO or LENTARO_AUDIO_SPEED makes every open and query fail with
// BadConfiguration; so does, under LENTARO_AUDIO=null, a capture file that cannot be created or a
// source file that cannot be read.
Status queryOutput(const Format& format);
Status queryInput(const Format& format);
OpenResult<OutputDevice> openOutput(const Format& format);
OpenResult<InputDevice> openInput(const Format& format);

// The null sound card LENTARO_AUDIO=null selects, one per process (the engine library plays on
// it too), with the environment's capture and source files.
NullSoundCard& nullSoundCard();

}  // namespace lentaro::audio
