#pragma once

#include "platform/shell/service.h"

namespace lentaro {

// What Transform has make temp.wav, the current loop at its recorded speed. It ends in the
// "SlowPlay" view, where the slowed play starts by itself when AutoSlow is set.
class LoopCapture
{
public:
    virtual ~LoopCapture() = default;
    virtual void recordCurrentLoop() = 0;
};

// The loop side puts its cut of wave loops (waveLoopCapture.h) in place while it exists;
// without a loop side nothing is captured.
extern Service<LoopCapture> loopCapture;

} // namespace lentaro
