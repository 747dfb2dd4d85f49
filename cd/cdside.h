#pragma once

#include "cd/cddrivesetup.h"
#include "cd/cdfields.h"
#include "cd/cdidentification.h"
#include "cd/cdsidecontrols.h"
#include "cd/cdtransport.h"
#include "cd/discdamage.h"
#include "cd/mp3form.h"
#include "cd/recordreaderevents.h"
#include "cd/trackrecording.h"
#include "mainwindow/sides.h"
#include "platform/cd/DigitalReader.h"

namespace lentaro {

class CdSideHost;
class CdSideLoops;
class Vostrel;

// The CD side of a main window: its disc arrival control (Vostrel1), the digital reader (ACD1),
// the disc's identification and display, the drive set-up, the transport and tracks grid, the
// fields and the whole-track digital copy, over the window's controls, its procedures (host) and
// the loop side's.
class CdSideOfMain : public CdSide
{
public:
    CdSideOfMain(const CdSideControls& controls, CdSideHost& host, CdSideLoops& loops);

    // The reader the capture of CD loops reads through; its ends are this side's to answer.
    cd::DigitalReader& digitalReader() { return ACD1; }

    void autoplay(bool giveBack) override;
    void CDandRecordingSetup() override;
    int driveCount() override;
    void startupDriveCheck() override;
    void checkCDPresent() override;
    void refreshDisplayForNewCD() override;
    void trayOpen() override;
    void trayClose() override;
    void stopDigitalRead() override;
    QString toTMS(int position) override;
    bool trackHighlighting() override;
    void switchToTrack(int track) override;
    void CDsetup() override;
    bool showMixer() override;
    void showMp3Conversion() override;
    void showRecorder() override;

private:
    CdSideControls c_;
    CdSideHost& host_;
    Vostrel* Vostrel1; // owned by the window
    cd::DigitalReader ACD1;
    CdIdentification identification_;
    CdDriveSetup setup_;
    RecordReaderEvents readerEvents_;
    TrackRecording trackRecording_;
    CdFields fields_;
    CdTransport transport_;
    Mp3FormTargets mp3FormTargets_;
    DiscDamageNotice discDamage_;
};

} // namespace lentaro
