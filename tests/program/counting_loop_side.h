#pragma once

#include "mainwindow/sides.h"

namespace lentaro::test {

// A main window's loop side that counts what the CD side asks of it: replays of the loop (playLoop, 100 for
// one that works its points out again, else 1) and starts of the loop's play (btnLoopPlay_Click).
class CountingLoopSide : public LoopSide
{
public:
    CountingLoopSide(int& replays, int& loopPlays) : replays_(replays), loopPlays_(loopPlays) {}
    void stopDLL() override {}
    void mnuChooseView_Click(int) override {}
    void showLoopDetails() override {}
    void resetLastPass() override {}
    void tmrLoopDLL_Timer() override {}
    void btnLoopPlay_Click() override { ++loopPlays_; }
    void playLoop(bool recalc) override { replays_ += recalc ? 100 : 1; }
    void highlightLoopPoint() override {}
    void saveSlowedDownFile() override {}
    void playFromLoopOn() override {}
    void changeTransformParameters() override {}
    bool trimOpen() const override { return false; }
    void setTrimZoomEnabled(bool) override {}
    void closeTrim() override {}
    void saveLyrics() override {}
    bool latestPassEnded(std::int32_t) override { return false; }
    bool passRunning() const override { return false; }

private:
    int& replays_;
    int& loopPlays_;
};

} // namespace lentaro::test
