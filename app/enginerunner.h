#pragma once

#include "platform/shell/service.h"

#include <cstdint>

namespace lentaro {

// The engine-pass runner as the program frame drives it (the library's KVPlayFileStop and
// KVPlayFileCleanUp).
class EngineRunner
{
public:
    virtual ~EngineRunner() = default;

    // Asks the running pass, if any, to stop at its next step; does not wait.
    virtual std::int32_t stop() = 0;

    // Stops any running pass, waits (bounded) for it to leave the engine and then releases
    // the engine library; a pass that will not leave keeps the library loaded. Nonzero when
    // the library was released.
    virtual std::int32_t cleanUp() = 0;
};

// The runner library (pallomirunner.h) unless replaced.
extern Service<EngineRunner> engineRunner;

} // namespace lentaro
