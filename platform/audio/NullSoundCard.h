#pragma once

#include "platform/audio/Clock.h"
#include "platform/audio/Error.h"
#include "platform/audio/FrameSink.h"
#include "platform/audio/FrameSource.h"
#include "platform/audio/InputDevice.h"
#include "platform/audio/OutputDevice.h"

#include <memory>
#include <mutex>

namespace lentaro::audio {

class LoopbackBus;

// A sound card that needs no hardware. Its outputs take buffers at the rate their format gives
// (or `speed` times faster; speed 0 takes them as fast as they come) and hand what they play to
// the sink. Its inputs record the source, paced the same way, or without a source whatever the
// card's outputs play while the input captures (loopback; converted to the input's format).
class NullSoundCard {
 public:
  static constexpr double unpaced = 0;

  explicit NullSoundCard(double speed = 1, std::shared_ptr<Clock> clock = nullptr);

  // Outputs opened from now on hand what they play to `sink` (none: to nobody).
  void setSink(std::shared_ptr<FrameSink> sink);
  // Inputs opened from now on record `source` (none: loopback of the outputs).
  void setSource(std::shared_ptr<FrameSource> source);

  double speed() const { return speed_; }

  Status queryOutput(const Format& format) const;
  Status queryInput(const Format& format) const;
  OpenResult<OutputDevice> openOutput(const Format& format);
  OpenResult<InputDevice> openInput(const Format& format);

 private:
  double speed_;
  std::shared_ptr<Clock> clock_;
  std::shared_ptr<LoopbackBus> loopback_;
  mutable std::mutex mutex_;
  std::shared_ptr<FrameSink> sink_;
  std::shared_ptr<FrameSource> source_;
};

}  // namespace lentaro::audio
