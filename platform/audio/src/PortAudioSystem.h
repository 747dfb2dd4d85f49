#pragma once

#include "platform/audio/Error.h"
#include "platform/audio/Format.h"

#include <portaudio.h>

#include <memory>
#include <mutex>
#include <string>

namespace lentaro::audio {

// PortAudio, initialised once per process and terminated when its last user lets go (at exit at
// the earliest).
class PortAudioSystem {
 public:
  // The initialised library, or none with the reason; the same answer every time.
  static std::shared_ptr<PortAudioSystem> acquire(Status& status);

  PortAudioSystem(const PortAudioSystem&) = delete;
  PortAudioSystem& operator=(const PortAudioSystem&) = delete;
  ~PortAudioSystem();

  // Held around every call that opens, starts, stops or closes a stream and around format
  // queries: PortAudio does not promise to run them concurrently.
  std::mutex& mutex() { return mutex_; }

 private:
  PortAudioSystem() = default;

  std::mutex mutex_;
};

// A PortAudio error as one of ours, with PortAudio's words (and the host's, when it has some).
Status statusOf(PaError error, const std::string& doing);

// The stream parameters for the default output (or input) device and the format, with the
// device's name; NoDevice when there is no such device.
Status defaultDeviceParameters(const Format& format, bool output, PaStreamParameters& parameters,
                               std::string& deviceName);

// Whether the default output (or input) device takes the format; NoDevice when there is none.
Status queryDefaultDevice(const Format& format, bool output);

}  // namespace lentaro::audio
