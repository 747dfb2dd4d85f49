#pragma once

#include <functional>

namespace lentaro {

// The one way from another thread to the user-interface thread, which owns every window, timer
// and the database: `work` runs there once the events already waiting have been handled.
// Callable from any thread; the caller does not wait. Work that reaches the user-interface
// thread while the program exits is dropped, and so is work handed over while there is no
// application object to run it.
void postToUserInterface(std::function<void()> work);

} // namespace lentaro
