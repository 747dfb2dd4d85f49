#pragma once

#include <functional>

namespace lentaro {

class EngineRunner;

// The program's one way out: stops and releases the engine runner, deletes the working files
// when gvDeleteTempFiles is set, closes every window and ends the process. Returns only to a
// call made while an exit is under way (or when a test's quit action returns).
void exitProgram();

// Closes every top-level window through close(), so its close handlers run; hidden windows
// too. Windows deleted by an earlier one's handler are skipped.
void closeAllForms();

// The runner exit stops and releases; none (nullptr) until start-up binds one.
void setExitEngineRunner(EngineRunner* runner);

// What ends the process. Empty (the default): stdio is flushed and the process ends at once,
// without running the destructors of objects the event loop still holds.
void setExitQuitAction(std::function<void()> quit);

} // namespace lentaro
