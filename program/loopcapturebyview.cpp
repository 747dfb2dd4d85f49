#include "program/loopcapturebyview.h"

#include "app/ownerrorbox.h"
#include "cd/cdloopcapture.h"
#include "mainwindow/mainstate.h"

namespace lentaro {

void LoopCaptureByView::recordCurrentLoop()
{
    if (state_.cdView) {
        cd_.recordCurrentLoop();
        return;
    }
    try {
        wave_.recordCurrentLoop();
    } catch (...) {
        showOwnErrorBox(RuntimeError::fromCurrentException(), "recordCurrentLoop");
    }
}

} // namespace lentaro
