#pragma once

#include "platform/shell/service.h"
#include "player/pallomi.h"

#include <QString>

#include <cstdint>

namespace lentaro {

// One engine pass as the runner's start takes it.
struct EnginePass {
    QString inputPath;
    double pitchFactor = 1.0;
    double timeFactor = 1.0;
    std::int16_t fftSize = 0;
    std::int16_t windowMode = 1;
    // Empty: no output file.
    QString outputPath;
    // Nonzero: the pass is also heard on the sound card as it runs.
    std::int32_t realTime = 0;
    // For a stereo input: 0 both channels mixed, 1 the first, 2 the second.
    std::int16_t channelChoice = 0;
};

// The engine-pass runner as the program drives it (the library's KVPlayFileInit,
// KVPlayFileRegisterCallBack, KVPlayFileStart, KVPlayFileStop and KVPlayFileCleanUp).
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

    // Starts the pass on a worker thread of its own: 1 when started, and its end is then
    // reported to the registered function; 0 after the runner has shown why not.
    virtual std::int32_t start(const EnginePass& pass) = 0;

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
