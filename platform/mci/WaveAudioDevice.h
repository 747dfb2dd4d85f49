#pragma once

#include "platform/audio/Format.h"
#include "platform/audio/InputDevice.h"
#include "platform/mci/CapturePump.h"
#include "platform/mci/Device.h"
#include "platform/mci/Playback.h"
#include "platform/shell/uihandover.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace kv {
class SoundStream;
}

namespace lentaro::mci {

// The wave-audio device. Its element is a sound file it streams through the sound-file core
// (never read whole), or, once recorded into, sound held in memory until Save writes it out. It
// plays and records through the sound card the SoundCard service gives, and counts time in
// milliseconds only.
class WaveAudioDevice final : public Device
{
public:
    WaveAudioDevice();
    ~WaveAudioDevice() override;

    bool supports(TimeFormat format) const override;
    bool canRecord() const override { return true; }
    bool canEject() const override { return false; }

    Outcome open(const QString& fileName) override;
    Outcome close() override;
    Outcome play(const Range& range) override;
    Outcome record(const Range& range) override;
    Outcome pause() override;
    Outcome stop() override;
    Outcome cue() override;
    Outcome seek(const std::optional<TimeValue>& to) override;
    Outcome move(Move move) override;
    Outcome save(const QString& fileName) override;
    Outcome eject() override;
    Outcome setWaveFormat(const WaveFormat& format) override;
    void waitUntilEnded() override;

    bool isOpen() const override { return open_; }
    Mode mode() const override { return open_ ? mode_ : Mode::NotOpen; }
    Reading position(TimeFormat format) const override;
    Reading length(TimeFormat format) const override;
    Reading tracks() const override;
    Reading trackLength(int track, TimeFormat format) const override;
    Reading trackPosition(int track, TimeFormat format) const override;

private:
    // A time as a frame of the element: the first frame at or after it, so that the frame reads
    // back as the same time.
    std::optional<std::int64_t> frameAt(const TimeValue& time, Outcome& why) const;
    int msAt(std::int64_t frame) const;
    std::int64_t currentFrame() const;
    std::int64_t lengthFrames() const;
    QString elementName() const;

    // The format the next recording takes: the one set last, unless sound is there already.
    audio::Format recordingShape() const;
    Outcome prepareInput(const audio::Format& format);
    std::unique_ptr<kv::SoundStream> readElement() const;
    void startPlay(std::int64_t from, std::int64_t to);
    void playEnded(const Playback::End& end);
    void recordReached(std::uint64_t serial);
    // Ends a play or record under way, keeping the position it reached; no report.
    void halt();
    void finishRecord();

    UiHandOver handOver_; // first made, last gone: the threads below post through it
    bool open_ = false;
    Mode mode_ = Mode::NotOpen;
    QString path_;
    std::unique_ptr<kv::SoundStream> file_; // the file streamed; null for sound in memory
    std::int64_t fileFrames_ = 0;
    audio::Format format_;               // of the element's frames as they play
    std::vector<std::uint8_t> recorded_; // sound in memory, in format_
    std::int64_t recordedFrames_ = 0;    // of recorded_, while no capture writes it
    audio::Format recordFormat_;
    std::int64_t position_ = 0;

    Playback playback_{handOver_, [this](const Playback::End& end) { playEnded(end); }};

    std::unique_ptr<audio::InputDevice> input_;
    std::unique_ptr<CapturePump> capture_;
    std::int64_t recordFrom_ = 0;
    // Counts the recordings; a report of an older one than the one under way is stale.
    std::uint64_t serial_ = 0;
};

} // namespace lentaro::mci
