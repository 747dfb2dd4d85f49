#pragma once

#include "platform/registry/FileHandle.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QSocketNotifier;

namespace lentaro {

// The one way to hand work from another thread to the user-interface thread, which owns every
// window, timer and the database: the work runs there from the event loop, in the order it was
// posted, after whatever call posted it has returned. Posting is callable from any thread and
// does not wait. The work passes through a mutex and the wake-up through an eventfd, both of
// which ThreadSanitizer sees; no Qt object is touched off the user-interface thread.
//
// An object whose threads report back owns a hand-over, made on the user-interface thread while
// there is an application object, and outliving those threads; work not yet run when it is
// destroyed is dropped. Work that belongs to no object goes through the program-wide one
// (postProgramWide).
class UiHandOver
{
public:
    UiHandOver();
    ~UiHandOver();
    UiHandOver(const UiHandOver&) = delete;
    UiHandOver& operator=(const UiHandOver&) = delete;

    void post(std::function<void()> work);

    // Through the hand-over that each application object makes on its thread as it starts and
    // destroys as it ends. Work posted while there is no application object is dropped, and so
    // is work that has not run when it ends.
    static void postProgramWide(std::function<void()> work);

private:
    void runPosted();

    registry::FileHandle m_wakeUp;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::mutex m_mutex;
    std::vector<std::function<void()>> m_posted;
    // Expires with the hand-over, which a piece of work may destroy (its owner's slot deletes it).
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace lentaro
