#pragma once

#include "mainwindow/sides.h"

namespace lentaro {

class frmMain;

// The sides the program's main window calls: each side that exists, the stand-in for the rest.
MainWindowSides programSides(frmMain& main);

} // namespace lentaro
