#pragma once

#include "mainwindow/sides.h"

namespace lentaro {

class frmMain;

// The sides the program's main window calls.
MainWindowSides programSides(frmMain& main);

} // namespace lentaro
