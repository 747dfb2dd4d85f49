#pragma once

#include "platform/audio/FrameConverter.h"
#include "platform/audio/InputDevice.h"

#include "platform/audio/src/CaptureBuffer.h"
#include "platform/audio/src/LoopbackBus.h"

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace lentaro::audio {

// A null card's input without a source: records what the card's outputs play while it captures,
// converted to its own format.
class NullLoopbackInput final : public InputDevice, private LoopbackListener {
 public:
  NullLoopbackInput(const Format& format, std::shared_ptr<LoopbackBus> loopback);
  ~NullLoopbackInput() override;

  const Format& format() const override { return format_; }
  std::string name() const override { return "Null input (loopback)"; }
  Error start() override;
  Error stop() override;
  std::size_t read(void* dest, std::size_t maxBytes, std::chrono::milliseconds timeout) override;
  std::uint64_t framesCaptured() const override { return capture_.captured(); }
  std::uint64_t framesDropped() const override { return capture_.dropped(); }
  Error close() override;

 private:
  void heard(const Format& format, const std::uint8_t* bytes, std::size_t byteCount) override;

  const Format format_;
  const std::shared_ptr<LoopbackBus> loopback_;
  CaptureBuffer capture_;
  std::mutex controlMutex_;
  bool closed_ = false;
  // Used only under the bus's lock, or while detached from it.
  std::optional<FrameConverter> converter_;
  Format heardFormat_;
  std::vector<std::uint8_t> converted_;
};

}  // namespace lentaro::audio
