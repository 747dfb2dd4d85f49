#pragma once

namespace lentaro {

// Stands in for the main window until it is built. Loaded hidden as "frmMain", it finishes
// start-up from the event loop as the main window does (the splash and the status window go,
// it shows itself, gvStartingUp ends), and closing it leaves through the exit path.
void loadPlaceholderMainWindow();

} // namespace lentaro
