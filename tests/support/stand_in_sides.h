#pragma once

#include "mainwindow/sides.h"

namespace lentaro {

class frmMain;

// A CD side that does nothing, for a main window tested without its real CD side.
class StandInCd : public CdSide
{
public:
    void autoplay(bool) override {}
    void CDandRecordingSetup() override;
    int driveCount() override { return 0; }
    void startupDriveCheck() override {}
    void checkCDPresent() override {}
    void refreshDisplayForNewCD() override {}
    void trayOpen() override {}
    void trayClose() override {}
    void stopDigitalRead() override {}
    QString toTMS(int position) override;
    bool trackHighlighting() override { return false; }
    void switchToTrack(int) override {}
    void CDsetup() override {}
    bool showMixer() override { return false; }
    void showMp3Conversion() override {}
    void showRecorder() override {}
};

// Sides for tests and benchmarks of a main window without the real ones. They do nothing,
// except what start-up and the views cannot go without: stopDLL stops the pass timer and the runner, mnuChooseView_Click returns
// to the "CD" view with that layout, and CDandRecordingSetup reads the recording preferences
// as a computer without digital reading has them.
MainWindowSides standInSides(frmMain& main);

} // namespace lentaro
