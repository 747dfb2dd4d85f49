#include "program/programsides.h"

#include "cd/cdside.h"
#include "loops/loopSide.h"
#include "mainwindow/standinsides.h"
#include "waveview/waveviewside.h"

namespace lentaro {

MainWindowSides programSides(frmMain& main)
{
    MainWindowSides sides = standInSides(main);
    sides.cd = makeCdSide(main);
    sides.loops = std::make_unique<LoopSide>(main);
    sides.waveView = makeWaveViewSide(main);
    return sides;
}

} // namespace lentaro
