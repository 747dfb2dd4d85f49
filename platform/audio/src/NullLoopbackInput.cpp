#include "platform/audio/src/NullLoopbackInput.h"

namespace lentaro::audio {

NullLoopbackInput::NullLoopbackInput(const Format& format, std::shared_ptr<LoopbackBus> loopback)
    : format_(format), loopback_(std::move(loopback)), capture_(format) {}

NullLoopbackInput::~NullLoopbackInput() { close(); }

Error NullLoopbackInput::start() {
  std::lock_guard<std::mutex> lock(controlMutex_);
  if (closed_) return Error::NotOpen;
  loopback_->detach(this);
  converter_.reset();
  capture_.begin();
  loopback_->attach(this);
  return Error::None;
}

Error NullLoopbackInput::stop() {
  std::lock_guard<std::mutex> lock(controlMutex_);
  if (closed_) return Error::NotOpen;
  loopback_->detach(this);
  capture_.end();
  return Error::None;
}

std::size_t NullLoopbackInput::read(void* dest, std::size_t maxBytes, std::chrono::milliseconds timeout) {
  return capture_.read(static_cast<std::uint8_t*>(dest), maxBytes, timeout);
}

Error NullLoopbackInput::close() {
  std::lock_guard<std::mutex> lock(controlMutex_);
  if (closed_) return Error::None;
  closed_ = true;
  loopback_->detach(this);
  capture_.end();
  return Error::None;
}

void NullLoopbackInput::heard(const Format& format, const std::uint8_t* bytes, std::size_t byteCount) {
  if (!converter_ || heardFormat_ != format) {
    converter_.emplace(format, format_);
    heardFormat_ = format;
  }
  converted_.clear();
  converter_->convert(bytes, byteCount, converted_);
  capture_.push(converted_.data(), converted_.size());
}

}  // namespace lentaro::audio
