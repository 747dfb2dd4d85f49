#pragma once

#include "platform/audio/Clock.h"
#include "platform/audio/FrameSink.h"
#include "platform/audio/OutputDevice.h"

#include "platform/audio/src/LoopbackBus.h"
#include "platform/audio/src/Pace.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace lentaro::audio {

// A null card's output: a thread of its own takes the queued frames as fast as the pace allows
// and hands them to the sink and to the loopback inputs.
class NullOutputDevice final : public OutputDevice {
 public:
  NullOutputDevice(const Format& format, double speed, std::shared_ptr<Clock> clock, std::shared_ptr<FrameSink> sink,
                   std::shared_ptr<LoopbackBus> loopback);
  ~NullOutputDevice() override;

  std::string name() const override { return "Null output"; }
  Error reset() override;
  Error close() override;

 private:
  void queued() override;
  void play();
  void startPacing(Clock::Duration now);
  void stir();

  const Pace pace_;
  const std::size_t granule_;  // frames the thread lets gather before it wakes
  const std::shared_ptr<Clock> clock_;
  const std::shared_ptr<FrameSink> sink_;
  const std::shared_ptr<LoopbackBus> loopback_;

  // Held while frames are taken and handed on, so a reset or close never cuts a piece in half.
  std::mutex playMutex_;
  bool closed_ = false;
  bool pacing_ = false;  // the pacing start below is set; off whenever the queue runs dry
  Clock::Duration pacingStart_{0};
  std::uint64_t pacingStartFrame_ = 0;
  std::uint64_t streamFrame_ = 0;  // frames handed on so far

  std::atomic<std::uint64_t> generation_{0};  // changes whenever the thread should look again
  std::thread player_;
};

}  // namespace lentaro::audio
