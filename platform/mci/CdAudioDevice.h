#pragma once

#include "platform/mci/Device.h"
#include "platform/mci/DiscTimes.h"
#include "platform/mci/Playback.h"
#include "platform/shell/uihandover.h"

#include <optional>

namespace lentaro::cd {
class Drive;
}

namespace lentaro::mci {

// The CD-audio device. It opens a drive of the CD layer by its letter ("D:") and plays the disc
// digitally through the sound card, 44.1 kHz 16-bit stereo. Every answer is for the disc in the
// drive at that moment, and the drive is held only while it plays, so its own eject button keeps
// working. Positions count the frames heard.
class CdAudioDevice final : public Device
{
public:
    CdAudioDevice();
    ~CdAudioDevice() override;

    bool supports(TimeFormat) const override { return true; }
    bool canRecord() const override { return false; }
    bool canEject() const override { return true; }

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

    bool isOpen() const override { return drive_ != nullptr; }
    Mode mode() const override;
    Reading position(TimeFormat format) const override;
    Reading length(TimeFormat format) const override;
    Reading tracks() const override;
    Reading trackLength(int track, TimeFormat format) const override;
    Reading trackPosition(int track, TimeFormat format) const override;

private:
    // The disc in the drive now; why there is none to use.
    cd::Toc disc(Outcome& why) const;
    // Where the device stands on that disc: where play got to, or the first track's start.
    DiscSample here(const cd::Toc& toc) const;
    std::optional<DiscSample> sampleAt(const TimeValue& time, const cd::Toc& toc,
                                       Outcome& why) const;
    Outcome startPlay(DiscSample from, DiscSample to);
    void playEnded(const Playback::End& end);
    // Ends a play under way, keeping the place it reached; no report.
    void halt();
    QString driveName() const;

    UiHandOver handOver_; // first made, last gone: the play below reports through it
    cd::Drive* drive_ = nullptr;
    bool paused_ = false;
    std::optional<DiscSample> place_; // where play got to; none: the first track's start
    Playback playback_{handOver_, [this](const Playback::End& end) { playEnded(end); }};
};

} // namespace lentaro::mci
