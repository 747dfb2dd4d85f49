#include "platform/audio/src/PortAudioInputDevice.h"

namespace lentaro::audio {

Status PortAudioInputDevice::query(const Format& format) {
  const Status status = checkInputFormat(format);
  return status.ok() ? queryDefaultDevice(format, false) : status;
}

OpenResult<InputDevice> PortAudioInputDevice::open(const Format& format) {
  Status status = checkInputFormat(format);
  if (!status.ok()) return {nullptr, status};
  const std::shared_ptr<PortAudioSystem> system = PortAudioSystem::acquire(status);
  if (!system) return {nullptr, status};

  std::unique_ptr<PortAudioInputDevice> device;  // outlives the lock: closing takes it again
  std::lock_guard<std::mutex> lock(system->mutex());
  PaStreamParameters parameters;
  std::string name;
  status = defaultDeviceParameters(format, false, parameters, name);
  if (!status.ok()) return {nullptr, status};
  device.reset(new PortAudioInputDevice(format, system, name));
  const PaError error = Pa_OpenStream(&device->stream_, &parameters, nullptr, format.sampleRate,
                                      paFramesPerBufferUnspecified, paNoFlag, &callback, device.get());
  if (error != paNoError) {
    device->stream_ = nullptr;
    return {nullptr, statusOf(error, "opening the sound input")};
  }
  return {std::move(device), {}};
}

PortAudioInputDevice::PortAudioInputDevice(const Format& format, std::shared_ptr<PortAudioSystem> system,
                                           std::string name)
    : format_(format), system_(std::move(system)), name_(std::move(name)), capture_(format) {}

PortAudioInputDevice::~PortAudioInputDevice() { close(); }

Error PortAudioInputDevice::start() {
  std::lock_guard<std::mutex> lock(controlMutex_);
  if (stream_ == nullptr) return Error::NotOpen;
  std::lock_guard<std::mutex> systemLock(system_->mutex());
  if (running_) Pa_AbortStream(stream_);
  running_ = false;
  capture_.begin();
  if (Pa_StartStream(stream_) != paNoError) {
    capture_.end();
    return Error::DeviceFailure;
  }
  running_ = true;
  return Error::None;
}

Error PortAudioInputDevice::stop() {
  std::lock_guard<std::mutex> lock(controlMutex_);
  if (stream_ == nullptr) return Error::NotOpen;
  PaError error = paNoError;
  if (running_) {
    std::lock_guard<std::mutex> systemLock(system_->mutex());
    error = Pa_StopStream(stream_);
  }
  running_ = false;
  capture_.end();
  return error == paNoError ? Error::None : Error::DeviceFailure;
}

std::size_t PortAudioInputDevice::read(void* dest, std::size_t maxBytes, std::chrono::milliseconds timeout) {
  return capture_.read(static_cast<std::uint8_t*>(dest), maxBytes, timeout);
}

Error PortAudioInputDevice::close() {
  std::lock_guard<std::mutex> lock(controlMutex_);
  if (stream_ == nullptr) return Error::None;
  PaError error;
  {
    std::lock_guard<std::mutex> systemLock(system_->mutex());
    error = Pa_CloseStream(stream_);
  }
  stream_ = nullptr;
  running_ = false;
  capture_.end();
  return error == paNoError ? Error::None : Error::DeviceFailure;
}

int PortAudioInputDevice::callback(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
                                   PaStreamCallbackFlags, void* self) {
  auto* device = static_cast<PortAudioInputDevice*>(self);
  if (input != nullptr)
    device->capture_.push(static_cast<const std::uint8_t*>(input),
                          frames * static_cast<std::size_t>(device->format_.bytesPerFrame()));
  return paContinue;
}

}  // namespace lentaro::audio
