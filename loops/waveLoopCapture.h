#pragma once

#include "loops/loopCapture.h"

namespace lentaro {

class frmMain;
class LoopSideOfMain;

// Captures a loop of the wave file shown by cutting it out of the file. A loop of a CD is the
// CD side's to record; this capture leaves it alone.
class WaveLoopCapture : public LoopCapture
{
public:
    WaveLoopCapture(frmMain& main, LoopSideOfMain& loops) : main_(main), loops_(loops) {}

    // Throws the cut's failure (a RuntimeError) for the caller to show.
    void recordCurrentLoop() override;
    // Cuts the current loop out of the wave file open in the wave control into temp.wav and
    // opens temp.wav there: true once done, false for a loop whose points are wrong (already
    // said). A failed cut leaves no temp.wav, the channel count of the last good one and the
    // wave file open again, and throws.
    bool extractCurrentLoop();

private:
    frmMain& main_;
    LoopSideOfMain& loops_;
};

} // namespace lentaro
