#include "platform/cd/UiHandOver.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

namespace lentaro::cd {

UiHandOver::UiHandOver() : m_wakeUp(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (!m_wakeUp.isOpen())
        throw std::runtime_error("no eventfd for handing work to the user-interface thread");
    m_notifier = std::make_unique<QSocketNotifier>(m_wakeUp.fd(), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { runPosted(); });
}

UiHandOver::~UiHandOver() = default;

void UiHandOver::post(std::function<void()> work)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_posted.push_back(std::move(work));
    }
    const std::uint64_t one = 1;
    while (::write(m_wakeUp.fd(), &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void UiHandOver::runPosted()
{
    std::uint64_t count = 0;
    while (::read(m_wakeUp.fd(), &count, sizeof count) < 0 && errno == EINTR) {
    }
    std::vector<std::function<void()>> posted;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        posted.swap(m_posted);
    }
    const std::weak_ptr<bool> alive = m_alive;
    for (auto& work : posted) {
        if (alive.expired())
            return;
        work();
    }
}

} // namespace lentaro::cd
