#include "platform/shell/uihandover.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>
#include <utility>

namespace lentaro {

namespace {

// The program-wide hand-over of the application object there is now; null while there is none.
std::mutex programWideMutex;
UiHandOver* programWide = nullptr;

void endProgramWide()
{
    const std::lock_guard<std::mutex> lock(programWideMutex);
    delete std::exchange(programWide, nullptr);
}

// Runs on the application object's thread as the object is made; Qt allows one at a time.
void startProgramWide()
{
    auto* made = new UiHandOver;
    {
        const std::lock_guard<std::mutex> lock(programWideMutex);
        programWide = made;
    }
    qAddPostRoutine(&endProgramWide);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startProgramWide)

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
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_posted.push_back(std::move(work));
    }
    const std::uint64_t one = 1;
    while (::write(m_wakeUp.fd(), &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void UiHandOver::postProgramWide(std::function<void()> work)
{
    // Held while posting, so that the application object cannot end the hand-over meanwhile.
    const std::lock_guard<std::mutex> lock(programWideMutex);
    if (programWide)
        programWide->post(std::move(work));
}

void UiHandOver::runPosted()
{
    std::uint64_t count = 0;
    while (::read(m_wakeUp.fd(), &count, sizeof count) < 0 && errno == EINTR) {
    }
    std::vector<std::function<void()>> posted;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        posted.swap(m_posted);
    }
    const std::weak_ptr<bool> alive = m_alive;
    for (auto& work : posted) {
        if (alive.expired())
            return;
        work();
    }
}

} // namespace lentaro
