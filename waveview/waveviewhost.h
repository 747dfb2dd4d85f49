#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace lentaro {

namespace mci {
class MMControl;
}

// The rhythm grid's fields of a loop row: twips of the grid at the view's opening layout. An empty
// field is Null when read and left as it is when written.
struct LoopGridFields {
    std::optional<std::int32_t> lastGridStart;
    std::optional<std::int32_t> lastGridWidth;
    std::optional<bool> gridVisible;
};

// What the waveform view calls on the main window.
class WaveViewHost
{
public:
    virtual ~WaveViewHost() = default;

    // The MCI control of the current view, which plays the slowed-down loop; null when none.
    virtual mci::MMControl* currentMMControl() = 0;
    // The length the main window's wave control reports, in ms; 0 when it holds nothing.
    virtual int waveControlLength() = 0;
    // How often the wave control reports its position (and so moves the play line), in ms.
    virtual void setWaveControlUpdateInterval(int milliseconds) = 0;
    // The main window's status message.
    virtual void showStatus(const QString& text) = 0;
    // Plays the slowed-down loop from the current control's From to its To.
    virtual void playSlowDownLoop() = 0;
    virtual bool playing() = 0;
    // Slowed-timeline samples per sample value of temp.wav (gvExpansionFactor), worked out first
    // when not yet known; 0 when it cannot be.
    virtual double expansionFactor() = 0;
    // The play speed in percent of the recorded speed.
    virtual int slowDownPercent() = 0;
    // Runs the main window's key handler, frmMain::Form_KeyDown (its codes and shift mask).
    virtual void forwardKeyDown(int& keyCode, int shift) = 0;
    // The grid fields of the current loop, the first row whose startTime is the main window's
    // prevStartTime; nothing when there is no such row.
    virtual std::optional<LoopGridFields> loopGrid() = 0;
    // Writes the fields given into that row; nothing when there is none.
    virtual void storeLoopGrid(const LoopGridFields& fields) = 0;
};

} // namespace lentaro
