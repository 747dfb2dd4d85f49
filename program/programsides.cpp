#include "program/programsides.h"

#include "mainwindow/frmMain.h"
#include "program/cdsideofmain.h"
#include "program/loopsideofmain.h"
#include "program/waveviewsideofmain.h"

namespace lentaro {

MainWindowSides programSides(frmMain& main)
{
    MainWindowSides sides;
    auto loops = makeProgramLoopSide(main);
    // Made after the loop side and gone before it: its capture of CD loops goes in place over
    // the loop side's cut of wave loops.
    LoopSideOfMain& loopSide = *loops;
    sides.cd = makeProgramCdSide(main, [&loopSide](int& inPt, int& outPt) {
        return loopSide.calcInAndOutPoints(inPt, outPt);
    });
    sides.loops = std::move(loops);
    sides.waveView = makeWaveViewSide(main);
    return sides;
}

} // namespace lentaro
