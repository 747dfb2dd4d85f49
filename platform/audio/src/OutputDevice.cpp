#include "platform/audio/OutputDevice.h"

#include "platform/audio/src/PlayQueue.h"

namespace lentaro::audio {

OutputDevice::OutputDevice(const Format& format)
    : format_(format), queue_(std::make_unique<PlayQueue>(static_cast<std::size_t>(format.bytesPerFrame()))) {}

OutputDevice::~OutputDevice() = default;

Queued OutputDevice::write(const void* data, std::size_t bytes) {
  if (bytes % static_cast<std::size_t>(format_.bytesPerFrame()) != 0 || (data == nullptr && bytes > 0))
    return {Error::BadArgument, 0};
  const Queued result = queue_->push(data, bytes);
  if (result.error == Error::None) queued();
  return result;
}

bool OutputDevice::isDone(Ticket ticket) const { return queue_->isDone(ticket); }

Ticket OutputDevice::buffersDone() const { return queue_->done(); }

bool OutputDevice::waitUntilDone(Ticket ticket, std::chrono::milliseconds timeout) const {
  return queue_->waitUntilDone(ticket, timeout);
}

std::uint64_t OutputDevice::framesPlayed() const { return queue_->framesHeard(); }

}  // namespace lentaro::audio
