#pragma once

#include "loops/loopCapture.h"

namespace lentaro {

class LoopSideHost;
class LoopSideOfMain;
class MainState;
struct LoopSideControls;

namespace mci {
class MMControl;
}

// Captures a loop of the wave file shown by cutting it out of the file. A loop of a CD is the
// CD side's to record; this capture leaves it alone.
class WaveLoopCapture : public LoopCapture
{
public:
    WaveLoopCapture(const LoopSideControls& controls, LoopSideHost& host, LoopSideOfMain& loops);

    // Throws the cut's failure (a RuntimeError) for the caller to show.
    void recordCurrentLoop() override;
    // Cuts the current loop out of the wave file open in the wave control into temp.wav and
    // opens temp.wav there: true once done, false for a loop whose points are wrong (already
    // said). A failed cut leaves no temp.wav, the channel count of the last good one and the
    // wave file open again, and throws.
    bool extractCurrentLoop();

private:
    MainState& state_;
    mci::MMControl& wave_;
    LoopSideHost& host_;
    LoopSideOfMain& loops_;
};

} // namespace lentaro
