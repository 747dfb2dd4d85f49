#include "platform/cd/DriveList.h"

#include "platform/cd/CdLog.h"
#include "platform/cd/ImageDrive.h"
#include "platform/cd/src/DeviceDrive.h"

#include <cdio/cdio.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace lentaro::cd {

namespace {

constexpr int mostDrives = 'Z' - firstDriveLetter + 1;

std::vector<std::unique_ptr<Drive>> systemDrives()
{
    routeLibcdioMessages();
    std::vector<std::unique_ptr<Drive>> drives;
    if (char** devices = cdio_get_devices(DRIVER_DEVICE)) {
        for (char** device = devices; *device; ++device)
            drives.push_back(std::make_unique<DeviceDrive>(*device));
        cdio_free_device_list(devices);
    }
    for (const std::string& cue : imagePaths(std::getenv("LENTARO_CD_IMAGES")))
        drives.push_back(std::make_unique<ImageDrive>(cue));
    return drives;
}

DriveList& systemDriveList()
{
    static DriveList list(systemDrives());
    return list;
}

} // namespace

Service<DriveList> cdDrives{&systemDriveList};

DriveList::DriveList(std::vector<std::unique_ptr<Drive>> drives) : m_drives(std::move(drives))
{
    if (count() > mostDrives) {
        cdLog().write("Only " + std::to_string(mostDrives) + " of the " + std::to_string(count())
                      + " CD drives get letters; from " + m_drives[mostDrives]->path()
                      + " on they are not used.");
        m_drives.resize(mostDrives);
    }
    for (int index = 0; index < count(); ++index)
        m_drives[index]->m_letter = static_cast<char>(firstDriveLetter + index);
}

Drive* DriveList::drive(int number) const
{
    return number >= 1 && number <= count() ? m_drives[number - 1].get() : nullptr;
}

Drive* DriveList::drive(char letter) const
{
    return drive(std::toupper(static_cast<unsigned char>(letter)) - firstDriveLetter + 1);
}

std::string DriveList::letters() const
{
    std::string result;
    for (const auto& each : m_drives)
        result += each->letter();
    return result;
}

std::vector<std::string> imagePaths(const char* variable)
{
    std::vector<std::string> paths;
    const std::string value = variable ? variable : "";
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t end = std::min(value.find(':', start), value.size());
        if (end > start)
            paths.push_back(std::filesystem::absolute(value.substr(start, end - start)).string());
        start = end + 1;
    }
    return paths;
}

std::string driveLetters()
{
    return cdDrives().letters();
}

std::string nthDriveLetter(int n)
{
    const Drive* drive = cdDrives().drive(n);
    return drive ? std::string(1, drive->letter()) : std::string();
}

} // namespace lentaro::cd
