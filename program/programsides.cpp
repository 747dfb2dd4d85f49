#include "program/programsides.h"

#include "cd/cdside.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/standinsides.h"
#include "program/loopcapturebyview.h"
#include "program/windowloopside.h"
#include "waveview/waveviewside.h"

namespace lentaro {

MainWindowSides programSides(frmMain& main)
{
    MainWindowSides sides = standInSides(main);
    auto loops = makeWindowLoopSide(main);
    // Made after the loop side and gone before it: its capture of CD loops goes in place over
    // the loop side's cut of wave loops.
    LoopSideOfMain& loopSide = *loops;
    sides.cd = makeCdSide(main, {[&loopSide](int& inPt, int& outPt) {
                                     return loopSide.calcInAndOutPoints(inPt, outPt);
                                 },
                                 [&main](CdLoopCapture& cdCapture) {
                                     return putLoopCaptureByViewInPlace(main.state(), cdCapture);
                                 }});
    sides.loops = std::move(loops);
    sides.waveView = makeWaveViewSide(main);
    return sides;
}

} // namespace lentaro
