#pragma once

#include "platform/audio/InputDevice.h"

#include "platform/audio/src/CaptureBuffer.h"
#include "platform/audio/src/PortAudioSystem.h"

#include <memory>
#include <mutex>

namespace lentaro::audio {

// The default PortAudio input. Its stream runs only while it captures.
class PortAudioInputDevice final : public InputDevice {
 public:
  static Status query(const Format& format);
  static OpenResult<InputDevice> open(const Format& format);
  ~PortAudioInputDevice() override;

  const Format& format() const override { return format_; }
  std::string name() const override { return name_; }
  Error start() override;
  Error stop() override;
  std::size_t read(void* dest, std::size_t maxBytes, std::chrono::milliseconds timeout) override;
  std::uint64_t framesCaptured() const override { return capture_.captured(); }
  std::uint64_t framesDropped() const override { return capture_.dropped(); }
  Error close() override;

 private:
  PortAudioInputDevice(const Format& format, std::shared_ptr<PortAudioSystem> system, std::string name);

  static int callback(const void* input, void* output, unsigned long frames, const PaStreamCallbackTimeInfo* time,
                      PaStreamCallbackFlags flags, void* self);

  const Format format_;
  const std::shared_ptr<PortAudioSystem> system_;
  const std::string name_;
  CaptureBuffer capture_;
  std::mutex controlMutex_;
  PaStream* stream_ = nullptr;
  bool running_ = false;
};

}  // namespace lentaro::audio
