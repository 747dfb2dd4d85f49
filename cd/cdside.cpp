#include "cd/cdside.h"

#include "app/programstate.h"
#include "cd/cddrivesetup.h"
#include "cd/cdfields.h"
#include "cd/cdidentification.h"
#include "cd/cdloopcapture.h"
#include "cd/cdtransport.h"
#include "cd/discdamage.h"
#include "cd/mixerontop.h"
#include "cd/mp3form.h"
#include "cd/recordForm.h"
#include "cd/recordreaderevents.h"
#include "cd/recordtrack.h"
#include "controls/vostrel/Vostrel.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/mainstate.h"
#include "mainwindow/standinsides.h"
#include "platform/cd/DigitalReader.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "trace/tracescope.h"

namespace lentaro {

namespace {

CdDisplayControls displayControlsOf(frmMain& main, std::function<void()> keepTyped)
{
    return {main.state(),
            main,
            *main.CDControl,
            *main.CDTitle,
            *main.Artist,
            *main.Comments,
            *main.lblTrackComments,
            *main.tgTracks,
            *main.loopPoints,
            *main.pnlMsg,
            *main.pnlTrackLength,
            *main.pnlCDlength,
            *main.txtCurrentPosition,
            [&main] { return main.playing(); },
            [&main](int track) { main.cd().switchToTrack(track); },
            std::move(keepTyped)};
}

Mp3FormTargets mp3FormTargetsOf(frmMain& main)
{
    return {[&main](const QString& fn) { main.addToMRUs(fn); },
            [&main](const QString& fn) { main.playWaveFile(fn); },
            [&main](const QString& theMode, bool suppressRefresh) {
                main.changeToMode(theMode, suppressRefresh);
            },
            &main};
}

class CdSideOfMain : public StandInCd
{
public:
    CdSideOfMain(frmMain& main, const CdLoopCaptureUse& captureUse)
        : Vostrel1(new Vostrel(&main)),
          identification_(displayControlsOf(main, [this] { fields_.keepTyped(); }), ACD1),
          setup_(*main.CDControl, ACD1),
          readerEvents_(main, ACD1),
          trackRecording_(main, ACD1, readerEvents_),
          fields_(main),
          transport_(
              main, ACD1, [this] { fields_.showTrackComments(); },
              [this] { identification_.showDiscStatus(); }),
          loopCapture_(main, ACD1, captureUse.calcInAndOutPoints),
          main_(main),
          mp3FormTargets_(mp3FormTargetsOf(main))
    {
        if (captureUse.putInPlace)
            captureInPlace_ = captureUse.putInPlace(loopCapture_);
        Vostrel1->hide();
        QObject::connect(Vostrel1, &Vostrel::Arrival, &main,
                         [this](const QString&) { checkCDPresent(); });
        QObject::connect(Vostrel1, &Vostrel::RemoveComplete, &main,
                         [this](const QString&) { checkCDPresent(); });
        QObject::connect(main.mnuDigitalRec, &QAction::triggered, &main,
                         [this] { trackRecording_.mnuDigitalRec_Click(); });
        // Back in the CD view, the status is the disc's again, not what another view said.
        QObject::connect(&main.state(), &MainState::viewChanged, &main, [this] {
            if (main_.state().cdView
                && main_.CDControl->mode() != static_cast<int>(mci::Mode::Playing))
                identification_.showDiscStatus();
        });
    }

    void autoplay(bool giveBack) override { setup_.autoplay(giveBack); }
    void CDandRecordingSetup() override { setup_.CDandRecordingSetup(); }
    int driveCount() override { return setup_.driveCount(); }
    void startupDriveCheck() override { setup_.startupDriveCheck(); }
    void CDsetup() override
    {
        setup_.CDsetup();
        // The CD control may stand on another drive now: its disc, or none, is the one shown.
        checkCDPresent();
    }
    void checkCDPresent() override
    {
        identification_.checkCDPresent();
        discDamage_.tellOnce(*main_.CDControl);
    }
    void refreshDisplayForNewCD() override { identification_.refreshDisplayForNewCD(); }
    void stopDigitalRead() override
    {
        if (programState().gvDigitalRecordingOK)
            ACD1.abort();
    }
    bool showMixer() override
    {
        lentaro::showMixer();
        return mixerRunning();
    }
    void showRecorder() override
    {
        TraceScope trace("main form", "Sub mnuRecord_Click");
        trace.run([&] {
            auto* recorder = forms::loadedFormOf<recordForm>();
            if (!recorder)
                recorder =
                    new recordForm({main_.state(), *main_.WaveControl,
                                    [this](const QString& fn) { main_.addToMRUs(fn); }, &main_});
            recorder->exec();
        });
    }
    bool trackHighlighting() override { return transport_.trackHighlighting(); }
    void switchToTrack(int track) override { transport_.switchToTrack(track); }
    void trayOpen() override { transport_.trayOpen(); }
    void trayClose() override { transport_.trayClose(); }
    void showMp3Conversion() override { (new mp3form(mp3FormTargets_))->exec(); }

private:
    Vostrel* Vostrel1; // owned by the window
    cd::DigitalReader ACD1;
    CdIdentification identification_;
    CdDriveSetup setup_;
    RecordReaderEvents readerEvents_;
    TrackRecording trackRecording_;
    CdFields fields_;
    CdTransport transport_;
    CdLoopCapture loopCapture_;
    frmMain& main_;
    Mp3FormTargets mp3FormTargets_;
    DiscDamageNotice discDamage_;
    // Last, so that Transform no longer reaches the capture once the side goes.
    std::shared_ptr<void> captureInPlace_;
};

} // namespace

std::unique_ptr<CdSide> makeCdSide(frmMain& main, const CdLoopCaptureUse& captureUse)
{
    return std::make_unique<CdSideOfMain>(main, captureUse);
}

} // namespace lentaro
