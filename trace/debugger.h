#pragma once

namespace lentaro {

// True when the program runs under one of the developer's debuggers (gdb, lldb, or their
// remote servers); the runtime then offers to stop in it.
bool insideDevelopmentEnvironment();

// Stops in the attached debugger; does nothing when none is attached.
void breakIntoDebugger();

} // namespace lentaro
