#pragma once

class QString;

namespace lentaro {

// What the loop side calls on the main window.
class LoopSideHost
{
public:
    virtual ~LoopSideHost() = default;

    // Switches to the view theMode names ("CD", "Wave", "SlowPlay").
    virtual void changeToMode(const QString& theMode, bool suppressRefresh = false) = 0;
    // Whether the current view's device plays.
    virtual bool playing() = 0;
    // Sets the current device's time format to ms; tmsf to the track format.
    virtual void ms() = 0;
    virtual void tmsf() = 0;
    // Enables or disables the button that opens the waveform view, and the open view with it.
    virtual void graphicEnableToggle(bool newEnableState) = 0;
    // Lists the file first among the recent files.
    virtual void addToMRUs(const QString& fn) = 0;
    // Takes or gives back the user's input to the whole window.
    virtual void setEnabled(bool enabled) = 0;
    // The status text of the slowed-down loop that plays at the current speed.
    virtual void showLoopPlaying() = 0;
    virtual bool isWaveViewOpen() = 0;
};

} // namespace lentaro
