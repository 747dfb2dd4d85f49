#pragma once

#include "trace/systemprobe.h"
#include "trace/versioninfo.h"

#include <QLocale>

#include <map>

namespace lentaro::test {

// A machine whose every answer the test sets: a studio computer with two screens, four
// volumes and two loaded modules, our executable first.
class FakeSystemProbe : public SystemProbe
{
public:
    FakeSystemProbe()
    {
        const QDateTime built(QDate(2024, 2, 1), QTime(9, 30, 0));
        files[executable] = {1234567, QDateTime(QDate(2024, 3, 4), QTime(8, 0, 0)), built,
                             QDateTime(QDate(2024, 2, 2), QTime(10, 15, 30))};
        files[qtCore] = {6543210, QDateTime(QDate(2024, 3, 4), QTime(8, 0, 1)), QDateTime(),
                         QDateTime(QDate(2023, 11, 20), QTime(17, 45, 0))};
        modules = {{executable, QByteArray::fromHex("00ab12cd34")}, {qtCore, {}}};
    }

    QString computerName() const override { return hostName; }
    QString userName() const override { return QStringLiteral("mira"); }
    QString applicationTitle() const override { return QStringLiteral("Lentaro"); }
    QString applicationFolder() const override
    {
        return QStringLiteral("/home/mira/.local/share/lentaro");
    }
    QString executablePath() const override { return executable; }
    bool previousInstanceRunning() const override { return false; }
    std::optional<OperatingSystemInfo> operatingSystem() const override
    {
        return OperatingSystemInfo{QStringLiteral("Linux"), QStringLiteral("6.1.0-18-amd64"),
                                   QStringLiteral("#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1"),
                                   QStringLiteral("Debian GNU/Linux 12 (bookworm)")};
    }
    QString languageName() const override { return QStringLiteral("American English"); }
    QString countryName() const override { return QStringLiteral("United States"); }
    bool rightToLeftLanguage() const override { return false; }
    QString currentFolder() const override { return QStringLiteral("/home/mira"); }
    MemoryInfo memory() const override { return memoryInfo; }
    ProcessorInfo processor() const override { return {586, 6, 0x9E0A}; }
    int processorCount() const override { return 8; }
    std::vector<VolumeInfo> volumes() const override
    {
        return {{QStringLiteral("/"), VolumeKind::Fixed, 123456789012},
                {QStringLiteral("/media/mira/STICK"), VolumeKind::Removable, std::nullopt},
                {QStringLiteral("/mnt/band"), VolumeKind::Network, std::nullopt},
                {QStringLiteral("/media/cdrom0"), VolumeKind::CdRom, std::nullopt}};
    }
    QString defaultPrinter() const override { return QStringLiteral("Office_Laser"); }
    DisplayInfo display() const override { return {2560, 1440, bitsPerPixel, 2}; }
    MouseInfo mouse() const override { return {true, 5, true}; }
    std::vector<LoadedModule> loadedModules() const override { return modules; }
    std::optional<FileFacts> fileFacts(const QString& path) const override
    {
        const auto found = files.find(path);
        if (found == files.end())
            return std::nullopt;
        return found->second;
    }
    std::optional<VersionResource> versionResource(const QString& path) const override
    {
        if (path != executable)
            return std::nullopt;
        return ownVersionResource(path);
    }
    QDateTime now() const override { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); }

    const QString executable = QStringLiteral("/opt/lentaro/bin/lentaro");
    const QString qtCore = QStringLiteral("/usr/lib/x86_64-linux-gnu/libQt6Core.so.6.4.2");
    QString hostName = QStringLiteral("studio");
    int bitsPerPixel = 32;
    MemoryInfo memoryInfo{17179869184, 8589934592 + 5000, 19327352832, 10737418240};
    std::map<QString, FileFacts> files;
    std::vector<LoadedModule> modules;
};

// Dates and numbers as an American machine writes them, whatever this machine's locale.
class AmericanLocale
{
public:
    AmericanLocale() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    ~AmericanLocale() { QLocale::setDefault(previous_); }
    AmericanLocale(const AmericanLocale&) = delete;
    AmericanLocale& operator=(const AmericanLocale&) = delete;

private:
    QLocale previous_;
};

} // namespace lentaro::test
