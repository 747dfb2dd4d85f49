#include "platform/audio/src/PortAudioSystem.h"

#include "platform/audio/Devices.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>

#include <atomic>
#include <cstdio>

namespace lentaro::audio {

namespace {

std::atomic<bool> messagesShown{false};
std::atomic<bool> starting{false};

// While PortAudio takes stock, ALSA describes every card it looks for and does not find, and
// JACK every server it cannot reach: without sound hardware that is a screenful on standard error.
// What matters comes back as PortAudio's result.
void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

void jackMessage(const char* message) {
  if (starting && !messagesShown) return;
  std::fprintf(stderr, "%s\n", message);
}

// JACK comes with PortAudio when PortAudio was built with it; it is reached by name so that a
// PortAudio without it needs nothing here.
void routeJackMessages() {
  using SetFunction = void (*)(void (*)(const char*));
  for (const char* name : {"jack_set_error_function", "jack_set_info_function"}) {
    if (const auto set = reinterpret_cast<SetFunction>(dlsym(RTLD_DEFAULT, name))) set(&jackMessage);
  }
}

PaSampleFormat sampleFormatOf(const Format& format) {
  if (format.encoding != Encoding::Pcm) return paInt16;  // G.711 is expanded before it is played
  switch (format.bitsPerSample) {
    case 8:
      return paUInt8;
    case 16:
      return paInt16;
    case 24:
      return paInt24;
    default:
      return paInt32;
  }
}

}  // namespace

std::shared_ptr<PortAudioSystem> PortAudioSystem::acquire(Status& status) {
  static Status startStatus;
  static const std::shared_ptr<PortAudioSystem> instance = []() -> std::shared_ptr<PortAudioSystem> {
    routeJackMessages();
    starting = true;
    if (!messagesShown) snd_lib_error_set_handler(&ignoreAlsaMessage);
    const PaError error = Pa_Initialize();
    snd_lib_error_set_handler(nullptr);
    starting = false;
    if (error != paNoError) {
      startStatus = statusOf(error, "starting PortAudio");
      startStatus.error = Error::NoDevice;
      return nullptr;
    }
    return std::shared_ptr<PortAudioSystem>(new PortAudioSystem);
  }();
  status = startStatus;
  return instance;
}

PortAudioSystem::~PortAudioSystem() { Pa_Terminate(); }

void showSoundSystemMessages(bool shown) { messagesShown = shown; }

Status statusOf(PaError error, const std::string& doing) {
  Error kind = Error::DeviceFailure;
  switch (error) {
    case paNoError:
      return {};
    case paInvalidChannelCount:
    case paInvalidSampleRate:
    case paSampleFormatNotSupported:
    case paBadIODeviceCombination:
      kind = Error::BadFormat;
      break;
    case paInsufficientMemory:
      kind = Error::OutOfMemory;
      break;
    case paNotInitialized:
    case paInvalidDevice:
    case paDeviceUnavailable:
    case paHostApiNotFound:
    case paInvalidHostApi:
      kind = Error::NoDevice;
      break;
    default:
      break;
  }
  std::string detail = doing + ": " + Pa_GetErrorText(error);
  if (error == paUnanticipatedHostError) {
    const PaHostErrorInfo* host = Pa_GetLastHostErrorInfo();
    if (host != nullptr && host->errorText != nullptr && *host->errorText != '\0')
      detail += std::string(" (") + host->errorText + ")";
  }
  return Status::failure(kind, std::move(detail));
}

Status defaultDeviceParameters(const Format& format, bool output, PaStreamParameters& parameters,
                               std::string& deviceName) {
  const PaDeviceIndex device = output ? Pa_GetDefaultOutputDevice() : Pa_GetDefaultInputDevice();
  const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
  if (info == nullptr)
    return Status::failure(Error::NoDevice,
                           output ? "there is no sound output device" : "there is no sound input device");
  parameters.device = device;
  parameters.channelCount = format.channels;
  parameters.sampleFormat = sampleFormatOf(format);
  // The roomy latency: nothing here is interactive, and it survives a busy machine.
  parameters.suggestedLatency = output ? info->defaultHighOutputLatency : info->defaultHighInputLatency;
  parameters.hostApiSpecificStreamInfo = nullptr;
  deviceName = info->name;
  return {};
}

Status queryDefaultDevice(const Format& format, bool output) {
  Status status;
  const std::shared_ptr<PortAudioSystem> system = PortAudioSystem::acquire(status);
  if (!system) return status;
  std::lock_guard<std::mutex> lock(system->mutex());
  PaStreamParameters parameters;
  std::string name;
  status = defaultDeviceParameters(format, output, parameters, name);
  if (!status.ok()) return status;
  const PaError error = output ? Pa_IsFormatSupported(nullptr, &parameters, format.sampleRate)
                               : Pa_IsFormatSupported(&parameters, nullptr, format.sampleRate);
  return statusOf(error, output ? "asking the sound output" : "asking the sound input");
}

}  // namespace lentaro::audio
