#include "platform/audio/NullSoundCard.h"

#include "platform/audio/src/LoopbackBus.h"
#include "platform/audio/src/NullLoopbackInput.h"
#include "platform/audio/src/NullOutputDevice.h"
#include "platform/audio/src/NullSourceInput.h"

#include <cmath>
#include <new>
#include <stdexcept>
#include <system_error>

namespace lentaro::audio {

namespace {

// Opening makes objects and, for an output, a thread: both may fail.
template <class Device, class Make>
OpenResult<Device> openGuarded(Make make) {
  try {
    return {make(), {}};
  } catch (const std::bad_alloc&) {
    return {nullptr, Status::failure(Error::OutOfMemory, "no memory for a null sound device")};
  } catch (const std::system_error& error) {
    return {nullptr, Status::failure(Error::DeviceFailure, std::string("null sound device: ") + error.what())};
  }
}

}  // namespace

NullSoundCard::NullSoundCard(double speed, std::shared_ptr<Clock> clock)
    : speed_(speed),
      clock_(clock ? std::move(clock) : std::make_shared<SteadyClock>()),
      loopback_(std::make_shared<LoopbackBus>()) {
  if (!std::isfinite(speed) || speed < 0) throw std::invalid_argument("NullSoundCard: speed must be 0 or more");
}

void NullSoundCard::setSink(std::shared_ptr<FrameSink> sink) {
  std::lock_guard<std::mutex> lock(mutex_);
  sink_ = std::move(sink);
}

void NullSoundCard::setSource(std::shared_ptr<FrameSource> source) {
  std::lock_guard<std::mutex> lock(mutex_);
  source_ = std::move(source);
}

Status NullSoundCard::queryOutput(const Format& format) const { return checkOutputFormat(format); }

Status NullSoundCard::queryInput(const Format& format) const { return checkInputFormat(format); }

OpenResult<OutputDevice> NullSoundCard::openOutput(const Format& format) {
  if (Status status = checkOutputFormat(format); !status.ok()) return {nullptr, status};
  std::shared_ptr<FrameSink> sink;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    sink = sink_;
  }
  return openGuarded<OutputDevice>([&]() -> std::unique_ptr<OutputDevice> {
    return std::make_unique<NullOutputDevice>(format, speed_, clock_, sink, loopback_);
  });
}

OpenResult<InputDevice> NullSoundCard::openInput(const Format& format) {
  if (Status status = checkInputFormat(format); !status.ok()) return {nullptr, status};
  std::shared_ptr<FrameSource> source;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    source = source_;
  }
  return openGuarded<InputDevice>([&]() -> std::unique_ptr<InputDevice> {
    if (source) return std::make_unique<NullSourceInput>(format, speed_, clock_, source);
    return std::make_unique<NullLoopbackInput>(format, loopback_);
  });
}

}  // namespace lentaro::audio
