#pragma once

#include "cd/cddisplaycontrols.h"

#include <chrono>
#include <functional>

namespace lentaro {

namespace cd {
class DigitalReader;
}

class CdRows;

// Keeps the main window in step with the disc in the CD drive: finds whether a disc with tracks
// is there, identifies an audio disc by its total length and the length of track 1 (both in ms),
// finds or adds its CDs and Tracks rows, points the grids at them and shows one of three states:
// no disc, a disc without audio tracks, or the audio disc.
class CdIdentification
{
public:
    using MonotonicClock = std::function<std::chrono::steady_clock::duration()>;

    CdIdentification(CdDisplayControls controls, cd::DigitalReader& ACD1);

    // The clock of the wait for a disc's length; the steady clock unless a test sets another.
    void setClock(MonotonicClock clock) { clock_ = std::move(clock); }

    // The entry point of the disc events, "CD Requery" and start-up. A call while a check runs
    // (its boxes let events in) asks for one more check once that one ends.
    void checkCDPresent();
    bool CDpresent();
    // Points the grids at the current CDs row and refreshes the displays; nothing without one.
    void refreshDisplayForNewCD();
    // The status of the disc shown, as the last check found it: "CD Found", no audio or no disc.
    void showDiscStatus();
    void hideCDfields();
    void showCDfields();

    // What a check left current.
    enum class Found { Disc, NoAudio, Nothing };
    Found checkCD();
    int getStableCDLength();
    int track1Length();
    Found findAndShowCD();
    // True when no row has the identity; otherwise that row is current.
    bool selectCD(int theLength, int t1Len);
    // False when the disc's rows could not be written (reported; nothing written).
    bool addCD();
    bool addCDdb();

private:
    void checkOnce();
    void showNoDisc();
    void showNoAudio();
    void hidePanels();
    void showDriveButtons();
    void setDiscTextEditable(bool editable);
    // Milliseconds on the CD device itself, whichever view is current.
    void ms();
    CdRows rows() const;
    // The current row's total length; 0 without a current row.
    int currentCdlen() const;
    bool anyAudioTrack();

    CdDisplayControls c_;
    cd::DigitalReader& ACD1_;
    MonotonicClock clock_;
    Found shown_ = Found::Nothing;
    bool checking_ = false;
    bool checkAgain_ = false;
};

} // namespace lentaro
