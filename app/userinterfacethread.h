#pragma once

#include <functional>

namespace lentaro {

// Hands work that belongs to no window (the end of an engine pass) to the user-interface thread,
// through the program-wide hand-over (platform/shell/uihandover.h): callable from any thread; the
// caller does not wait. Work that reaches the user-interface thread while the program exits is
// dropped, and so is work handed over while there is no application object to run it.
void postToUserInterface(std::function<void()> work);

} // namespace lentaro
