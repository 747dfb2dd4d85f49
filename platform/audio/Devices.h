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
// Any other value of LENTARO_AUDIO is set aside: the devices are PortAudio's, as if it were unset
// (unknownAudioChoice() says so). Under LENTARO_AUDIO=null, any other value of LENTARO_AUDIO_SPEED,
// a capture file that cannot be created or a source file that cannot be read makes every open and
// query fail with BadConfiguration.
Status queryOutput(const Format& format);
Status queryInput(const Format& format);
OpenResult<OutputDevice> openOutput(const Format& format);
OpenResult<InputDevice> openInput(const Format& format);

// Why LENTARO_AUDIO is not followed: BadConfiguration, naming its value, when it holds one we do
// not know; ok when it is unset, empty or "null".
Status unknownAudioChoice();

// Whether the sound libraries' own messages (ALSA's and JACK's, describing the cards and servers
// they look for while PortAudio starts) reach standard error: not unless asked. Takes effect when
// PortAudio starts, at the first use of its devices.
void showSoundSystemMessages(bool shown);

// The null sound card LENTARO_AUDIO=null selects, one per process (the engine library plays on
// it too), with the environment's capture and source files.
NullSoundCard& nullSoundCard();

}  // namespace lentaro::audio
