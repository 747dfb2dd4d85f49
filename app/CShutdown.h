#pragma once

#include "app/exitrequests.h"

#include <cstdint>

namespace lentaro {

// Logs the user off, shuts the machine down, powers it off or restarts it. Each request is its
// base flag plus Force, goes to exitRequests (exitrequests.h) and takes effect on its own after
// the call returns; the program then gets asked to close like any other. A refused request
// raises a RuntimeError (source: the executable's name + ".CShutdown"):
//   LogOff   0x8004472D "Could not log-off"     Reboot    0x8004472F "Could not reboot"
//   PowerOff 0x8004472E "Could not power-off"   Shutdown  0x80044730 "Could not shutdown"
class CShutdown
{
public:
    static constexpr std::int32_t logOffError = std::int32_t(0x80040000u + 18221u);
    static constexpr std::int32_t powerOffError = std::int32_t(0x80040000u + 18222u);
    static constexpr std::int32_t rebootError = std::int32_t(0x80040000u + 18223u);
    static constexpr std::int32_t shutdownError = std::int32_t(0x80040000u + 18224u);

    // Extra flags added to every request: exitflags::force or exitflags::forceIfHung. Not checked.
    void setForce(std::uint32_t force);
    std::uint32_t Force() const;

    void LogOff();
    void PowerOff();
    void Reboot();
    void Shutdown();

private:
    void request(std::uint32_t base, std::int32_t error, const char* description);

    std::uint32_t force_ = 0;
};

} // namespace lentaro
