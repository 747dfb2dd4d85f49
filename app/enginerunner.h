#pragma once

#include <cstdint>

namespace lentaro {

// The engine-pass runner as the program frame drives it (the library's KVPlayFileStop and
// KVPlayFileCleanUp); tests put a stand-in here.
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

} // namespace lentaro
