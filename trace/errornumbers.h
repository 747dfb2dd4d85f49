#pragma once

#include <cstdint>

// The run-time error numbers the program raises and checks, each named once. Their texts are
// standardErrorText's (trace/runtimeerror.h).
namespace lentaro::errorNumbers {

constexpr std::int32_t invalidCall = 5;
constexpr std::int32_t overflow = 6;
constexpr std::int32_t subscriptOutOfRange = 9;
constexpr std::int32_t typeMismatch = 13;
constexpr std::int32_t fileNotFound = 53;
constexpr std::int32_t pathFileAccess = 75;
constexpr std::int32_t pathNotFound = 76;
constexpr std::int32_t invalidFileFormat = 321;
constexpr std::int32_t keyAlreadyUsed = 457;
constexpr std::int32_t noCurrentRecord = 3021;
// A statement the database refused or could not run.
constexpr std::int32_t databaseCallFailed = 3146;

} // namespace lentaro::errorNumbers
