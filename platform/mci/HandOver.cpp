#include "platform/mci/HandOver.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

namespace lentaro::mci {

HandOver::HandOver() : wakeUp_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (wakeUp_ < 0)
        throw std::runtime_error("no eventfd to hand work to the user-interface thread");
    notifier_ = std::make_unique<QSocketNotifier>(wakeUp_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { runPosted(); });
}

HandOver::~HandOver()
{
    notifier_.reset();
    ::close(wakeUp_);
}

void HandOver::post(std::function<void()> work)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        posted_.push_back(std::move(work));
    }
    const std::uint64_t one = 1;
    while (::write(wakeUp_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void HandOver::runPosted()
{
    std::uint64_t count = 0;
    while (::read(wakeUp_, &count, sizeof count) < 0 && errno == EINTR) {
    }
    std::vector<std::function<void()>> posted;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        posted.swap(posted_);
    }
    const std::weak_ptr<bool> alive = alive_;
    for (auto& work : posted) {
        if (alive.expired())
            return;
        work();
    }
}

} // namespace lentaro::mci
