#include "cd/cdside.h"

#include "app/programstate.h"
#include "cd/cdsidehost.h"
#include "cd/mixerontop.h"
#include "cd/recordForm.h"
#include "controls/vostrel/Vostrel.h"
#include "mainwindow/mainstate.h"
#include "mainwindow/tmstext.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "trace/tracescope.h"

#include <QAction>

namespace lentaro {

namespace {

CdDisplayControls displayControlsOf(const CdSideControls& c, std::function<bool()> playing,
                                    std::function<void(int)> switchToTrack,
                                    std::function<void()> keepTyped)
{
    return {c.state,
            c.window,
            c.CDControl,
            c.CDTitle,
            c.Artist,
            c.Comments,
            c.lblTrackComments,
            c.tgTracks,
            c.loopPoints,
            c.pnlMsg,
            c.pnlTrackLength,
            c.pnlCDlength,
            c.txtCurrentPosition,
            std::move(playing),
            std::move(switchToTrack),
            std::move(keepTyped)};
}

Mp3FormTargets mp3FormTargetsOf(const CdSideControls& c, CdSideHost& host)
{
    return {[&host](const QString& fn) { host.addToMRUs(fn); },
            [&host](const QString& fn) { host.playWaveFile(fn); },
            [&host](const QString& theMode, bool suppressRefresh) {
                host.changeToMode(theMode, suppressRefresh);
            },
            &c.window};
}

} // namespace

CdSideOfMain::CdSideOfMain(const CdSideControls& controls, CdSideHost& host, CdSideLoops& loops)
    : c_(controls),
      host_(host),
      Vostrel1(new Vostrel(&controls.window)),
      identification_(displayControlsOf(
                          controls, [&host] { return host.playing(); },
                          [this](int track) { transport_.switchToTrack(track); },
                          [this] { fields_.keepTyped(); }),
                      ACD1),
      setup_(controls.CDControl, ACD1),
      readerEvents_(controls.pnlMsg, host, loops, ACD1),
      trackRecording_(controls, host, ACD1, readerEvents_),
      fields_(controls, host),
      transport_(
          controls, host, loops, ACD1, [this] { fields_.showTrackComments(); },
          [this] { identification_.showDiscStatus(); }),
      mp3FormTargets_(mp3FormTargetsOf(controls, host))
{
    QWidget& window = c_.window;
    Vostrel1->hide();
    QObject::connect(Vostrel1, &Vostrel::Arrival, &window,
                     [this](const QString&) { checkCDPresent(); });
    QObject::connect(Vostrel1, &Vostrel::RemoveComplete, &window,
                     [this](const QString&) { checkCDPresent(); });
    QObject::connect(&c_.mnuDigitalRec, &QAction::triggered, &window,
                     [this] { trackRecording_.mnuDigitalRec_Click(); });
    // Back in the CD view, the status is the disc's again, not what another view said.
    QObject::connect(&c_.state, &MainState::viewChanged, &window, [this] {
        if (c_.state.cdView && c_.CDControl.mode() != static_cast<int>(mci::Mode::Playing))
            identification_.showDiscStatus();
    });
}

void CdSideOfMain::autoplay(bool giveBack)
{
    setup_.autoplay(giveBack);
}

void CdSideOfMain::CDandRecordingSetup()
{
    setup_.CDandRecordingSetup();
}

int CdSideOfMain::driveCount()
{
    return setup_.driveCount();
}

void CdSideOfMain::startupDriveCheck()
{
    setup_.startupDriveCheck();
}

void CdSideOfMain::CDsetup()
{
    setup_.CDsetup();
    // The CD control may stand on another drive now: its disc, or none, is the one shown.
    checkCDPresent();
}

void CdSideOfMain::checkCDPresent()
{
    identification_.checkCDPresent();
    discDamage_.tellOnce(c_.CDControl);
}

void CdSideOfMain::refreshDisplayForNewCD()
{
    identification_.refreshDisplayForNewCD();
}

void CdSideOfMain::stopDigitalRead()
{
    if (programState().gvDigitalRecordingOK)
        ACD1.abort();
}

QString CdSideOfMain::toTMS(int position)
{
    return tmsText(position);
}

bool CdSideOfMain::showMixer()
{
    lentaro::showMixer();
    return mixerRunning();
}

void CdSideOfMain::showRecorder()
{
    TraceScope trace("main form", "Sub mnuRecord_Click");
    trace.run([&] {
        auto* recorder = forms::loadedFormOf<recordForm>();
        if (!recorder)
            recorder =
                new recordForm({c_.state, c_.WaveControl,
                                [this](const QString& fn) { host_.addToMRUs(fn); }, &c_.window});
        recorder->exec();
    });
}

bool CdSideOfMain::trackHighlighting()
{
    return transport_.trackHighlighting();
}

void CdSideOfMain::switchToTrack(int track)
{
    transport_.switchToTrack(track);
}

void CdSideOfMain::trayOpen()
{
    transport_.trayOpen();
}

void CdSideOfMain::trayClose()
{
    transport_.trayClose();
}

void CdSideOfMain::showMp3Conversion()
{
    (new mp3form(mp3FormTargets_))->exec();
}

} // namespace lentaro
