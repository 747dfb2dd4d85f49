#include "app/programfolderowner.h"

#include "app/mainwindowface.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lentaro {

namespace {

const QByteArray request = QByteArrayLiteral("come forward\n");
const QByteArray reply = QByteArrayLiteral("coming\n");

// One name per user and folder, whichever way the folder is written.
QString socketName(const QString& folder)
{
    QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QFileInfo(folder).absoluteFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(QFile::encodeName(canonical), QCryptographicHash::Sha256);
    return QStringLiteral("lentaro-%1-%2")
        .arg(::getuid())
        .arg(QString::fromLatin1(hash.toHex().left(32)));
}

// Asks the owner listening under `name` to come forward; true when it said it does.
bool askOwner(const QString& name, const QDeadlineTimer& deadline)
{
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(name);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    socket.write(request);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    return socket.readLine() == reply;
}

} // namespace

ProgramFolderOwner::ProgramFolderOwner() = default;

ProgramFolderOwner::~ProgramFolderOwner()
{
    if (server_)
        server_->close();
    if (lockFile_ >= 0)
        ::close(lockFile_);
}

bool ProgramFolderOwner::lock(const QString& folder)
{
    if (lockFile_ < 0) {
        lockFile_ =
            ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    if (lockFile_ < 0)
        return true;
    if (::flock(lockFile_, LOCK_EX | LOCK_NB) == 0)
        return true;
    // A folder that cannot be locked at all (a file system without locks) has no owner to
    // find: the program runs as it would without the lock.
    return errno != EWOULDBLOCK;
}

void ProgramFolderOwner::listen(const QString& name)
{
    server_ = new QLocalServer(this);
    // A name, not a file: it goes with the process, however the process ends.
    server_->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    connect(server_, &QLocalServer::newConnection, this, [this] { answer(); });
    server_->listen(name);
}

void ProgramFolderOwner::answer()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, socket, [socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == request) {
                mainWindowFace().comeForward();
                socket->write(reply);
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}

ProgramFolderOwner::Claim ProgramFolderOwner::claim(const QString& folder, int answerWait)
{
    const QString name = socketName(folder);
    const QDeadlineTimer deadline(answerWait);
    for (;;) {
        if (lock(folder)) {
            listen(name);
            return Claim::Owned;
        }
        if (askOwner(name, deadline))
            return Claim::Forwarded;
        if (deadline.hasExpired())
            return Claim::Unanswered;
        // The owner has taken the lock but does not listen yet, or has just ended.
        QThread::msleep(50);
    }
}

QString folderInUseText(const QString& folder)
{
    return QStringLiteral("Another Lentaro uses the program folder ") + folder
           + QStringLiteral(" and does not answer. Close it, or set LENTARO_HOME to another "
                            "folder, and start Lentaro again.");
}

} // namespace lentaro
