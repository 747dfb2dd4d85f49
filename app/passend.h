#pragma once

#include "platform/shell/service.h"

#include <cstdint>

namespace lentaro {

// The main window as the end of an engine pass reaches it, on the user-interface thread.
class PassEndReceiver
{
public:
    virtual ~PassEndReceiver() = default;

    // result: the engine's result for the pass.
    virtual void passEnded(std::int32_t result) = 0;
};

// The main window puts itself in place once it exists; until then the end of a pass reaches
// nobody (and never makes a main window).
extern Service<PassEndReceiver> passEndReceiver;

// What the engine runner calls, on the pass's worker thread, at the end of each pass (the
// completion callback registered at start-up). It touches nothing there: the result goes to the
// user-interface thread (postToUserInterface) and reaches passEndReceiver, unless the program is
// exiting by then.
void handOverPassEnd(std::int32_t result);

} // namespace lentaro
