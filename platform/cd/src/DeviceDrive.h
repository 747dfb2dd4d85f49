#pragma once

#include "platform/cd/Drive.h"

#include <string>

namespace lentaro::cd {

// A CD drive of this machine, as libcdio names it (/dev/sr0). Each call opens the device without
// exclusion, asks, and closes it again, so the drive's own eject button keeps working. Frames are
// read through paranoia.
class DeviceDrive : public Drive
{
public:
    explicit DeviceDrive(std::string device);

    std::string path() const override { return m_device; }
    std::string deviceNode() const override { return m_node; }
    bool discPresent() override;
    bool trayOpen() override;
    Toc toc() override;
    bool eject() override;
    bool closeTray() override;
    DriveAccess access() override;
    OpenedFrames openFrames() override;

private:
    const std::string m_device;
    const std::string m_node; // the device with its symbolic links resolved, as udev names it
};

// What CDROM_DRIVE_STATUS says of a drive.
enum class TrayStatus { Unknown, NoDisc, TrayOpen, NotReady, DiscReady };
TrayStatus trayStatusOf(const std::string& device);

} // namespace lentaro::cd
