#include "platform/audio/Error.h"

namespace lentaro::audio {

const char* errorText(Error error) {
  switch (error) {
    case Error::None:
      return "no error";
    case Error::BadFormat:
      return "the sound format cannot be played or recorded";
    case Error::BadArgument:
      return "the sound device was called with unusable arguments";
    case Error::NotOpen:
      return "the sound device is closed";
    case Error::NoDevice:
      return "there is no sound device";
    case Error::DeviceFailure:
      return "the sound device failed";
    case Error::OutOfMemory:
      return "out of memory for sound";
    case Error::BadConfiguration:
      return "the sound settings in the environment are not understood";
  }
  return "unknown sound error";
}

}  // namespace lentaro::audio
