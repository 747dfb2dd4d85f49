#pragma once

#include "platform/audio/Clock.h"
#include "platform/audio/FrameSink.h"
#include "platform/audio/NullSoundCard.h"
#include "platform/mci/MMControl.h"
#include "platform/mci/SoundCard.h"
#include "platform/mci/WaveAudioDevice.h"

#include "tests/platform/mci/control_fixture.h"

#include <QTemporaryDir>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lentaro::mci::test {

// A wave file whose every sample is its frame number: 16-bit mono, 8,000 frames a second, so
// a millisecond is 8 frames and whatever is lost, repeated or moved shows in what is heard.
constexpr int rampRate = 8000;
constexpr int rampMs = 2000;
constexpr int rampFrames = rampRate * rampMs / 1000;

// Writes a wave file through the sound-file core: `samples` interleaved 16-bit values.
void writeWave16(const std::string& path, int rate, int channels,
                 const std::vector<std::int16_t>& samples);
// The ramp file, and its frames from..to as heard.
void writeRamp(const std::string& path);

// The bytes of a wave file at 8,000 Hz with that format tag, channels and bits, and `data` as its
// data, written out by hand for what the sound-file core does not write.
std::string waveFile(int tag, int channels, int bits, const std::string& data);

// Reads a wave file back: its format and 16-bit samples (or empty when it cannot be read).
struct WaveContents {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<std::int32_t> samples; // as stored, at their own width
};
WaveContents readWave(const std::string& path);

// A stretch of the ramp heard without a break: the frames start..end.
struct Stretch {
    int start;
    int end;
    friend bool operator==(const Stretch& a, const Stretch& b)
    {
        return a.start == b.start && a.end == b.end;
    }
};
std::ostream& operator<<(std::ostream& out, const Stretch& stretch);

// A wave control on a null sound card that plays only as far as the test moves its clock, with
// everything it plays kept, and a folder for files.
class WaveRig
{
public:
    WaveRig();
    ~WaveRig();

    QString path(const char* name) const { return folder.filePath(QLatin1String(name)); }
    void send(const char* command) { control.setCommand(QLatin1String(command)); }
    // Opens the ramp file.
    void openRamp();

    // Moves the clock on (within what is queued ahead of a play) and waits until the position of
    // the playing control (the wave control unless named) shows the frames due have been heard.
    void hear(int milliseconds) { hear(milliseconds, control); }
    void hear(int milliseconds, MMControl& playing);
    // Moves the clock on until `count` more Done events have come.
    bool runUntilDone(std::size_t count = 1);
    // Moves the clock on until the device no longer plays or records.
    bool runUntilStopped();

    // What has been heard, as 16-bit samples, and cut into unbroken runs of the ramp.
    std::vector<std::int16_t> heard() const;
    std::vector<Stretch> runs() const;

    QTemporaryDir folder;
    std::shared_ptr<audio::ManualClock> clock = std::make_shared<audio::ManualClock>();
    std::shared_ptr<audio::MemorySink> sink = std::make_shared<audio::MemorySink>();
    audio::NullSoundCard card{1, clock};
    OnNullCard seam{card};
    ScopedOverride<SoundCard> cardInPlace{soundCard, seam};
    MMControl control;
    DoneLog dones{control};
};

} // namespace lentaro::mci::test
