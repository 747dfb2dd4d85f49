#include "app/userinterfacethread.h"

#include "app/programstate.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <mutex>
#include <utility>
#include <vector>

namespace lentaro {

namespace {

// Holds the work handed over and runs it on the thread of the application object. The work
// itself crosses under a standard mutex, so a thread checker sees the hand-over; the queued
// call only wakes the receiver.
class HandOver : public QObject
{
    Q_OBJECT

public:
    explicit HandOver(QThread* userInterface) { moveToThread(userInterface); }

    void post(std::function<void()> work)
    {
        bool wakeNeeded = false;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            wakeNeeded = pending_.empty();
            pending_.push_back(std::move(work));
        }
        // One wake-up drains everything posted before it runs.
        if (wakeNeeded)
            QMetaObject::invokeMethod(this, "runPending", Qt::QueuedConnection);
    }

private slots:
    void runPending()
    {
        std::vector<std::function<void()>> taken;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            taken.swap(pending_);
        }
        for (std::function<void()>& work : taken) {
            if (!programState().gvExiting)
                work();
        }
    }

private:
    std::mutex mutex_;
    std::vector<std::function<void()>> pending_;
};

} // namespace

void postToUserInterface(std::function<void()> work)
{
    const QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    // Made by the first caller, whichever thread that is, and kept for the rest of the run.
    static HandOver* const handOver = new HandOver(application->thread());
    handOver->post(std::move(work));
}

} // namespace lentaro

#include "userinterfacethread.moc"
