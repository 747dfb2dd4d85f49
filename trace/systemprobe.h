#pragma once

#include "platform/shell/service.h"

#include <QDateTime>
#include <QMap>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace lentaro {

struct OperatingSystemInfo {
    QString kernelName;    // "Linux"
    QString kernelRelease; // "6.1.0-18-amd64"
    QString kernelVersion; // "#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)"
    QString distribution;  // "Debian GNU/Linux 12 (bookworm)"
};

// The processor as the report classifies it: type 386, 486 or 586 for the x86 family (0 for
// any other), its family as the level, and (model << 8) | stepping as the revision.
struct ProcessorInfo {
    int type = 0;
    int level = 0;
    int revision = 0;
};

struct MemoryInfo {
    std::uint64_t totalPhysical = 0; // bytes
    std::uint64_t availablePhysical = 0;
    std::uint64_t totalVirtual = 0; // physical memory and swap together
    std::uint64_t availableVirtual = 0;
};

struct DisplayInfo {
    int width = 0; // primary screen, device pixels
    int height = 0;
    int bitsPerPixel = 0;
    int monitorCount = 0;
};

struct MouseInfo {
    bool present = false;
    int buttons = 0;
    bool wheel = false;
};

enum class VolumeKind { Unknown, Removable, Fixed, Network, CdRom };

// One mounted volume.
struct VolumeInfo {
    QString mountPoint;
    VolumeKind kind = VolumeKind::Unknown;
    std::optional<std::uint64_t> freeBytes; // available to this user
};

// An invalid date is one the file system does not keep.
struct FileFacts {
    std::int64_t size = 0;
    QDateTime accessed;
    QDateTime created;
    QDateTime modified;
};

struct LoadedModule {
    QString path;
    QByteArray buildId; // the image's GNU build ID as loaded in memory; empty when it has none
};

// The named text fields of a file's version information ("FileVersion" -> "2.0.15").
using VersionResource = QMap<QString, QString>;

// What the system report and the defect record learn about the machine and the running
// program. Every query answers from what it can get; nothing throws.
class SystemProbe
{
public:
    virtual ~SystemProbe() = default;

    virtual QString computerName() const = 0;
    virtual QString userName() const = 0;
    virtual QString applicationTitle() const = 0;
    virtual QString applicationFolder() const = 0;
    virtual QString executablePath() const = 0;
    virtual bool previousInstanceRunning() const = 0;

    // nullopt when the system does not say.
    virtual std::optional<OperatingSystemInfo> operatingSystem() const = 0;
    virtual QString languageName() const = 0; // in the language itself ("Deutsch")
    virtual QString countryName() const = 0;  // likewise ("Deutschland")
    virtual bool rightToLeftLanguage() const = 0;
    virtual QString currentFolder() const = 0;

    virtual MemoryInfo memory() const = 0;
    virtual ProcessorInfo processor() const = 0;
    virtual int processorCount() const = 0;
    virtual std::vector<VolumeInfo> volumes() const = 0;
    virtual QString defaultPrinter() const = 0; // empty when there is none
    virtual DisplayInfo display() const = 0;
    virtual MouseInfo mouse() const = 0;

    // The executable and the shared objects loaded in the process, executable first.
    virtual std::vector<LoadedModule> loadedModules() const = 0;
    virtual std::optional<FileFacts> fileFacts(const QString& path) const = 0;
    // nullopt when the file carries no version information.
    virtual std::optional<VersionResource> versionResource(const QString& path) const = 0;

    virtual QDateTime now() const = 0;
};

// This machine (LinuxSystemProbe) unless replaced.
extern Service<SystemProbe> systemProbe;

} // namespace lentaro
