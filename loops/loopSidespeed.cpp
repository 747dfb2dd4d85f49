// The speed and pitch the slow-down road works with, and where they are remembered.
#include "loops/loopSide.h"

#include "app/programstate.h"
#include "mainwindow/frmMain.h"

namespace lentaro {

// Until the speed controls exist: half speed, no transposition, nothing remembered.
int LoopSide::lstPct()
{
    return 50;
}

int LoopSide::lstPitchChange()
{
    return 0;
}

void LoopSide::pitchChangeTextFieldsFill()
{
}

void LoopSide::saveCurrentPct()
{
}

void LoopSide::saveCurrentPitchChange()
{
}

void LoopSide::expFactorSet()
{
    const MainState& state = main_.state();
    if (state.slowDownPercent == 0)
        return;
    programState().gvExpansionFactor =
        state.tempWavChannels > 0
            ? static_cast<float>((100.0 / state.slowDownPercent) / state.tempWavChannels)
            : static_cast<float>(50.0 / state.slowDownPercent);
}

} // namespace lentaro
