#pragma once

#include <memory>
#include <string>

namespace lentaro::audio {

// What went wrong with a sound device. The engine and the MCI devices map these onto their own
// result codes; NoDevice and DeviceFailure are the hardware errors.
enum class Error {
  None = 0,
  BadFormat,      // the format is malformed, or the device cannot play or record it
  BadArgument,    // a call with unusable arguments (a partial frame, no data)
  NotOpen,        // the device has been closed
  NoDevice,       // there is no sound device to open
  DeviceFailure,  // the sound system refused or failed an operation
  OutOfMemory,
  BadConfiguration  // LENTARO_AUDIO or LENTARO_AUDIO_SPEED holds a value we do not understand
};

// A short English description of the error, for logs and messages.
const char* errorText(Error error);

// An error with the details the sound system gave, for the log and the user.
struct Status {
  Error error = Error::None;
  std::string detail;

  bool ok() const { return error == Error::None; }
  static Status failure(Error error, std::string detail) { return {error, std::move(detail)}; }
};

// The result of opening a device: the device, or why there is none.
template <class Device>
struct OpenResult {
  std::unique_ptr<Device> device;
  Status status;

  explicit operator bool() const { return device != nullptr; }
};

}  // namespace lentaro::audio
