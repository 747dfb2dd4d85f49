#pragma once
// Result codes shared by the engine's streams, format handlers, playback device and entry points,
// with the texts reported for them.

#include <cstdint>

namespace kv {

constexpr int32_t kCannotOpen = -1;  // entry points only: a file or the engine lock could not be had
constexpr int32_t kOk = 0;
constexpr int32_t kFailure = 1;
constexpr int32_t kOutOfMemory = 2;
constexpr int32_t kBadCommandLine = 3;
constexpr int32_t kBadCall = 4;
constexpr int32_t kInternalError = 5;
constexpr int32_t kFileError = 6;
constexpr int32_t kMalformedInput = 7;
constexpr int32_t kNotImplemented = 8;
constexpr int32_t kUnsupportedFormat = 9;
constexpr int32_t kNoSoundData = 10;
constexpr int32_t kHardwareError = 11;
constexpr int32_t kEndOfFile = 12;
constexpr int32_t kDroppedSamples = 13;

// The text of a code 0..13 ("" for success); "" for any other value.
const char* resultText(int32_t code);

}  // namespace kv
