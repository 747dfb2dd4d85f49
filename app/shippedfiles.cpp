#include "app/shippedfiles.h"

#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace lentaro {

namespace {

// The manual is the program's, not the user's: a later build's manual replaces the one an
// earlier build left, where the database template and layouts, which the user changes, never are.
bool followsTheBuild(const QString& relativePath)
{
    return relativePath == QStringLiteral("Lentaro Manual.pdf");
}

bool sameContents(const QString& first, const QString& second)
{
    QFile a(first);
    QFile b(second);
    if (a.size() != b.size() || !a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
        return false;
    return a.readAll() == b.readAll();
}

// Copied under a temporary name and renamed into place, so an interrupted copy never looks
// finished. Only a replaced file is renamed over; otherwise one that appeared meanwhile stays.
void copyInto(const QString& source, const QString& target, bool replace)
{
    QDir().mkpath(QFileInfo(target).absolutePath());
    const QString partial = target + QStringLiteral(".copying");
    QFile::remove(partial);
    if (!QFile::copy(source, partial)) {
        throw RuntimeError(errorNumbers::pathFileAccess,
                           QStringLiteral("Cannot copy %1 to %2").arg(source, partial));
    }
    QFile::setPermissions(partial, QFile::permissions(partial) | QFileDevice::WriteOwner);
    if (replace
        && ::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData())
               == 0)
        return;
    // QFile::rename() never replaces a file, so one that appeared meanwhile stays as it is.
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        if (!QFileInfo::exists(target)) {
            throw RuntimeError(errorNumbers::pathFileAccess,
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
            throw RuntimeError(errorNumbers::pathNotFound,
                               QStringLiteral("Path not found: ") + from);
        QDirIterator files(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString file = files.next();
            const QString relative = source.relativeFilePath(file);
            const QString target = QDir(to).filePath(relative);
            if (!QFileInfo::exists(target))
                copyInto(file, target, false);
            else if (followsTheBuild(relative) && !sameContents(file, target))
                copyInto(file, target, true);
        }
        return true;
    });
}

} // namespace lentaro
