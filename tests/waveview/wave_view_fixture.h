#pragma once

#include "tests/app/window_fixture.h"

#include "platform/mci/MMControl.h"
#include "waveview/frmScrollTime.h"
#include "waveview/waveviewhost.h"

#include <QString>

#include <utility>
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
// scale) every `periodMs` (100 ms unless given), the first at 0, in every channel.
constexpr int clickFrames = 40;
constexpr int clickPeriodMs = 100;
void writeClickTrain(const QString& path, const WaveFormat& format, double seconds, int amplitude,
                     int periodMs = clickPeriodMs);
// A sine of `hz` at `amplitude`, in every channel.
void writeSine(const QString& path, const WaveFormat& format, double seconds, double hz,
               int amplitude);

// The columns where the view's chart shows a click begin: the waveform reaches halfway to the
// plot's top there and nowhere else (a selection box inverts quiet and loud rows alike).
std::vector<int> clickColumns(frmScrollTime& view);

// The main window as the view reaches it: a device-less control as the current one, a length
// the test sets, the expansion factor and speed the test sets, every play of the slowed-down loop
// recorded with its From and To, every key passed to the main window's handler, and one loop row
// (or none) for the grid.
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
    double expansionFactor() override { return factor; }

    int slowDownPercent() override { return percent; }
    void forwardKeyDown(int& keyCode, int shift) override
    {
        forwardedKeys.push_back({keyCode, shift});
    }
    std::optional<LoopGridFields> loopGrid() override { return row; }
    void storeLoopGrid(const LoopGridFields& fields) override
    {
        if (!row)
            return;
        if (fields.lastGridStart)
            row->lastGridStart = fields.lastGridStart;
        if (fields.lastGridWidth)
            row->lastGridWidth = fields.lastGridWidth;
        if (fields.gridVisible)
            row->gridVisible = fields.gridVisible;
    }

    mci::MMControl control;
    int length = 0;
    int percent = 50;
    std::vector<std::pair<int, int>> forwardedKeys;
    std::optional<LoopGridFields> row;
    double factor = 1.0;
    int updateInterval = 0;
    std::vector<QString> statuses;
    std::vector<Play> plays;
};

// The view loaded over a temp.wav the test writes, beside a recording host: offscreen (96 dpi, 15
// twips to the pixel), temp.wav's chart at step 20.
class WaveViewTest : public WindowTest
{
protected:
    static constexpr int tppx = 15;

    void SetUp() override;

    QString tempWav() const { return path(QStringLiteral("temp.wav")); }
    // Loads the view at that size, its events run.
    frmScrollTime& load(QSize size = QSize(800, 400));
    // The view's last message box text.
    QString lastMessage() const;

    RecordingHost host_;
};

} // namespace lentaro::test
