#pragma once

#include "platform/audio/Clock.h"
#include "platform/audio/FrameSource.h"
#include "platform/audio/InputDevice.h"

#include "platform/audio/src/Pace.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace lentaro::audio {

// A null card's input with a source: the source's sound becomes due at the pace of the input's
// format, counted from start(), and read() hands over what is due. Nothing is lost while the
// reader is away; what was due when the capture stopped stays readable. Frames count as captured
// once they are read. After the source ends the input captures nothing more.
class NullSourceInput final : public InputDevice {
 public:
  NullSourceInput(const Format& format, double speed, std::shared_ptr<Clock> clock,
                  std::shared_ptr<FrameSource> source);
  ~NullSourceInput() override;

  const Format& format() const override { return format_; }
  std::string name() const override { return "Null input"; }
  Error start() override;
  Error stop() override;
  std::size_t read(void* dest, std::size_t maxBytes, std::chrono::milliseconds timeout) override;
  std::uint64_t framesCaptured() const override;
  std::uint64_t framesDropped() const override { return 0; }
  Error close() override;

 private:
  std::uint64_t dueAt(Clock::Duration now) const;
  void endCapture();
  void stir();

  const Format format_;
  const Pace pace_;
  const std::shared_ptr<Clock> clock_;
  const std::shared_ptr<FrameSource> source_;

  mutable std::mutex mutex_;
  bool closed_ = false;
  bool capturing_ = false;
  bool sourceEnded_ = false;
  Clock::Duration started_{0};
  std::uint64_t captured_ = 0;
  std::uint64_t limit_ = 0;  // frames readable after the capture stopped
  std::atomic<std::uint64_t> generation_{0};
};

}  // namespace lentaro::audio
