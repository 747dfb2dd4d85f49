#include "lentaro/audio/Devices.h"

#include "Environment.h"
#include "PortAudioInputDevice.h"
#include "PortAudioOutputDevice.h"

namespace lentaro::audio {

namespace {

// The devices the environment asks for, or why it asks for nothing we know.
Status configured(Backend& backend) {
    Status status = backendFromEnvironment(backend);
    if (status.ok() && backend == Backend::Null) {
        double speed = 0;
        status = speedFromEnvironment(speed);
    }
    return status;
}

}  // namespace

NullSoundCard& nullSoundCard() {
    static NullSoundCard card([] {
        double speed = 1;  // a bad value keeps real time; opening reports it
        speedFromEnvironment(speed);
        return speed;
    }());
    return card;
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
