#pragma once

#include "tests/app/window_fixture.h"

#include "platform/mci/MMControl.h"
#include "waveview/waveviewhost.h"

#include <QString>

#include <vector>

namespace lentaro::test {

// How a generated temp.wav is stored.
struct WaveFormat {
    int rate = 44100;
    int channels = 1;
    int bytesPerSample = 2;
    // A chunk of other data between the format and the data.
    bool extraChunk = false;
};

// A click train: `seconds` of silence with a pulse of 40 frames at `amplitude` (of 16-bit full
// scale) every 100 ms, the first at 0, in every channel.
constexpr int clickFrames = 40;
constexpr int clickPeriodMs = 100;
void writeClickTrain(const QString& path, const WaveFormat& format, double seconds, int amplitude);
// A sine of `hz` at `amplitude`, in every channel.
void writeSine(const QString& path, const WaveFormat& format, double seconds, double hz,
               int amplitude);

// The main window as the view reaches it: a device-less control as the current one, a length
// the test sets, the expansion factor the test sets, and every play of the slowed-down loop
// recorded with its From and To.
class RecordingHost : public WaveViewHost
{
public:
    struct Play {
        int from;
        int to;
        bool operator==(const Play& other) const { return from == other.from && to == other.to; }
    };

    mci::MMControl* currentMMControl() override { return &control; }
    int waveControlLength() override { return length; }
    void setWaveControlUpdateInterval(int milliseconds) override { updateInterval = milliseconds; }
    void showStatus(const QString& text) override { statuses.push_back(text); }
    void playSlowDownLoop() override { plays.push_back({control.from(), control.to()}); }
    bool playing() override { return false; }
    double expansionFactor(int channels) override
    {
        tempWavChannels = channels;
        return factor;
    }

    mci::MMControl control;
    int length = 0;
    double factor = 1.0;
    int updateInterval = 0;
    int tempWavChannels = -1;
    std::vector<QString> statuses;
    std::vector<Play> plays;
};

} // namespace lentaro::test
