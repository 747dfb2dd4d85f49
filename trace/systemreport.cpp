#include "trace/systemreport.h"

#include "trace/reportformat.h"
#include "trace/versioninfo.h"

#include <cmath>

namespace lentaro {

namespace {

const QString lineEnd = QStringLiteral("\r\n");
// What the report shows for a setting this system does not have.
const QString unknown = QStringLiteral("<Unknown>");

QString yesNo(bool value)
{
    return value ? QStringLiteral("Yes") : QStringLiteral("No");
}

void addLine(QString& report, const char* label, const QString& value)
{
    report += QLatin1String(label) + value + lineEnd;
}

void addHeading(QString& report, const QString& heading)
{
    report += heading + lineEnd;
}

QString kilobytes(std::uint64_t bytes)
{
    return groupedNumber(bytes / 1024) + QLatin1Char('K');
}

QString volumeLine(const VolumeInfo& volume)
{
    const QString head =
        QStringLiteral("   Drive ") + volume.mountPoint + QStringLiteral(":...........");
    switch (volume.kind) {
    case VolumeKind::Unknown:
        return head + QStringLiteral("Unknown   ");
    case VolumeKind::Removable:
        return head + QStringLiteral("Floppy    ");
    case VolumeKind::Network:
        return head + QStringLiteral("Network   ");
    case VolumeKind::CdRom:
        return head + QStringLiteral("CD        ");
    case VolumeKind::Fixed:
        if (volume.freeBytes)
            return head + QStringLiteral("Fixed     ") + groupedNumber(*volume.freeBytes / 1000)
                   + QStringLiteral(" KB Free");
        return head + QStringLiteral("Fixed     ");
    }
    return head;
}

} // namespace

QString pfComputerName(const SystemProbe& probe)
{
    return probe.computerName();
}

QString pfProcessorText(const ProcessorInfo& processor)
{
    switch (processor.type) {
    case 386:
    case 486:
        return QStringLiteral("Intel 386");
    case 586:
        break;
    case 4000:
        return QStringLiteral("MIPS R4000");
    case 21064:
        return QStringLiteral("Alpha 21064");
    default:
        return QStringLiteral("Unknown");
    }
    if (processor.level != 6)
        return QStringLiteral("Pentium");

    // The revision's high byte is the model, its low byte the stepping: both hexadecimal.
    const QString revision = pfHex8(static_cast<std::uint32_t>(processor.revision), 4);
    const QString modelText = revision.left(2);
    const QString stepping = revision.mid(2);
    bool ok = false;
    const int model = modelText.toInt(&ok, 16);
    if (!ok)
        return QStringLiteral("Unable to determine processor type");
    switch (model) {
    case 1:
        return QStringLiteral("Intel Pentium Pro, Model ") + modelText
               + QStringLiteral(", Stepping ") + stepping;
    case 3:
        return QStringLiteral("Intel Pentium II, Model 3 Stepping ") + stepping;
    case 5:
        return QStringLiteral("Intel Pentium II Model 5, Pentium II Xeon Model 5, or Celeron Model "
                              "5, Stepping ")
               + stepping;
    case 6:
        return QStringLiteral("Intel Celeron Model 6 Stepping, ") + stepping;
    default:
        if (model >= 7)
            return QStringLiteral("Intel Pentium III or Pentium III Xeon Model, ") + modelText
                   + QStringLiteral(" Stepping ") + stepping;
        return QStringLiteral("Unable to determine processor type");
    }
}

QString pfCpuCountText(const SystemProbe& probe)
{
    return QString::number(probe.processorCount());
}

QString pfColorDepthText(const SystemProbe& probe)
{
    const int bits = probe.display().bitsPerPixel;
    if (bits == 24)
        return QStringLiteral("True Color");
    if (bits < 0 || bits > 63)
        return {};
    return QString::number(std::uint64_t{1} << bits);
}

QString pfScreenSizeText(const SystemProbe& probe)
{
    const DisplayInfo display = probe.display();
    return QString::number(display.width) + QStringLiteral(" x ") + QString::number(display.height);
}

QString pfMonitorCountText(const SystemProbe& probe)
{
    return QString::number(probe.display().monitorCount);
}

QString pfMouseButtonsText(const SystemProbe& probe)
{
    return QString::number(probe.mouse().buttons);
}

QString pfMouseWheelText(const SystemProbe& probe)
{
    return yesNo(probe.mouse().wheel);
}

QString pfMideastText(const SystemProbe& probe)
{
    return yesNo(probe.rightToLeftLanguage());
}

QString pfDbcsText()
{
    return yesNo(false);
}

QString pfLanguageText(const SystemProbe& probe)
{
    return probe.languageName();
}

QString pfCountryText(const SystemProbe& probe)
{
    return probe.countryName();
}

void pfDrivesReport(const SystemProbe& probe, QString& report)
{
    addHeading(report, QStringLiteral("Drives"));
    const std::vector<VolumeInfo> volumes = probe.volumes();
    std::size_t removable = 0;
    for (const VolumeInfo& volume : volumes)
        removable += volume.kind == VolumeKind::Removable ? 1 : 0;
    addLine(report, "   Floppies............", QString::number(removable));
    addLine(report, "   Disks...............", QString::number(volumes.size() - removable));
    for (const VolumeInfo& volume : volumes)
        report += volumeLine(volume) + lineEnd;
}

QString pfSystemReport(const SystemProbe& probe, const ReportedProgram& program)
{
    QString report;
    const QString computer = pfComputerName(probe);
    addHeading(report, computer.isEmpty()
                           ? QStringLiteral("Application")
                           : QStringLiteral("Application running on computer ") + computer);
    addLine(report, "   Title...............", probe.applicationTitle());
    addLine(report, "   Path................", probe.applicationFolder());
    addLine(report, "   Project Version.....", projectVersionText());
    addLine(report, "   OLE Server..........", QStringLiteral("NO"));
    addLine(report, "   Previous Instance...",
            probe.previousInstanceRunning() ? QStringLiteral("True") : QStringLiteral("False"));
    if (!program.developmentEnvironment) {
        addLine(report, "  EXE Name............", program.executableName);
        // The running executable itself: its date and size are what identify the build.
        if (const std::optional<FileFacts> executable = probe.fileFacts(probe.executablePath())) {
            if (executable->modified.isValid())
                addLine(report, "  EXE Time Stamp......", generalDateText(executable->modified));
            addLine(report, "  EXE Size............",
                    groupedNumber(static_cast<std::uint64_t>(executable->size))
                        + QStringLiteral(" bytes"));
        }
        report += lineEnd;
    }

    addHeading(report, QStringLiteral("Operating System"));
    addLine(report, "   Windows Version......", pfWindowsVersionText(probe));
    addLine(report, "   Debug Kernel........", QStringLiteral("No"));
    addLine(report, "   Language............", pfLanguageText(probe));
    addLine(report, "   Mideast.............", pfMideastText(probe));
    addLine(report, "   DCBS................", pfDbcsText());
    addLine(report, "   Windows Directory...", unknown);
    addLine(report, "   Current Path........", probe.currentFolder());

    addHeading(report, QStringLiteral("Memory Information"));
    const MemoryInfo memory = probe.memory();
    addLine(report, "   Total Physical......", kilobytes(memory.totalPhysical));
    if (memory.availablePhysical / 1024 < 1)
        report += QStringLiteral("   Available Physical..<none>") + lineEnd;
    else
        addLine(report, "   Available Physical..", kilobytes(memory.availablePhysical));
    addLine(report, "   Virtual Memory......", kilobytes(memory.totalVirtual));
    addLine(report, "   Available Virtual...", kilobytes(memory.availableVirtual));
    if (memory.totalPhysical > 0) {
        const double percentFree = static_cast<double>(memory.availablePhysical)
                                   / static_cast<double>(memory.totalPhysical) * 100.0;
        addLine(report, "   Pct Physical Free...",
                QString::number(percentFree, 'f', 2) + QLatin1Char('%'));
    }

    addHeading(report, QStringLiteral("Processor"));
    addLine(report, "   CPU.................", pfProcessorText(probe.processor()));
    addLine(report, "   Number of CPUs......", pfCpuCountText(probe));

    pfDrivesReport(probe, report);

    addHeading(report, QStringLiteral("Printer"));
    const QString printer = probe.defaultPrinter();
    addLine(report, "   Driver..............", printer.isEmpty() ? unknown : printer);

    addHeading(report, QStringLiteral("Ports"));
    addLine(report, "   Serial Driver.......", unknown);
    addLine(report, "   Com1................", unknown);
    addLine(report, "   Com2................", unknown);
    addLine(report, "   Com3................", unknown);
    addLine(report, "   Com4................", unknown);

    addHeading(report, QStringLiteral("Network"));
    addLine(report, "   Driver..............", unknown);
    addLine(report, "   Description.........", unknown);

    addHeading(report, QStringLiteral("General Video Information"));
    const QString colors = pfColorDepthText(probe);
    bool numeric = false;
    const qulonglong colorCount = colors.toULongLong(&numeric);
    addLine(report, "   Colors.......................",
            numeric ? groupedNumber(colorCount) : colors);
    addLine(report, "   Screen size..............", pfScreenSizeText(probe));
    addLine(report, "   Number of Monitors..", pfMonitorCountText(probe));

    addHeading(report, QStringLiteral("Mouse"));
    addLine(report, "   Mouse Present.......", yesNo(probe.mouse().present));
    addLine(report, "   Driver..............", unknown);
    addLine(report, "   Description.........", unknown);
    addLine(report, "   Mouse Buttons.......", pfMouseButtonsText(probe));
    addLine(report, "   Mouse Wheel.......", pfMouseWheelText(probe));

    addHeading(report, QStringLiteral("Keyboard"));
    addLine(report, "   Driver..............", unknown);
    addLine(report, "   Description.........", unknown);

    addHeading(report, QStringLiteral("Other Components Running In Process"));
    report += pfModuleVersionLine(probe, 1) + lineEnd;
    return report;
}

} // namespace lentaro
