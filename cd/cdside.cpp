#include "cd/cdside.h"

#include "cd/cddrivesetup.h"
#include "cd/cdfields.h"
#include "cd/cdidentification.h"
#include "cd/cdtransport.h"
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

class CdSideOfMain : public StandInCd
{
public:
    explicit CdSideOfMain(frmMain& main)
        : Vostrel1(new Vostrel(&main)),
          identification_(displayControlsOf(main), ACD1),
          setup_(*main.CDControl, ACD1),
          fields_(main),
          transport_(main, ACD1, [this] { fields_.showTrackComments(); })
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
    bool trackHighlighting() override { return transport_.trackHighlighting(); }
    void switchToTrack(int track) override { transport_.switchToTrack(track); }
    void trayOpen() override { transport_.trayOpen(); }
    void trayClose() override { transport_.trayClose(); }

private:
    Vostrel* Vostrel1; // owned by the window
    cd::DigitalReader ACD1;
    CdIdentification identification_;
    CdDriveSetup setup_;
    CdFields fields_;
    CdTransport transport_;
};

} // namespace

std::unique_ptr<CdSide> makeCdSide(frmMain& main)
{
    return std::make_unique<CdSideOfMain>(main);
}

} // namespace lentaro
