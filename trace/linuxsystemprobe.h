#pragma once

#include "trace/systemprobe.h"

namespace lentaro {

// The running machine and program: /proc, uname, sysinfo, statvfs, the loaded ELF images,
// QSysInfo, the locale, the screens and input devices, and Qt's default printer.
class LinuxSystemProbe : public SystemProbe
{
public:
    QString computerName() const override;
    QString userName() const override;
    QString applicationTitle() const override;
    QString applicationFolder() const override;
    QString executablePath() const override;
    bool previousInstanceRunning() const override;
    std::optional<OperatingSystemInfo> operatingSystem() const override;
    QString languageName() const override;
    QString countryName() const override;
    bool rightToLeftLanguage() const override;
    QString currentFolder() const override;
    MemoryInfo memory() const override;
    ProcessorInfo processor() const override;
    int processorCount() const override;
    std::vector<VolumeInfo> volumes() const override;
    QString defaultPrinter() const override;
    DisplayInfo display() const override;
    MouseInfo mouse() const override;
    std::vector<LoadedModule> loadedModules() const override;
    std::optional<FileFacts> fileFacts(const QString& path) const override;
    std::optional<VersionResource> versionResource(const QString& path) const override;
    QDateTime now() const override;
};

} // namespace lentaro
