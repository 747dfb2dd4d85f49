#include "trace/linuxsystemprobe.h"

#include "platform/shell/executablename.h"
#include "platform/shell/programfolder.h"
#include "trace/memorystatus.h"
#include "trace/procparsers.h"
#include "trace/versioninfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDevice>
#include <QLocale>
#include <QPointingDevice>
#include <QPrinterInfo>
#include <QScreen>
#include <QSet>
#include <QSysInfo>

#include <elf.h>
#include <link.h>
#include <pwd.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace lentaro {

namespace {

QString readTextFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString utsField(const char* field, std::size_t size)
{
    return pfCString(QString::fromUtf8(field, static_cast<qsizetype>(strnlen(field, size))));
}

// True when the block device behind `device` (a partition or a whole disk) is removable.
bool removableDevice(const QString& device)
{
    const QFileInfo node(QFileInfo(device).canonicalFilePath());
    if (!node.exists())
        return false;
    QString block =
        QFileInfo(QStringLiteral("/sys/class/block/") + node.fileName()).canonicalFilePath();
    if (block.isEmpty())
        return false;
    // A partition's own folder has no "removable"; its disk's folder, one up, has.
    for (int level = 0; level < 2; ++level) {
        const QString flag = readTextFile(block + QStringLiteral("/removable")).trimmed();
        if (!flag.isEmpty())
            return flag == QLatin1String("1");
        block = QFileInfo(block).path();
    }
    return false;
}

// The GNU build ID note among an image's loaded program headers.
QByteArray buildIdOf(const dl_phdr_info& image)
{
    for (int h = 0; h < image.dlpi_phnum; ++h) {
        const ElfW(Phdr)& header = image.dlpi_phdr[h];
        if (header.p_type != PT_NOTE)
            continue;
        const auto* at = reinterpret_cast<const unsigned char*>(image.dlpi_addr + header.p_vaddr);
        const unsigned char* const end = at + header.p_memsz;
        const auto aligned = [](std::size_t size) { return (size + 3) & ~std::size_t{3}; };
        while (at + sizeof(ElfW(Nhdr)) <= end) {
            ElfW(Nhdr) note;
            std::memcpy(&note, at, sizeof note);
            const unsigned char* const name = at + sizeof note;
            const unsigned char* const descriptor = name + aligned(note.n_namesz);
            const unsigned char* const next = descriptor + aligned(note.n_descsz);
            if (next > end)
                break;
            if (note.n_type == NT_GNU_BUILD_ID && note.n_namesz == 4
                && std::memcmp(name, "GNU", 4) == 0)
                return QByteArray(reinterpret_cast<const char*>(descriptor),
                                  static_cast<qsizetype>(note.n_descsz));
            at = next;
        }
    }
    return {};
}

struct ModuleWalk {
    QString executable;
    std::vector<LoadedModule> modules;
    QSet<QString> seen;
};

int addModule(dl_phdr_info* image, size_t, void* data)
{
    auto& walk = *static_cast<ModuleWalk*>(data);
    // The executable comes without a name; the kernel's vDSO has no file at all.
    QString path = image->dlpi_name && image->dlpi_name[0]
                       ? QString::fromLocal8Bit(image->dlpi_name)
                       : (walk.modules.empty() ? walk.executable : QString());
    if (!path.startsWith(QLatin1Char('/')))
        return 0;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!canonical.isEmpty())
        path = canonical;
    if (walk.seen.contains(path))
        return 0;
    walk.seen.insert(path);
    walk.modules.push_back({path, buildIdOf(*image)});
    return 0;
}

bool guiRunning()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

Service<SystemProbe> systemProbe{madeAtFirstUse<LinuxSystemProbe>};

QString LinuxSystemProbe::computerName() const
{
    return QSysInfo::machineHostName();
}

QString LinuxSystemProbe::userName() const
{
    passwd entry{};
    passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return qEnvironmentVariable("USER");
}

QString LinuxSystemProbe::applicationTitle() const
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? executableName() : name;
}

QString LinuxSystemProbe::applicationFolder() const
{
    return programFolder();
}

QString LinuxSystemProbe::executablePath() const
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

bool LinuxSystemProbe::previousInstanceRunning() const
{
    const QString ownExecutable = executablePath();
    const QString ownProcess = QString::number(getpid());
    const QStringList processes =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& process : processes) {
        bool numeric = false;
        process.toInt(&numeric);
        if (!numeric || process == ownProcess)
            continue;
        const QString executable =
            QFileInfo(QStringLiteral("/proc/") + process + QStringLiteral("/exe"))
                .canonicalFilePath();
        if (!executable.isEmpty() && executable == ownExecutable)
            return true;
    }
    return false;
}

std::optional<OperatingSystemInfo> LinuxSystemProbe::operatingSystem() const
{
    utsname names{};
    if (uname(&names) != 0)
        return std::nullopt;
    OperatingSystemInfo system;
    system.kernelName = utsField(names.sysname, sizeof names.sysname);
    system.kernelRelease = utsField(names.release, sizeof names.release);
    system.kernelVersion = utsField(names.version, sizeof names.version);
    system.distribution = QSysInfo::prettyProductName();
    return system;
}

QString LinuxSystemProbe::languageName() const
{
    // The C locale has no native name; its English one ("C") still says what is in use.
    const QLocale locale = QLocale::system();
    const QString native = locale.nativeLanguageName();
    return native.isEmpty() ? QLocale::languageToString(locale.language()) : native;
}

QString LinuxSystemProbe::countryName() const
{
    const QLocale locale = QLocale::system();
    const QString native = locale.nativeTerritoryName();
    if (!native.isEmpty() || locale.territory() == QLocale::AnyTerritory)
        return native;
    return QLocale::territoryToString(locale.territory());
}

bool LinuxSystemProbe::rightToLeftLanguage() const
{
    return QLocale::system().textDirection() == Qt::RightToLeft;
}

QString LinuxSystemProbe::currentFolder() const
{
    return QDir::currentPath();
}

MemoryInfo LinuxSystemProbe::memory() const
{
    MemoryInfo memory;
    struct sysinfo system {};
    if (sysinfo(&system) != 0)
        return memory;
    const std::uint64_t unit = system.mem_unit ? system.mem_unit : 1;
    memory.totalPhysical = std::uint64_t{system.totalram} * unit;
    memory.availablePhysical = currentMemoryStatus().availablePhysical;
    if (memory.availablePhysical == 0)
        memory.availablePhysical = std::uint64_t{system.freeram} * unit;
    memory.totalVirtual = memory.totalPhysical + std::uint64_t{system.totalswap} * unit;
    memory.availableVirtual = memory.availablePhysical + std::uint64_t{system.freeswap} * unit;
    return memory;
}

ProcessorInfo LinuxSystemProbe::processor() const
{
    return processorFromCpuinfo(readTextFile(QStringLiteral("/proc/cpuinfo")));
}

int LinuxSystemProbe::processorCount() const
{
    const long count = sysconf(_SC_NPROCESSORS_ONLN);
    return count > 0 ? static_cast<int>(count) : 1;
}

std::vector<VolumeInfo> LinuxSystemProbe::volumes() const
{
    std::vector<VolumeInfo> volumes;
    QSet<QString> devices;
    for (const MountEntry& mount :
         parseMountTable(readTextFile(QStringLiteral("/proc/self/mounts")))) {
        // A bind mount shows its device again; a file mounted over a file is no volume.
        if (devices.contains(mount.device) || !QFileInfo(mount.mountPoint).isDir())
            continue;
        const std::optional<VolumeKind> kind =
            volumeKind(mount, mount.device.startsWith(QLatin1String("/dev/"))
                                  && removableDevice(mount.device));
        if (!kind)
            continue;
        devices.insert(mount.device);
        VolumeInfo volume{mount.mountPoint, *kind, std::nullopt};
        struct statvfs space {};
        if (*kind == VolumeKind::Fixed
            && statvfs(QFile::encodeName(mount.mountPoint).constData(), &space) == 0)
            volume.freeBytes = std::uint64_t{space.f_bavail} * space.f_frsize;
        volumes.push_back(volume);
    }
    return volumes;
}

QString LinuxSystemProbe::defaultPrinter() const
{
    return QPrinterInfo::defaultPrinterName();
}

DisplayInfo LinuxSystemProbe::display() const
{
    DisplayInfo display;
    if (!guiRunning())
        return display;
    const QList<QScreen*> screens = QGuiApplication::screens();
    display.monitorCount = static_cast<int>(screens.size());
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        const QSize size = primary->size() * primary->devicePixelRatio();
        display.width = size.width();
        display.height = size.height();
        display.bitsPerPixel = primary->depth();
    }
    return display;
}

MouseInfo LinuxSystemProbe::mouse() const
{
    MouseInfo mouse;
    if (!guiRunning())
        return mouse;
    for (const QInputDevice* device : QInputDevice::devices()) {
        if (device->type() != QInputDevice::DeviceType::Mouse)
            continue;
        mouse.present = true;
        if (const auto* pointer = qobject_cast<const QPointingDevice*>(device))
            mouse.buttons = std::max(mouse.buttons, pointer->buttonCount());
        mouse.wheel = mouse.wheel || device->hasCapability(QInputDevice::Capability::Scroll);
    }
    return mouse;
}

std::vector<LoadedModule> LinuxSystemProbe::loadedModules() const
{
    ModuleWalk walk;
    walk.executable = executablePath();
    dl_iterate_phdr(addModule, &walk);
    return walk.modules;
}

std::optional<FileFacts> LinuxSystemProbe::fileFacts(const QString& path) const
{
    const QFileInfo file(path);
    if (!file.exists())
        return std::nullopt;
    FileFacts facts;
    facts.size = file.size();
    facts.accessed = file.lastRead();
    facts.created = file.birthTime();
    facts.modified = file.lastModified();
    return facts;
}

std::optional<VersionResource> LinuxSystemProbe::versionResource(const QString& path) const
{
    // Only our own executable carries version information: the build compiled it in.
    const QString executable = executablePath();
    if (executable.isEmpty() || QFileInfo(path).canonicalFilePath() != executable)
        return std::nullopt;
    return ownVersionResource(executable);
}

QDateTime LinuxSystemProbe::now() const
{
    return QDateTime::currentDateTime();
}

} // namespace lentaro
