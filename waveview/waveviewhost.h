#pragma once

#include <QString>

namespace lentaro {

namespace mci {
class MMControl;
}

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
    virtual double expansionFactor(int tempWavChannels) = 0;
};

} // namespace lentaro
