#include "app/CShutdown.h"

#include "platform/shell/executablename.h"
#include "trace/runtimeerror.h"

namespace lentaro {

void CShutdown::setForce(std::uint32_t force)
{
    force_ = force;
}

std::uint32_t CShutdown::Force() const
{
    return force_;
}

void CShutdown::LogOff()
{
    request(exitflags::logOff, logOffError, "Could not log-off");
}

void CShutdown::PowerOff()
{
    request(exitflags::powerOff, powerOffError, "Could not power-off");
}

void CShutdown::Reboot()
{
    request(exitflags::reboot, rebootError, "Could not reboot");
}

void CShutdown::Shutdown()
{
    request(exitflags::shutdown, shutdownError, "Could not shutdown");
}

void CShutdown::request(std::uint32_t base, std::int32_t error, const char* description)
{
    if (!exitRequests().exitWindowsEx(base + force_))
        throw RuntimeError(error, QString::fromLatin1(description),
                           executableName() + QStringLiteral(".CShutdown"));
}

} // namespace lentaro
