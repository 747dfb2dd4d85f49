#pragma once

#include "platform/audio/Error.h"
#include "platform/mci/MciTypes.h"

namespace lentaro::mci {

// The error numbers the control reports, the media control interface's own where one fits, so
// callers that test for a number find the one they know.
namespace errors {
constexpr int hardware = 262;          // the sound device failed
constexpr int invalidDeviceName = 263; // no such device type or drive
constexpr int outOfMemory = 264;
constexpr int unrecognizedCommand = 261;
constexpr int unsupportedFunction = 274; // the device has no such command
constexpr int fileNotFound = 275;
constexpr int internal = 277;       // something the device could not have (a thread)
constexpr int deviceNotReady = 276; // not open, or no medium
constexpr int outOfRange = 282;
constexpr int fileNotSaved = 286;
constexpr int deviceTypeRequired = 287; // a command to a control without a device
constexpr int deviceInUse = 291;        // another program holds the drive
constexpr int badTimeFormat = 293;
constexpr int invalidFile = 296;           // a file the device cannot read
constexpr int nonapplicableFunction = 302; // not possible in the device's present state
constexpr int filenameRequired = 304;
constexpr int unsuitableFormat = 328; // the input cannot record in that format
constexpr int fileRead = 348;
} // namespace errors

// The usual failures, worded once.
Outcome notOpen();
Outcome noDevice();
Outcome outOfRange(const QString& what);
Outcome unsupported(const QString& what);
// A sound device that cannot be had, with the sound system's reason.
Outcome hardwareFailure(const audio::Status& status);

} // namespace lentaro::mci
