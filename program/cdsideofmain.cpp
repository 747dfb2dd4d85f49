#include "program/cdsideofmain.h"

#include "cd/cdloopcapture.h"
#include "loops/loopCapture.h"
#include "mainwindow/frmMain.h"
#include "program/loopcapturebyview.h"

namespace lentaro {

CdSideControls frmMain::cdControls()
{
    return {state(),
            *this,
            *CDControl,
            *WaveControl,
            *tgTracks,
            *loopPoints,
            *CDTitle,
            *Artist,
            *Comments,
            *lblTrackComments,
            *txtCurrentPosition,
            *sbTrackPos,
            *cmdStartNewLoop,
            *pnlMsg,
            *pnlCDlength,
            *pnlTrackLength,
            *mnuTrackGridPopup,
            *mnuOpenNotationFile,
            *mnuChangeNotationFile,
            *mnuDigitalRec,
            *mnuViewHelpTracksGrid,
            cdNotationFile};
}

void CdHostOfMain::changeToMode(const QString& theMode, bool suppressRefresh)
{
    main_.changeToMode(theMode, suppressRefresh);
}

bool CdHostOfMain::playing()
{
    return main_.playing();
}

void CdHostOfMain::updatePosition()
{
    main_.updatePosition();
}

void CdHostOfMain::tmsf()
{
    main_.tmsf();
}

void CdHostOfMain::stampTyping()
{
    main_.stampTyping();
}

std::chrono::steady_clock::duration CdHostOfMain::sinceTyping() const
{
    return main_.sinceTyping();
}

void CdHostOfMain::addToMRUs(const QString& fn)
{
    main_.addToMRUs(fn);
}

bool CdHostOfMain::playWaveFile(const QString& fn)
{
    return main_.playWaveFile(fn);
}

void CdLoopsOfMain::btnLoopPlay_Click()
{
    main_.loops().btnLoopPlay_Click();
}

void CdLoopsOfMain::playLoop(bool recalc)
{
    main_.loops().playLoop(recalc);
}

bool CdLoopsOfMain::calcInAndOutPoints(int& inPt, int& outPt)
{
    return calcInAndOutPoints_(inPt, outPt);
}

namespace {

// What the CD side is made over, made first and gone last.
struct CdSideParts {
    CdHostOfMain host;
    CdLoopsOfMain loops;
};

class ProgramCdSide : private CdSideParts, public CdSideOfMain
{
public:
    ProgramCdSide(frmMain& main, CdLoopsOfMain::InAndOutPoints calcInAndOutPoints)
        : CdSideParts{CdHostOfMain(main), CdLoopsOfMain(main, std::move(calcInAndOutPoints))},
          CdSideOfMain(main.cdControls(), host, loops),
          capture_(main.cdControls(), host, loops, digitalReader()),
          byView_(main.state(), loopCapture(), capture_)
    {
    }

private:
    CdLoopCapture capture_;
    LoopCaptureByView byView_;
    ScopedOverride<LoopCapture> byViewInPlace_{loopCapture, byView_};
};

} // namespace

std::unique_ptr<CdSide> makeProgramCdSide(frmMain& main,
                                          CdLoopsOfMain::InAndOutPoints calcInAndOutPoints)
{
    return std::make_unique<ProgramCdSide>(main, std::move(calcInAndOutPoints));
}

} // namespace lentaro
