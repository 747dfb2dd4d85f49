#include "app/shippedfiles.h"

#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace lentaro {

namespace {

constexpr std::int32_t pathNotFound = 76;
constexpr std::int32_t pathFileAccessError = 75;

void copyWhenMissing(const QString& source, const QString& target)
{
    if (QFileInfo::exists(target))
        return;
    QDir().mkpath(QFileInfo(target).absolutePath());
    const QString partial = target + QStringLiteral(".copying");
    QFile::remove(partial);
    if (!QFile::copy(source, partial)) {
        throw RuntimeError(pathFileAccessError,
                           QStringLiteral("Cannot copy %1 to %2").arg(source, partial));
    }
    QFile::setPermissions(partial, QFile::permissions(partial) | QFileDevice::WriteOwner);
    // rename() never replaces a file, so one that appeared meanwhile stays as it is.
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        if (!QFileInfo::exists(target)) {
            throw RuntimeError(pathFileAccessError,
                               QStringLiteral("Cannot rename %1 to %2").arg(partial, target));
        }
    }
}

} // namespace

QString shippedFolder()
{
    // /proc/self/exe works before any QCoreApplication exists.
    const QFileInfo exe(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
    return QDir::cleanPath(exe.absolutePath() + QStringLiteral("/../share/lentaro"));
}

bool copyShippedFiles(const QString& from, const QString& to)
{
    TraceScope trace("startingproc", "Function copyShippedFiles", {{"from", from}, {"to", to}});
    return trace.run(false, [&] {
        const QDir source(from);
        if (!source.exists())
            throw RuntimeError(pathNotFound, QStringLiteral("Path not found: ") + from);
        QDirIterator files(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString file = files.next();
            copyWhenMissing(file, QDir(to).filePath(source.relativeFilePath(file)));
        }
        return true;
    });
}

} // namespace lentaro
