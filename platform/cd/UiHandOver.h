#pragma once

#include "platform/registry/FileHandle.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QSocketNotifier;

namespace lentaro::cd {

// Hands work from any thread to the thread that made the hand-over (the user-interface thread),
// which runs it from its event loop, in the order it was posted, after whatever call posted it
// has returned. The work passes through a mutex and the wake-up through an eventfd, both of which
// ThreadSanitizer sees; no Qt object is touched off that thread. Work not yet run when the
// hand-over is destroyed is dropped. Needs a QCoreApplication.
class UiHandOver
{
public:
    UiHandOver();
    ~UiHandOver();
    UiHandOver(const UiHandOver&) = delete;
    UiHandOver& operator=(const UiHandOver&) = delete;

    void post(std::function<void()> work);

private:
    void runPosted();

    registry::FileHandle m_wakeUp;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::mutex m_mutex;
    std::vector<std::function<void()>> m_posted;
    // Expires with the hand-over, which a piece of work may destroy (its owner's slot deletes it).
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace lentaro::cd
