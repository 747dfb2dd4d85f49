#include "platform/audio/Devices.h"

#include "platform/audio/src/Environment.h"
#include "platform/audio/src/PortAudioInputDevice.h"
#include "platform/audio/src/PortAudioOutputDevice.h"

namespace lentaro::audio {

namespace {

double speedOrRealTime() {
  double speed = 1;  // a bad value keeps real time; opening reports it
  speedFromEnvironment(speed);
  return speed;
}

// The process's null card with the capture and source files the environment names.
struct ConfiguredNullCard {
  NullSoundCard card{speedOrRealTime()};
  Status files;  // why a file the environment names cannot be used; opening reports it

  ConfiguredNullCard() {
    std::shared_ptr<FrameSink> sink;
    std::shared_ptr<FrameSource> source;
    files = sourceFromEnvironment(source);
    if (files.ok()) files = captureFromEnvironment(sink);
    card.setSink(std::move(sink));
    card.setSource(std::move(source));
  }
};

ConfiguredNullCard& configuredNullCard() {
  static ConfiguredNullCard configured;
  return configured;
}

// The devices the environment asks for, or why the null card it asks for cannot be used.
Status configured(Backend& backend) {
  backendFromEnvironment(backend);  // a value we do not know leaves PortAudio's devices
  if (backend != Backend::Null) return {};
  double speed = 0;
  Status status = speedFromEnvironment(speed);
  if (status.ok()) status = configuredNullCard().files;
  return status;
}

}  // namespace

NullSoundCard& nullSoundCard() { return configuredNullCard().card; }

Status unknownAudioChoice() {
  Backend backend = Backend::PortAudio;
  return backendFromEnvironment(backend);
}

Status queryOutput(const Format& format) {
  Backend backend = Backend::PortAudio;
  if (Status status = configured(backend); !status.ok()) return status;
  return backend == Backend::Null ? nullSoundCard().queryOutput(format) : PortAudioOutputDevice::query(format);
}

Status queryInput(const Format& format) {
  Backend backend = Backend::PortAudio;
  if (Status status = configured(backend); !status.ok()) return status;
  return backend == Backend::Null ? nullSoundCard().queryInput(format) : PortAudioInputDevice::query(format);
}

OpenResult<OutputDevice> openOutput(const Format& format) {
  Backend backend = Backend::PortAudio;
  if (Status status = configured(backend); !status.ok()) return {nullptr, status};
  return backend == Backend::Null ? nullSoundCard().openOutput(format) : PortAudioOutputDevice::open(format);
}

OpenResult<InputDevice> openInput(const Format& format) {
  Backend backend = Backend::PortAudio;
  if (Status status = configured(backend); !status.ok()) return {nullptr, status};
  return backend == Backend::Null ? nullSoundCard().openInput(format) : PortAudioInputDevice::open(format);
}

}  // namespace lentaro::audio
