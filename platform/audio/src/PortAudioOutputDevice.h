#pragma once

#include "platform/audio/OutputDevice.h"

#include "platform/audio/src/PortAudioSystem.h"

#include <array>
#include <memory>
#include <mutex>

namespace lentaro::audio {

// The default PortAudio output. Its stream runs from open to close, playing silence while no
// buffer waits; a buffer is done once the stream's output latency has passed after its last frame.
class PortAudioOutputDevice final : public OutputDevice {
 public:
  static Status query(const Format& format);
  static OpenResult<OutputDevice> open(const Format& format);
  ~PortAudioOutputDevice() override;

  std::string name() const override { return name_; }
  Error reset() override;
  Error close() override;

 private:
  PortAudioOutputDevice(const Format& format, std::shared_ptr<PortAudioSystem> system, std::string name);

  static int callback(const void* input, void* output, unsigned long frames, const PaStreamCallbackTimeInfo* time,
                      PaStreamCallbackFlags flags, void* self);
  void fill(std::uint8_t* out, std::size_t frames);
  std::size_t takeExpanded(std::uint8_t* out, std::size_t frames);

  const std::shared_ptr<PortAudioSystem> system_;
  const std::string name_;
  std::mutex controlMutex_;
  PaStream* stream_ = nullptr;
  // Used by the stream's callback only, once open() has set them and started the stream.
  std::uint64_t streamFrame_ = 0;
  std::uint64_t latencyFrames_ = 0;
  std::array<std::uint8_t, 4096> codes_{};  // G.711 codes on their way to being expanded
};

}  // namespace lentaro::audio
