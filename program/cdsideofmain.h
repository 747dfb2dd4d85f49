#pragma once

#include "cd/cdside.h"
#include "cd/cdsidehost.h"
#include "cd/cdsideloops.h"

#include <functional>
#include <memory>

namespace lentaro {

class frmMain;

// The main window's procedures as the CD side calls them.
class CdHostOfMain : public CdSideHost
{
public:
    explicit CdHostOfMain(frmMain& main) : main_(main) {}

    void changeToMode(const QString& theMode, bool suppressRefresh) override;
    bool playing() override;
    void updatePosition() override;
    void tmsf() override;
    void stampTyping() override;
    std::chrono::steady_clock::duration sinceTyping() const override;
    void addToMRUs(const QString& fn) override;
    bool playWaveFile(const QString& fn) override;

private:
    frmMain& main_;
};

// The loop side as the CD side calls it: the plays go to the main window's loop side, the in and
// out points come from calcInAndOutPoints.
class CdLoopsOfMain : public CdSideLoops
{
public:
    using InAndOutPoints = std::function<bool(int& inPt, int& outPt)>;

    CdLoopsOfMain(frmMain& main, InAndOutPoints calcInAndOutPoints)
        : main_(main), calcInAndOutPoints_(std::move(calcInAndOutPoints))
    {
    }

    void btnLoopPlay_Click() override;
    void playLoop(bool recalc) override;
    bool calcInAndOutPoints(int& inPt, int& outPt) override;

private:
    frmMain& main_;
    InAndOutPoints calcInAndOutPoints_;
};

// The CD side of the program's main window, with its capture of CD loops taking Transform's
// capture in the "CD" view, over the capture in place when it is made (the loop side's).
std::unique_ptr<CdSide> makeProgramCdSide(frmMain& main,
                                          CdLoopsOfMain::InAndOutPoints calcInAndOutPoints);

} // namespace lentaro
