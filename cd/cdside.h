#pragma once

#include "cd/cdloopcapture.h"
#include "mainwindow/sides.h"

#include <functional>
#include <memory>

namespace lentaro {

class frmMain;

// How the composition root has the CD side capture loops of the CD: the loop side's in and out
// points of the current loop, and what puts the side's capture in place for Transform. What
// putInPlace returns, the side keeps for as long as it exists.
struct CdLoopCaptureUse {
    LoopInAndOutPoints calcInAndOutPoints;
    std::function<std::shared_ptr<void>(CdLoopCapture&)> putInPlace;
};

// The CD side of a main window: its disc arrival control (Vostrel1), the digital reader (ACD1)
// and the disc's identification and display. What other parts of the side have not built yet
// does what the stand-in does.
std::unique_ptr<CdSide> makeCdSide(frmMain& main, const CdLoopCaptureUse& captureUse = {});

} // namespace lentaro
