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

std::shared_ptr<void> putLoopCaptureByViewInPlace(const MainState& state, CdLoopCapture& cdCapture)
{
    struct InPlace {
        LoopCaptureByView capture;
        ScopedOverride<LoopCapture> override{loopCapture, capture};
    };
    return std::shared_ptr<InPlace>(new InPlace{{state, loopCapture(), cdCapture}});
}

} // namespace lentaro
