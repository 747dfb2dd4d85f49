#include "platform/cd/src/DeviceDrive.h"

#include "platform/cd/CdLog.h"
#include "platform/cd/src/DriveAccessProbe.h"
#include "platform/cd/src/LibcdioToc.h"
#include "platform/cd/src/ParanoiaFrameReader.h"
#include "platform/registry/FileHandle.h"

#include <cdio/cdio.h>

#include <climits> // CDSL_CURRENT is INT_MAX
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>

#include <filesystem>

namespace lentaro::cd {

namespace {

std::string resolved(const std::string& device)
{
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(device, error);
    return error ? device : canonical.string();
}

} // namespace

TrayStatus trayStatusOf(const std::string& device)
{
    const registry::FileHandle file(::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.isOpen())
        return TrayStatus::Unknown;
    switch (::ioctl(file.fd(), CDROM_DRIVE_STATUS, CDSL_CURRENT)) {
    case CDS_NO_DISC:
        return TrayStatus::NoDisc;
    case CDS_TRAY_OPEN:
        return TrayStatus::TrayOpen;
    case CDS_DRIVE_NOT_READY:
        return TrayStatus::NotReady;
    case CDS_DISC_OK:
        return TrayStatus::DiscReady;
    default:
        return TrayStatus::Unknown;
    }
}

DeviceDrive::DeviceDrive(std::string device)
    : m_device(std::move(device)), m_node(resolved(m_device))
{
}

bool DeviceDrive::discPresent()
{
    return trayStatusOf(m_device) == TrayStatus::DiscReady;
}

bool DeviceDrive::trayOpen()
{
    return trayStatusOf(m_device) == TrayStatus::TrayOpen;
}

Toc DeviceDrive::toc()
{
    if (!discPresent())
        return {};
    routeLibcdioMessages();
    CdIo_t* drive = cdio_open_am(m_device.c_str(), DRIVER_DEVICE, "IOCTL");
    if (!drive)
        return {};
    Toc toc = tocFromCdio(drive);
    cdio_destroy(drive);
    return toc;
}

bool DeviceDrive::eject()
{
    routeLibcdioMessages();
    return cdio_eject_media_drive(m_device.c_str()) == DRIVER_OP_SUCCESS;
}

bool DeviceDrive::closeTray()
{
    routeLibcdioMessages();
    driver_id_t driver = DRIVER_DEVICE;
    return cdio_close_tray(m_device.c_str(), &driver) == DRIVER_OP_SUCCESS;
}

DriveAccess DeviceDrive::access()
{
    DriveAccess access = probeAccess(m_device, name());
    if (access.problem == DriveProblem::None && !discPresent())
        return {DriveProblem::NoDisc, "There is no disc in the " + name() + "."};
    return access;
}

OpenedFrames DeviceDrive::openFrames()
{
    DriveAccess access = this->access();
    if (access.problem != DriveProblem::None)
        return {nullptr, access};
    std::string problem;
    std::unique_ptr<FrameReader> reader = openParanoiaReader(m_device, problem);
    if (!reader)
        return {nullptr,
                {DriveProblem::NotReadable, "The disc in the " + name() + " (" + m_device
                                                + ") cannot be read: " + problem + "."}};
    return {std::move(reader), {}};
}

} // namespace lentaro::cd
