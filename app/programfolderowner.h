#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace lentaro {

// The one Lentaro of a program folder, so that its database, working files and settings have
// one owner. The first start on a folder owns it: it holds a lock on the folder itself (which
// the system drops when the process ends, however it ends, so a crash never blocks the next
// start) and listens on a local socket named after the folder's canonical path (an abstract
// socket: a name that goes with the process, no file left behind). A later start on the same
// folder asks the owner, through that socket, to bring its main window forward
// (mainWindowFace().comeForward()) and ends.
class ProgramFolderOwner : public QObject
{
public:
    enum class Claim {
        Owned,      // this start owns the folder (or the folder cannot be locked at all)
        Forwarded,  // another Lentaro owns it and has come forward
        Unanswered, // another Lentaro owns it and did not answer in time
    };

    ProgramFolderOwner();
    ~ProgramFolderOwner() override;

    ProgramFolderOwner(const ProgramFolderOwner&) = delete;
    ProgramFolderOwner& operator=(const ProgramFolderOwner&) = delete;

    // Owns the folder, or hands over to its owner. Waits for the owner's answer at most
    // `answerWait` milliseconds: an owner that is still starting answers once its start-up
    // turns the event loop.
    Claim claim(const QString& folder, int answerWait = 10000);

private:
    bool lock(const QString& folder);
    void listen(const QString& name);
    void answer();

    int lockFile_ = -1;
    QLocalServer* server_ = nullptr;
};

// What the start on a folder that another Lentaro owns and that did not answer says.
QString folderInUseText(const QString& folder);

} // namespace lentaro
