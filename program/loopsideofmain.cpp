#include "program/loopsideofmain.h"

#include "mainwindow/frmMain.h"

namespace lentaro {

LoopSideControls frmMain::loopControls()
{
    return {state_,           *this,         *CDControl,    *WaveControl,      *slowControl,
            *tgTracks,        *loopPoints,   *tmrLoopDLL,   *tmrSliderFreedom, *lblCDTitle,
            *CDTitle,         *lblArtist,    *Artist,       *Comments,         slSlowPct,
            txtSlowPct,       *lbl1005Speed, *lbl1003Speed, *lbl1002,          *lblOriginalSpeed,
            *lblDoubleSpeed,  lblSteps,      *sbTrackPos,   *cmdSlowPlay,      *btnLoopPlay,
            *cmdStartNewLoop, *cmdGraphic,   *pnlMsg,       *pnlLoopLength,    *mnuLoopHelp,
            dlgWave};
}

namespace {

class WindowLoopHost final : public LoopSideHost
{
public:
    explicit WindowLoopHost(frmMain& main) : main_(main) {}

    void changeToMode(const QString& theMode, bool suppressRefresh) override
    {
        main_.changeToMode(theMode, suppressRefresh);
    }
    bool playing() override { return main_.playing(); }
    void ms() override { main_.ms(); }
    void tmsf() override { main_.tmsf(); }
    void graphicEnableToggle(bool newEnableState) override
    {
        main_.graphicEnableToggle(newEnableState);
    }
    void addToMRUs(const QString& fn) override { main_.addToMRUs(fn); }
    void setEnabled(bool enabled) override { main_.setEnabled(enabled); }
    void showLoopPlaying() override { main_.showLoopPlaying(); }
    bool isWaveViewOpen() override { return main_.waveView().isOpen(); }

private:
    frmMain& main_;
};

class WindowLoopSide final : public LoopSideOfMain
{
public:
    explicit WindowLoopSide(frmMain& main)
        : LoopSideOfMain(main.loopControls(), std::make_unique<WindowLoopHost>(main))
    {
    }

private:
    const ScopedOverride<LoopCapture> captureInPlace_{loopCapture, waveCapture()};
};

} // namespace

std::unique_ptr<LoopSideOfMain> makeProgramLoopSide(frmMain& main)
{
    return std::make_unique<WindowLoopSide>(main);
}

} // namespace lentaro
