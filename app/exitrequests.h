#pragma once

#include "platform/shell/service.h"

#include <cstdint>

namespace lentaro {

// Requests to end the user's session or the machine, as sums of these flags.
namespace exitflags {
constexpr std::uint32_t logOff = 0;
constexpr std::uint32_t shutdown = 1;
constexpr std::uint32_t reboot = 2;
constexpr std::uint32_t force = 4; // end programs without asking them
constexpr std::uint32_t powerOff = 8;
constexpr std::uint32_t forceIfHung = 16; // end programs that do not answer
} // namespace exitflags

// Where such a request goes.
class ExitRequests
{
public:
    virtual ~ExitRequests() = default;

    // Hands the request on and returns at once; false when it was refused.
    virtual bool exitWindowsEx(std::uint32_t request) = 0;
};

// The system's session and power manager (logindexitrequests.h) unless replaced.
extern Service<ExitRequests> exitRequests;

} // namespace lentaro
