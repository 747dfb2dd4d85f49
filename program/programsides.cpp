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
    // The loop side hands what later parts of it will do to the stand-in it wraps.
    sides.loops = std::make_unique<LoopSide>(main, std::move(sides.loops));
    sides.waveView = makeWaveViewSide(main);
    return sides;
}

} // namespace lentaro
