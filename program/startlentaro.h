#pragma once

namespace lentaro {

// Runs Lentaro: makes the application object (unless one exists, as when a test starts the
// program in-process), puts the error reporter in place, plugs the program's parts together,
// runs the start-up (Main) and then the event loop until the program ends. Returns the event
// loop's exit code, or 0 when the exit began during start-up.
int startLentaro(int& argc, char** argv);

} // namespace lentaro
