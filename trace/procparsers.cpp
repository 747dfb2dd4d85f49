#include "trace/procparsers.h"

#include <QRegularExpression>
#include <QStringList>

namespace lentaro {

namespace {

// "\040" and the like, as the kernel escapes blanks, tabs and backslashes in mount fields.
QString unescapeMountField(const QString& field)
{
    QString text;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == QLatin1Char('\\') && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                text += QChar(code);
                i += 3;
                continue;
            }
        }
        text += field[i];
    }
    return text;
}

} // namespace

ProcessorInfo processorFromCpuinfo(const QString& cpuinfo)
{
    ProcessorInfo processor;
    bool x86 = false;
    int family = 0;
    int model = 0;
    int stepping = 0;
    const QStringList lines = cpuinfo.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty())
            break; // the first processor's block ends here
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        const QString key = line.left(colon).trimmed();
        const QString value = line.mid(colon + 1).trimmed();
        if (key == QLatin1String("vendor_id"))
            x86 = true;
        else if (key == QLatin1String("cpu family"))
            family = value.toInt();
        else if (key == QLatin1String("model"))
            model = value.toInt();
        else if (key == QLatin1String("stepping"))
            stepping = value.toInt();
    }
    if (!x86 || family <= 0)
        return processor;
    processor.type = family == 3 ? 386 : family == 4 ? 486 : 586;
    processor.level = family;
    processor.revision = ((model & 0xff) << 8) | (stepping & 0xff);
    return processor;
}

std::vector<MountEntry> parseMountTable(const QString& mounts)
{
    std::vector<MountEntry> entries;
    static const QRegularExpression blanks(QStringLiteral("[ \t]+"));
    for (const QString& line : mounts.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(blanks, Qt::SkipEmptyParts);
        if (fields.size() < 3)
            continue;
        entries.push_back({unescapeMountField(fields[0]), unescapeMountField(fields[1]),
                           unescapeMountField(fields[2])});
    }
    return entries;
}

std::optional<VolumeKind> volumeKind(const MountEntry& mount, bool removableDevice)
{
    static const QStringList networkTypes = {
        QStringLiteral("nfs"),  QStringLiteral("nfs4"),      QStringLiteral("cifs"),
        QStringLiteral("smb3"), QStringLiteral("smbfs"),     QStringLiteral("afs"),
        QStringLiteral("ceph"), QStringLiteral("glusterfs"), QStringLiteral("fuse.sshfs"),
        QStringLiteral("9p"),
    };
    if (networkTypes.contains(mount.type))
        return VolumeKind::Network;
    if (mount.type == QLatin1String("iso9660") || mount.type == QLatin1String("udf"))
        return VolumeKind::CdRom;
    if (mount.type == QLatin1String("squashfs"))
        return std::nullopt;
    if (mount.device.startsWith(QLatin1String("/dev/")))
        return removableDevice ? VolumeKind::Removable : VolumeKind::Fixed;
    if (mount.mountPoint == QLatin1String("/"))
        return VolumeKind::Fixed;
    return std::nullopt;
}

} // namespace lentaro
