#include "program/waveviewsideofmain.h"

#include "app/programstate.h"
#include "app/waveformviewface.h"
#include "mainwindow/expansionfactor.h"
#include "mainwindow/frmMain.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "waveview/frmScrollTime.h"
#include "waveview/loopgridrow.h"
#include "waveview/waveviewhost.h"
#include "waveview/waveviewsidecontrols.h"

#include <QLabel>

namespace lentaro {

WaveViewSideControls frmMain::waveViewControls()
{
    return {state_, *WaveControl, *pnlMsg};
}

namespace {

class ScrollTimeSide : public WaveViewSide, private WaveViewHost, private WaveformViewFace
{
public:
    explicit ScrollTimeSide(frmMain& main)
        : main_(main), controls_(main.waveViewControls()), faceInPlace_(waveformViewFace, *this)
    {
    }

    ~ScrollTimeSide() override
    {
        // The view calls back into this side: it goes first.
        delete view();
    }

    // WaveViewSide.
    bool isOpen() const override { return view() != nullptr; }
    void loadOrShow() override
    {
        if (frmScrollTime* open = view()) {
            open->showAgain();
            return;
        }
        new frmScrollTime(*this);
    }
    void setEnabled(bool enabled) override
    {
        if (frmScrollTime* open = view())
            open->setEnabled(enabled);
    }
    void close() override
    {
        if (frmScrollTime* open = view())
            open->unload();
    }
    void mnuRefresh_Click() override
    {
        if (frmScrollTime* open = view())
            open->mnuRefresh_Click();
    }
    void showPlayPosition(int ms) override
    {
        if (frmScrollTime* open = view()) {
            open->playPosition.setMsPosition(ms);
            open->playPosition.Show();
        }
    }
    void Form_KeyDown(int& key, int shift) override
    {
        if (frmScrollTime* open = view())
            open->Form_KeyDown(key, shift);
    }

private:
    static frmScrollTime* view() { return forms::loadedFormOf<frmScrollTime>(); }

    // WaveViewHost.
    mci::MMControl* currentMMControl() override { return controls_.state.currentMMControl(); }
    int waveControlLength() override { return controls_.WaveControl.length(); }
    void setWaveControlUpdateInterval(int milliseconds) override
    {
        controls_.WaveControl.setUpdateInterval(milliseconds);
    }
    void showStatus(const QString& text) override { controls_.pnlMsg.setText(text); }
    // The view is open only in the "SlowPlay" view, where the loop button plays the slowed loop.
    void playSlowDownLoop() override { main_.loops().btnLoopPlay_Click(); }
    bool playing() override { return main_.playing(); }
    // The speed controls keep the factor; worked out here only while none is known yet.
    double expansionFactor() override
    {
        if (programState().gvExpansionFactor == 0)
            expFactorSet(controls_.state);
        return programState().gvExpansionFactor;
    }

    int slowDownPercent() override { return controls_.state.slowDownPercent(); }
    void forwardKeyDown(int& keyCode, int shift) override { main_.Form_KeyDown(keyCode, shift); }
    std::optional<LoopGridFields> loopGrid() override
    {
        return readLoopGrid(controls_.state.dtaLoopPoints, controls_.state.prevStartTime);
    }
    void storeLoopGrid(const LoopGridFields& fields) override
    {
        writeLoopGrid(controls_.state.dtaLoopPoints, controls_.state.prevStartTime, fields);
    }

    // WaveformViewFace.
    void bringBack() override
    {
        if (frmScrollTime* open = view(); open && open->isVisible())
            open->raise();
    }

    frmMain& main_;
    WaveViewSideControls controls_;
    ScopedOverride<WaveformViewFace> faceInPlace_;
};

} // namespace

std::unique_ptr<WaveViewSide> makeWaveViewSide(frmMain& main)
{
    return std::make_unique<ScrollTimeSide>(main);
}

} // namespace lentaro
