#pragma once

#include "loops/loopCapture.h"

namespace lentaro {

class CdLoopCapture;
class MainState;

// Transform's capture of the current loop: the CD side's for a loop of the CD, the loop side's
// cut for a loop of a wave file, whose failure shows as recordCurrentLoop's own error.
class LoopCaptureByView : public LoopCapture
{
public:
    LoopCaptureByView(const MainState& state, LoopCapture& waveCapture, CdLoopCapture& cdCapture)
        : state_(state), wave_(waveCapture), cd_(cdCapture)
    {
    }

    void recordCurrentLoop() override;

private:
    const MainState& state_;
    LoopCapture& wave_;
    CdLoopCapture& cd_;
};

} // namespace lentaro
