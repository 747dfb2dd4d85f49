#include "program/programsides.h"

#include "cd/cdside.h"
#include "mainwindow/standinsides.h"

namespace lentaro {

MainWindowSides programSides(frmMain& main)
{
    MainWindowSides sides = standInSides(main);
    sides.cd = makeCdSide(main);
    return sides;
}

} // namespace lentaro
