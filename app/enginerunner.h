#pragma once

#include "platform/shell/service.h"
#include "player/pallomi.h"

#include <QString>

#include <cstdint>

namespace lentaro {

// The engine-pass runner as the program frame drives it (the library's KVPlayFileInit,
// KVPlayFileRegisterCallBack, KVPlayFileStop and KVPlayFileCleanUp).
class EngineRunner
{
public:
    virtual ~EngineRunner() = default;

    // Loads and binds the engine library of that name. 1 when ready; 0 after the runner has
    // shown why not.
    virtual std::int32_t init(const QString& engineLibraryName) = 0;

    // The function every pass calls, on its worker thread, when it ends; nullptr switches the
    // reports off.
    virtual void registerCallBack(PlayFileCallBack callBack) = 0;

    // Asks the running pass, if any, to stop at its next step; does not wait.
    virtual std::int32_t stop() = 0;

    // Stops any running pass, waits (bounded) for it to leave the engine and then releases
    // the engine library; a pass that will not leave keeps the library loaded. Nonzero when
    // the library was released.
    virtual std::int32_t cleanUp() = 0;
};

// The runner library (pallomirunner.h) unless replaced. Start-up binds it and the exit path
// releases it, so both reach the same one.
extern Service<EngineRunner> engineRunner;

} // namespace lentaro
