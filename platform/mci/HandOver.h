#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QSocketNotifier;

namespace lentaro::mci {

// Hands work from the devices' threads to the user-interface thread, which runs it from its
// event loop in the order it was posted. The work passes through a mutex and the wake-up through
// an eventfd, both of which a thread checker sees; no Qt object is touched off the user-interface
// thread. Work not yet run when the hand-over goes is dropped.
class HandOver
{
public:
    HandOver();
    ~HandOver();
    HandOver(const HandOver&) = delete;
    HandOver& operator=(const HandOver&) = delete;

    // From any thread.
    void post(std::function<void()> work);

private:
    void runPosted();

    int wakeUp_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::mutex mutex_;
    std::vector<std::function<void()>> posted_;
    // Expires with the hand-over, which a piece of work may end (by closing its device).
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace lentaro::mci
