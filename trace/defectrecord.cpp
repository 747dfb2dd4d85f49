#include "trace/defectrecord.h"

#include "trace/errortexts.h"
#include "trace/reportformat.h"
#include "trace/systemreport.h"
#include "trace/versioninfo.h"

namespace lentaro {

namespace {

const QString lineEnd = QStringLiteral("\r\n");

QString blanks(int count)
{
    return QString(count, QLatin1Char(' '));
}

// A label at `indent` and its value on the next line, two blanks further in.
QString field(int indent, const char* label, const QString& value)
{
    return blanks(indent) + QLatin1String(label) + lineEnd + blanks(indent + 2) + value + lineEnd;
}

} // namespace

QString pfUserName(const SystemProbe& probe)
{
    return probe.userName();
}

QString pfPhysicalMemoryText(const SystemProbe& probe)
{
    constexpr std::uint64_t megabyte = 1048576;
    return QString::number((probe.memory().totalPhysical + megabyte - 1) / megabyte);
}

QString pfDateTimeText(const SystemProbe& probe)
{
    return generalDateText(probe.now());
}

QString pfSynopsis(const ErrorReport& report)
{
    return report.error.description;
}

QString pfProductText()
{
    return QStringLiteral("Sentrix ") + runtimeVersionText();
}

QString pfModuleTimeStamp(const LoadedModule& module)
{
    if (module.buildId.isEmpty())
        return {};
    QString digits = QString::fromLatin1(module.buildId.toHex()).toUpper();
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    return QStringLiteral("&h") + digits;
}

QString pfFileSize(const SystemProbe& probe, const QString& path)
{
    const std::optional<FileFacts> facts = probe.fileFacts(path);
    if (!facts || facts->size <= 0)
        return {};
    return QString::number(facts->size);
}

QString pfModuleListing(const SystemProbe& probe, int indent)
{
    const std::vector<LoadedModule> modules = probe.loadedModules();
    QString listing = blanks(indent) + QString::number(modules.size()) + lineEnd;
    for (const LoadedModule& module : modules) {
        const QString& path = module.path;
        const QString size = pfFileSize(probe, path);
        listing += field(indent, "NAME:", path);
        listing +=
            field(indent, "SIZE:", size.isEmpty() ? size : groupedNumber(size.toULongLong()));
        // The date of the last change, as the label says.
        listing += field(indent, "DATEMODIFIED:", pfFileDateText(probe, path, 2));
        listing += field(indent, "FILEVERSION:", pfVersionInfoField(probe, path, FileVersion));
        listing += field(indent, "DATECREATED:", pfModuleTimeStamp(module));
        listing +=
            field(indent, "PRODUCTVERSION:", pfVersionInfoField(probe, path, ProductVersion));
        listing += field(indent, "PRODUCTNAME:", pfVersionInfoField(probe, path, ProductName));
        listing += field(indent, "COMPANYNAME:", pfVersionInfoField(probe, path, CompanyName));
        listing +=
            field(indent, "FILEDESCRIPTION:", pfVersionInfoField(probe, path, FileDescription));
    }
    return listing;
}

QString pfDefectDescription(const ErrorReport& report, int indent)
{
    const ErrorRecord& error = report.error;
    const std::pair<const char*, QString> rows[] = {
        {"Category- ", error.category},
        {"Source- ", error.source},
        {"Module- ", error.module},
        {"Procedure- ", error.procedure},
        {"Line Number- ", QString::number(error.lineNumber)},
        {"Error Number- ", QString::number(error.number)},
        {"Description- ", error.description},
        {"User Text- ", report.userNote},
    };
    QStringList lines;
    for (const auto& [label, value] : rows)
        lines << blanks(indent) + QString::fromLatin1(label).leftJustified(15, QLatin1Char(' '))
                     + value;
    return lines.join(lineEnd);
}

QString pfStackText(const ErrorReport& report, int indent)
{
    QString text;
    for (const QString& entry : report.callTree)
        text += blanks(indent) + entry + lineEnd;
    return text;
}

QString defectRecord(const ErrorReport& report, const SystemProbe& probe,
                     const TraceSettings& settings)
{
    const ErrorRecord& error = report.error;
    QString record;
    record += field(0, "KEY:",
                    error.source + error.module + error.procedure
                        + QString::number(error.lineNumber) + QString::number(error.number));
    record += field(0, "REPORTED BY:", pfUserName(probe));
    record += QStringLiteral("CONFIGURATION:") + lineEnd;
    record += field(2, "MACHINE NAME:", pfComputerName(probe));
    record += field(2, "OS:", pfWindowsVersionText(probe));
    record += field(2, "CPU:", pfProcessorText(probe.processor()));
    record += field(2, "NUM CPU:", pfCpuCountText(probe));
    record += field(2, "PHYSICAL MEMORY:", pfPhysicalMemoryText(probe));
    record += field(2, "DISPLAY RESOLUTION:", pfScreenSizeText(probe));
    record += field(2, "COLOR PALETTE:", pfColorDepthText(probe));
    record += field(2, "NUM MONITORS:", pfMonitorCountText(probe));
    record += field(2, "NUM MOUSEBUTTONS:", pfMouseButtonsText(probe));
    record += field(2, "HAS MOUSEWHEEL:", pfMouseWheelText(probe));
    record += field(2, "COUNTRY:", pfCountryText(probe));
    record += field(2, "LANGUAGE:", pfLanguageText(probe));
    record += field(2, "MIDEAST:", pfMideastText(probe));
    record += field(2, "DBCS:", pfDbcsText());
    record += QStringLiteral("OTHER COMPONENTS:") + lineEnd + pfModuleListing(probe, 2);
    record += field(0, "PROJECT:", settings.quillmarkProject);
    record += field(0, "ASSIGNED TO:", settings.quillmarkAssignedTo);
    record += field(0, "DATE/TIME ENTERED:", pfDateTimeText(probe));
    record += field(0, "SYNOPSIS:", pfSynopsis(report));
    record += QStringLiteral("DESCRIPTION:") + lineEnd + pfDefectDescription(report, 2) + lineEnd;
    record += field(0, "PRODUCT:", pfProductText());
    record += QStringLiteral("STACK:") + lineEnd + pfStackText(report, 2) + lineEnd;
    return record;
}

MailMessage defectRecordMail(const QString& record, const TraceSettings& settings,
                             const std::optional<QByteArray>& circularLog)
{
    MailMessage message;
    message.to << settings.quillmarkAddress;
    message.subject =
        QStringLiteral("Sentrix New Defect [") + settings.quillmarkDatabase + QLatin1Char(']');
    message.body = record;
    if (circularLog) {
        message.attachments.push_back({QStringLiteral("CircularTrace.log"), *circularLog,
                                       QByteArrayLiteral("text/plain; charset=UTF-8")});
    }
    return message;
}

} // namespace lentaro
