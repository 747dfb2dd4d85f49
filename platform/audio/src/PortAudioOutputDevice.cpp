#include "platform/audio/src/PortAudioOutputDevice.h"

#include "platform/audio/src/PlayQueue.h"

#include "soundfile/g711.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lentaro::audio {

Status PortAudioOutputDevice::query(const Format& format) {
  const Status status = checkOutputFormat(format);
  return status.ok() ? queryDefaultDevice(format, true) : status;
}

OpenResult<OutputDevice> PortAudioOutputDevice::open(const Format& format) {
  Status status = checkOutputFormat(format);
  if (!status.ok()) return {nullptr, status};
  const std::shared_ptr<PortAudioSystem> system = PortAudioSystem::acquire(status);
  if (!system) return {nullptr, status};

  std::unique_ptr<PortAudioOutputDevice> device;  // outlives the lock: closing takes it again
  std::lock_guard<std::mutex> lock(system->mutex());
  PaStreamParameters parameters;
  std::string name;
  status = defaultDeviceParameters(format, true, parameters, name);
  if (!status.ok()) return {nullptr, status};
  device.reset(new PortAudioOutputDevice(format, system, name));
  PaError error = Pa_OpenStream(&device->stream_, nullptr, &parameters, format.sampleRate, paFramesPerBufferUnspecified,
                                paNoFlag, &callback, device.get());
  if (error != paNoError) {
    device->stream_ = nullptr;
    return {nullptr, statusOf(error, "opening the sound output")};
  }
  const PaStreamInfo* info = Pa_GetStreamInfo(device->stream_);
  if (info != nullptr)
    device->latencyFrames_ = static_cast<std::uint64_t>(std::llround(info->outputLatency * format.sampleRate));
  error = Pa_StartStream(device->stream_);
  if (error != paNoError) {
    Pa_CloseStream(device->stream_);
    device->stream_ = nullptr;
    return {nullptr, statusOf(error, "starting the sound output")};
  }
  return {std::move(device), {}};
}

PortAudioOutputDevice::PortAudioOutputDevice(const Format& format, std::shared_ptr<PortAudioSystem> system,
                                             std::string name)
    : OutputDevice(format), system_(std::move(system)), name_(std::move(name)) {}

PortAudioOutputDevice::~PortAudioOutputDevice() { close(); }

Error PortAudioOutputDevice::reset() {
  std::lock_guard<std::mutex> lock(controlMutex_);
  if (stream_ == nullptr) return Error::NotOpen;
  std::lock_guard<std::mutex> systemLock(system_->mutex());
  // Aborting drops what the host still holds, so the sound stops now rather than a latency later.
  PaError error = Pa_AbortStream(stream_);
  queue().discardAll();
  if (error == paNoError || error == paStreamIsStopped) error = Pa_StartStream(stream_);
  return error == paNoError ? Error::None : Error::DeviceFailure;
}

Error PortAudioOutputDevice::close() {
  std::lock_guard<std::mutex> lock(controlMutex_);
  if (stream_ == nullptr) return Error::None;
  PaError error;
  {
    std::lock_guard<std::mutex> systemLock(system_->mutex());
    error = Pa_CloseStream(stream_);  // aborts a running stream first
  }
  stream_ = nullptr;
  queue().close();
  return error == paNoError ? Error::None : Error::DeviceFailure;
}

int PortAudioOutputDevice::callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                                    PaStreamCallbackFlags, void* self) {
  static_cast<PortAudioOutputDevice*>(self)->fill(static_cast<std::uint8_t*>(output), frames);
  return paContinue;
}

void PortAudioOutputDevice::fill(std::uint8_t* out, std::size_t frames) {
  // What went out a latency before this callback's first frame has now been heard.
  if (streamFrame_ >= latencyFrames_) queue().heardUpTo(streamFrame_ - latencyFrames_);

  const Format& played = format();
  const bool expanded = played.encoding != Encoding::Pcm;
  const std::size_t frameBytes = static_cast<std::size_t>(played.channels) * (expanded ? 2 : played.bytesPerSample());
  const std::size_t placed = expanded ? takeExpanded(out, frames) : queue().take(out, frames, streamFrame_).frames;
  const int silence = !expanded && played.bitsPerSample == 8 ? 0x80 : 0;
  std::memset(out + placed * frameBytes, silence, (frames - placed) * frameBytes);
  streamFrame_ += frames;
}

std::size_t PortAudioOutputDevice::takeExpanded(std::uint8_t* out, std::size_t frames) {
  const Format& played = format();
  const auto channels = static_cast<std::size_t>(played.channels);
  const std::size_t piece = codes_.size() / channels;
  auto* samples = reinterpret_cast<std::int16_t*>(out);
  std::size_t placed = 0;
  while (placed < frames) {
    const std::size_t wanted = std::min(piece, frames - placed);
    const std::size_t got = queue().take(codes_.data(), wanted, streamFrame_ + placed).frames;
    for (std::size_t i = 0; i < got * channels; ++i)
      samples[placed * channels + i] =
          played.encoding == Encoding::MuLaw ? kv::muLawToLinear(codes_[i]) : kv::aLawToLinear(codes_[i]);
    placed += got;
    if (got < wanted) break;
  }
  return placed;
}

}  // namespace lentaro::audio
