#include "platform/mci/DoneQueue.h"

namespace lentaro::mci {

DoneQueue::DoneQueue(std::function<void(NotifyCode)> deliver, QObject* parent)
    : QObject(parent), deliver_(std::move(deliver))
{
}

void DoneQueue::push(NotifyCode code)
{
    waiting_.push_back(code);
    schedule();
}

void DoneQueue::schedule()
{
    if (posted_ || delivering_ || waiting_.empty())
        return;
    posted_ = true;
    QMetaObject::invokeMethod(this, &DoneQueue::deliverNext, Qt::QueuedConnection);
}

void DoneQueue::deliverNext()
{
    posted_ = false;
    if (delivering_ || waiting_.empty())
        return;
    const NotifyCode code = waiting_.front();
    waiting_.pop_front();
    delivering_ = true;
    // The flag falls back even when the handler throws, or no notification would come again.
    struct Delivered {
        DoneQueue& queue;
        ~Delivered()
        {
            queue.delivering_ = false;
            queue.schedule();
        }
    } delivered{*this};
    deliver_(code);
}

} // namespace lentaro::mci
