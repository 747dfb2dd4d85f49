#include "app/storagetrouble.h"

#include "platform/shell/programfolder.h"
#include "soundfile/regular_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace lentaro {

namespace {

// A change of the database writes a few pages into its journal and into the file itself.
constexpr std::size_t probeBytes = 16 * 1024;

enum class Room { Enough, Full, ReadOnly };

Room roomAfter(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return Room::Full;
    case EROFS:
    case EACCES:
    case EPERM:
        return Room::ReadOnly;
    default: // 0 among them: it took the file
        return Room::Enough;
    }
}

// Whether the folder takes a new file of a few pages: one is written out to the disk and
// removed again.
Room folderRoom(const QString& folder)
{
    const std::string probe =
        QFile::encodeName(folder + QStringLiteral("/.room-")
                          + QString::number(QCoreApplication::applicationPid()))
            .toStdString();
    const kv::RegularFile file = kv::openRegularFile(probe, O_WRONLY | O_CREAT);
    if (!file.opened())
        return file.standing ? Room::Enough : roomAfter(file.error);
    const std::vector<char> pages(probeBytes, 0);
    int error = 0;
    for (std::size_t written = 0; written < pages.size() && error == 0;) {
        const ssize_t count =
            ::write(file.descriptor, pages.data() + written, pages.size() - written);
        if (count > 0)
            written += static_cast<std::size_t>(count);
        else
            error = count < 0 ? errno : ENOSPC;
    }
    if (error == 0 && ::fsync(file.descriptor) != 0)
        error = errno;
    ::close(file.descriptor);
    ::unlink(probe.c_str());
    return roomAfter(error);
}

} // namespace

QString storageTrouble()
{
    const QString folder = programFolder();
    switch (folderRoom(folder)) {
    case Room::Full:
        return QStringLiteral("the program folder %1 is full. Free some space on its disk and try "
                              "again")
            .arg(folder);
    case Room::ReadOnly:
        return QStringLiteral("the program folder %1 is read-only. Make it writable, or set "
                              "LENTARO_HOME to another folder, and try again")
            .arg(folder);
    case Room::Enough:
        break;
    }
    // The program opens a database without write permission read-only, even for root.
    const QFileInfo database(folder + QStringLiteral("/lentaro.mdb"));
    if (database.isFile()
        && (!database.isWritable() || !(database.permissions() & QFileDevice::WriteOwner)))
        return QStringLiteral("the database %1 is read-only. Make it writable and try again")
            .arg(database.filePath());
    return QString();
}

} // namespace lentaro
