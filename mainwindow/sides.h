#pragma once

#include <QString>

#include <cstdint>
#include <memory>

namespace lentaro {

// What the main window calls on the loop side (loop points, the slow-down road).
class LoopSide
{
public:
    virtual ~LoopSide() = default;

    // Stops any engine pass: the pass timer's tag becomes "STOP", the timer stops and the
    // runner is asked to stop; the loop side then waits (bounded) for the pass's end.
    virtual void stopDLL() = 0;
    // Chooses loop-grid layout `index` (1 normal, 2 loop detail, 3 big lyrics) in the "CD" view.
    virtual void mnuChooseView_Click(int index) = 0;
    // Lays the "CD" view out in loop-grid layout `index`: the grid's place and columns and the
    // track information that layout shows. Every switch into the "CD" view ends with it.
    virtual void showGridView(int /*index*/) {}
    // Shows the current wave file's loops in the loop grid.
    virtual void showLoopDetails() = 0;
    // Forgets what the slow-down road kept about the last engine pass.
    virtual void resetLastPass() = 0;
    // The pass timer (tmrLoopDLL) fired.
    virtual void tmrLoopDLL_Timer() = 0;
    // An engine pass ended (told on the user-interface thread) with the engine's result: false
    // when a pass started after it is still to end, so that this end is not the one awaited.
    virtual bool latestPassEnded(std::int32_t result) = 0;
    // An engine pass is on its way and nothing finished is ready to replay.
    virtual bool passRunning() const = 0;
    // Plays the selected loop slowed down (F7).
    virtual void btnLoopPlay_Click() = 0;
    // Plays the current loop once more; recalc first works out its in and out points again.
    virtual void playLoop(bool recalc) = 0;
    // Marks in the loop grid the loop the play position is in.
    virtual void highlightLoopPoint() = 0;
    // Saves tempslow.wav, the last slowed-down loop, under a name the user picks.
    virtual void saveSlowedDownFile() = 0;
    // Plays the current device from the selected loop's start to the end (F8).
    virtual void playFromLoopOn() = 0;
    // Applies the main window's slowDownPercent (within the side's limits) and replays the loop.
    virtual void changeTransformParameters() = 0;

    // The trim window, as the views adjust it.
    virtual bool trimOpen() const = 0;
    virtual void setTrimZoomEnabled(bool enabled) = 0;
    virtual void closeTrim() = 0;

    // Writes the chords and lyrics of the current loops to a text file the user names.
    virtual void saveLyrics() = 0;
    // Makes a loop over the whole of the track current in the tracks grid; nothing on a side
    // without loops.
    virtual void mnuMakeLoop_Click() {}
};

// What the main window calls on the CD side (drives, AutoPlay, the CD display).
class CdSide
{
public:
    virtual ~CdSide() = default;

    // False: the program takes over the AutoPlay action of audio CDs; True gives it back.
    virtual void autoplay(bool giveBack) = 0;
    // Settles digital reading, the record mode and the recording preferences.
    virtual void CDandRecordingSetup() = 0;
    // The number of CD drives.
    virtual int driveCount() = 0;
    // The first run's choice of the CD drive; start-up calls it once the splash is gone.
    virtual void startupDriveCheck() = 0;
    // Looks for an audio CD and shows what it finds.
    virtual void checkCDPresent() = 0;
    // Shows the disc in the drive afresh.
    virtual void refreshDisplayForNewCD() = 0;
    virtual void trayOpen() = 0;
    virtual void trayClose() = 0;
    // Ends a running digital read of the CD.
    virtual void stopDigitalRead() = 0;
    // A CD position in the track/minute/second/frame format as the text tt:mm:ss.
    virtual QString toTMS(int position) = 0;
    // True when the tracks grid may follow the play position now; asked on every update.
    virtual bool trackHighlighting() = 0;
    // Makes track the current one in the tracks grid.
    virtual void switchToTrack(int track) = 0;
    // The interactive choice and test of the CD audio drive.
    virtual void CDsetup() = 0;
    // Opens the system's mixer; false when none could be opened.
    virtual bool showMixer() = 0;

    // The MP3-to-wave conversion dialog, modal.
    virtual void showMp3Conversion() = 0;
    // The recorder window, modal.
    virtual void showRecorder() = 0;
};

// What the main window calls on the waveform view.
class WaveViewSide
{
public:
    virtual ~WaveViewSide() = default;

    virtual bool isOpen() const = 0;
    // Opens the view (drawing the waveform), or shows it when it is open.
    virtual void loadOrShow() = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual void close() = 0;
    // Draws the waveform of temp.wav afresh.
    virtual void mnuRefresh_Click() = 0;
    // Shows the play marker at that position of the file, in ms.
    virtual void showPlayPosition(int ms) = 0;
    // A key the main window does not use in "SlowPlay"; setting key to 0 consumes it. The
    // codes and shift mask are those of frmMain::Form_KeyDown.
    virtual void Form_KeyDown(int& key, int shift) = 0;
};

// The sides one main window calls; each is made for that window.
struct MainWindowSides {
    std::unique_ptr<LoopSide> loops;
    std::unique_ptr<CdSide> cd;
    std::unique_ptr<WaveViewSide> waveView;
};

} // namespace lentaro
