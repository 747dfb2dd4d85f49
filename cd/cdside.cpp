#include "cd/cdside.h"

#include "cd/cddrivesetup.h"
#include "cd/cdidentification.h"
#include "cd/mp3form.h"
#include "controls/vostrel/Vostrel.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/standinsides.h"
#include "platform/cd/DigitalReader.h"

namespace lentaro {

namespace {

CdDisplayControls displayControlsOf(frmMain& main)
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
            [&main](int track) { main.cd().switchToTrack(track); }};
}

Mp3FormTargets mp3FormTargetsOf(frmMain& main)
{
    return {[&main](const QString& fn) { main.addToMRUs(fn); },
            [&main](const QString& fn) { main.playWaveFile(fn); },
            [&main](const QString& theMode, bool suppressRefresh) {
                main.changeToMode(theMode, suppressRefresh);
            }};
}

class CdSideOfMain : public StandInCd
{
public:
    explicit CdSideOfMain(frmMain& main)
        : Vostrel1(new Vostrel(&main)),
          identification_(displayControlsOf(main), ACD1),
          setup_(*main.CDControl, ACD1),
          mp3FormTargets_(mp3FormTargetsOf(main))
    {
        Vostrel1->hide();
        QObject::connect(Vostrel1, &Vostrel::Arrival, &main,
                         [this](const QString&) { identification_.checkCDPresent(); });
        QObject::connect(Vostrel1, &Vostrel::RemoveComplete, &main,
                         [this](const QString&) { identification_.checkCDPresent(); });
    }

    void autoplay(bool giveBack) override { setup_.autoplay(giveBack); }
    void CDandRecordingSetup() override { setup_.CDandRecordingSetup(); }
    int driveCount() override { return setup_.driveCount(); }
    void startupDriveCheck() override { setup_.startupDriveCheck(); }
    void CDsetup() override { setup_.CDsetup(); }
    void checkCDPresent() override { identification_.checkCDPresent(); }
    void refreshDisplayForNewCD() override { identification_.refreshDisplayForNewCD(); }
    void showMp3Conversion() override { (new mp3form(mp3FormTargets_))->exec(); }

private:
    Vostrel* Vostrel1; // owned by the window
    cd::DigitalReader ACD1;
    CdIdentification identification_;
    CdDriveSetup setup_;
    Mp3FormTargets mp3FormTargets_;
};

} // namespace

std::unique_ptr<CdSide> makeCdSide(frmMain& main)
{
    return std::make_unique<CdSideOfMain>(main);
}

} // namespace lentaro
