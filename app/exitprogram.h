#pragma once

#include "platform/shell/service.h"

namespace lentaro {

// The program's one way out: stops and releases the engine runner (engineRunner,
// enginerunner.h), deletes the working files when gvDeleteTempFiles is set, closes every
// window and ends the process (processEnd). Returns only to a call made while an exit is under
// way (or when a test's process end returns).
void exitProgram();

// Closes every top-level window through close(), so its close handlers run; hidden windows
// too. Windows deleted by an earlier one's handler are skipped.
void closeAllForms();

// What ends the process once every window is closed.
class ProcessEnd
{
public:
    virtual ~ProcessEnd() = default;

    virtual void endProcess() = 0;
};

// Unless replaced: stdio is flushed and the process ends at once, without running the
// destructors of objects the event loop still holds.
extern Service<ProcessEnd> processEnd;

} // namespace lentaro
