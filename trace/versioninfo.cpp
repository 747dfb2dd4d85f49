#include "trace/versioninfo.h"

#include "trace/buildversion.h"
#include "trace/reportformat.h"

#include <QFileInfo>

#include <iterator>

namespace lentaro {

namespace {

const char* const fieldNames[] = {
    "Comments",       "InternalName",   "ProductName",      "CompanyName",
    "LegalCopyright", "ProductVersion", "FileDescription",  "LegalTrademarks",
    "PrivateBuild",   "FileVersion",    "OriginalFilename", "SpecialBuild",
};

} // namespace

QString versionFieldName(int field)
{
    if (field < 0 || field >= static_cast<int>(std::size(fieldNames)))
        return {};
    return QString::fromLatin1(fieldNames[field]);
}

QString projectVersionText()
{
    return QStringLiteral("%1.%2.%3")
        .arg(LENTARO_VERSION_MAJOR)
        .arg(LENTARO_VERSION_MINOR)
        .arg(LENTARO_VERSION_PATCH);
}

VersionResource ownVersionResource(const QString& executablePath)
{
    const QFileInfo executable(executablePath);
    const QString product = QStringLiteral(LENTARO_PRODUCT_NAME);
    return {
        {versionFieldName(InternalName), executable.completeBaseName()},
        {versionFieldName(OriginalFilename), executable.fileName()},
        {versionFieldName(ProductName), product},
        {versionFieldName(FileDescription), product},
        {versionFieldName(ProductVersion), projectVersionText()},
        {versionFieldName(FileVersion), projectVersionText()},
    };
}

QString pfVersionInfoField(const SystemProbe& probe, const QString& path, int field)
{
    const std::optional<VersionResource> resource = probe.versionResource(path);
    if (!resource)
        return {};
    const QString name = versionFieldName(field);
    if (name.isEmpty())
        return {};
    return resource->value(name, QStringLiteral("<Not Found>"));
}

QString pfModuleVersionLine(const SystemProbe& probe, int indent)
{
    const QString lineEnd = QStringLiteral("\r\n");
    QString listing;
    for (const LoadedModule& module : probe.loadedModules()) {
        const QString& path = module.path;
        listing +=
            QString(indent + 2, QLatin1Char(' ')) + path + QStringLiteral("       FileVersion: ")
            + pfVersionInfoField(probe, path, FileVersion) + QStringLiteral(" ProductVersion: ")
            + pfVersionInfoField(probe, path, ProductVersion) + QStringLiteral(" ProductName: ")
            + pfVersionInfoField(probe, path, ProductName) + QStringLiteral(" CompanyName: ")
            + pfVersionInfoField(probe, path, CompanyName) + QStringLiteral(" FileDescription: ")
            + pfVersionInfoField(probe, path, FileDescription) + QStringLiteral("  Created: ")
            + pfFileDateText(probe, path, 1) + lineEnd;
    }
    return listing.isEmpty() ? lineEnd : listing;
}

QString pfFileDateText(const SystemProbe& probe, const QString& path, int kind)
{
    const std::optional<FileFacts> facts = probe.fileFacts(path);
    if (!facts)
        return {};
    switch (kind) {
    case 0:
        return generalDateText(facts->accessed);
    case 1:
        return generalDateText(facts->created);
    case 2:
        return generalDateText(facts->modified);
    default:
        return {};
    }
}

QString pfWindowsVersionText(const SystemProbe& probe)
{
    const std::optional<OperatingSystemInfo> system = probe.operatingSystem();
    if (!system)
        return {};
    return system->kernelName + QLatin1Char(' ') + system->kernelRelease
           + QStringLiteral("  (Build ") + system->kernelVersion + QStringLiteral(") ")
           + system->distribution;
}

QString pfHex8(std::uint32_t value, int width)
{
    return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper().right(width);
}

QString pfCString(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

} // namespace lentaro
