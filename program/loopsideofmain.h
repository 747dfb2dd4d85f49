#pragma once

#include "loops/loopSide.h"

#include <memory>

namespace lentaro {

class frmMain;

// The loop side over the main window's controls, calling the window for its procedures, with
// its cut of wave loops in place as Transform's capture for as long as it lives.
std::unique_ptr<LoopSideOfMain> makeProgramLoopSide(frmMain& main);

} // namespace lentaro
