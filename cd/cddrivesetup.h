#pragma once

namespace lentaro {

namespace cd {
class DigitalReader;
}
namespace mci {
class MMControl;
}

// Prepares the CD side at start-up and on request: whether digital reading works, the record
// mode and channel choice that follow from it, the CD device on the configured drive letter,
// the recording preferences, the interactive choice and test of the drive letter, the digital
// reader's drive, and the AutoPlay action of audio CDs, taken over while the program runs.
class CdDriveSetup
{
public:
    CdDriveSetup(mci::MMControl& CDControl, cd::DigitalReader& ACD1);

    // Start-up: digital reading, record mode, the CD device, the recording preferences. Notes
    // first whether this is the first run (no drive letter ever stored).
    void CDandRecordingSetup();
    bool ASPIsetupOK();
    // Nothing is installed here: the reader is checked (setupACD's probe and messages) and, when
    // it works, digital recording is on again with RecordMode 1. Without Force only once ever;
    // later calls store digCDNum -1 and return false. True when digital reading works now.
    bool installASPI(bool Force = false);
    // Without digital reading this run records analog; the stored RecordMode stays as it was.
    void RecordModeSet(bool digitalOK);
    void CDmciSetup();
    // The first run's drive choice: with one drive it asks nothing; without any it says so and
    // stores the first drive's letter, so that no later start asks again.
    void setCDdrive();
    int driveCount();
    // Asks for the drive letter and tests it; without any drive it says none was found.
    void CDsetup();
    void setupACD();
    // False: take over the AutoPlay action of audio CDs (start-up); True: give it back (exit).
    void autoplay(bool autoOn);

    // At start-up, after the switch to the "CD" view: setCDdrive on the first run only.
    void startupDriveCheck();

private:
    mci::MMControl& CDControl_;
    cd::DigitalReader& ACD1_;
    bool firstRun_ = false;
};

} // namespace lentaro
