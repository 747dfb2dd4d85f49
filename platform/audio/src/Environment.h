#pragma once

#include "lentaro/audio/Error.h"

namespace lentaro::audio {

enum class Backend { PortAudio, Null };

// The devices LENTARO_AUDIO asks for; BadConfiguration for a value we do not know.
Status backendFromEnvironment(Backend& backend);

// LENTARO_AUDIO_SPEED as a speed factor (0: as fast as possible); BadConfiguration, leaving
// `speed` alone, for a value that is none.
Status speedFromEnvironment(double& speed);

}  // namespace lentaro::audio
