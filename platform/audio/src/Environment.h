#pragma once

#include "platform/audio/Error.h"
#include "platform/audio/FrameSink.h"
#include "platform/audio/FrameSource.h"

#include <memory>

namespace lentaro::audio {

enum class Backend { PortAudio, Null };

// The devices LENTARO_AUDIO asks for; BadConfiguration for a value we do not know, which leaves
// PortAudio's devices, as if it were unset.
Status backendFromEnvironment(Backend& backend);

// LENTARO_AUDIO_SPEED as a speed factor (0: as fast as possible); BadConfiguration, leaving
// `speed` alone, for a value that is none.
Status speedFromEnvironment(double& speed);

// The wave file LENTARO_AUDIO_CAPTURE names, created now as the null card's sink; none when the
// variable is unset or empty. BadConfiguration, leaving `sink` alone, when it cannot be created.
Status captureFromEnvironment(std::shared_ptr<FrameSink>& sink);

// The sound file LENTARO_AUDIO_SOURCE names, as the null card's source; none when the variable
// is unset or empty. BadConfiguration, leaving `source` alone, when it cannot be read.
Status sourceFromEnvironment(std::shared_ptr<FrameSource>& source);

}  // namespace lentaro::audio
