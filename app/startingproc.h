#pragma once

#include "player/pallomi.h"

#include <functional>

namespace lentaro {

class ProgramFolderOwner;

// What start-up gets from the program that assembles it.
struct StartupLinks {
    // Registered with the engine runner: every pass calls it on its worker thread as it ends.
    PlayFileCallBack passEnded = nullptr;
    // Loads the main window hidden; the main window shows itself once its own start-up is done.
    std::function<void()> loadMainWindow;
    // Claims the program folder for this start; none: the folder is not claimed.
    ProgramFolderOwner* folderOwner = nullptr;
};

// The program's start. A program folder that is the root folder gets a box and the exit path,
// before anything is written into it, as does one that another Lentaro owns and that does not
// answer; one whose owner answers brings that one forward and takes the exit path without a
// word. Otherwise the shipped files the folder lacks are copied
// into it; a leftover "drivers" folder brings up the status window for the main window's
// start-up to close; then, with gvStartingUp set, cleanupASPI, handleOldMDB and
// initializePhase2 run in that order. Each step's run-time error goes to the central handler
// and start-up goes on with the next.
void Main(const StartupLinks& links);

// Removes the "drivers" folder of the program folder, with everything in it, when there is one.
void cleanupASPI();

// Once per user (the preference oldDBHandled), adopts the database of an older installation,
// "Program Files/Lentaro II/lentaro.mdb" under the program folder, when that file opens as a
// database: it replaces lentaro.mdb, which is kept as lentaro.mdb.bak, and a dbVersion of 7
// or more becomes 6 so the main window upgrades the adopted file. A file that is no database
// is left alone. A failed adoption leaves lentaro.mdb as it was and oldDBHandled unset, so the
// next start tries again.
void handleOldMDB();

// Binds the engine runner (engineRunner) to "libkelvor.so" and registers the callback, sets the
// sound layer up (setUpSound), reads "Show Tips at Startup", checks that the CD drive is free,
// shows the about window without its buttons as the splash and loads the main window, with the
// hourglass up from the splash until the main window has loaded (or failed to).
void initializePhase2(const StartupLinks& links);

} // namespace lentaro
