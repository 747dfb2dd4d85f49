#pragma once

#include "mainwindow/sides.h"

#include <memory>

namespace lentaro {

class frmMain;

// The CD side of a main window: its disc arrival control (Vostrel1), the digital reader (ACD1)
// and the disc's identification and display. What other parts of the side have not built yet
// does what the stand-in does.
std::unique_ptr<CdSide> makeCdSide(frmMain& main);

} // namespace lentaro
