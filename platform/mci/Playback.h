#pragma once

#include "platform/audio/Format.h"
#include "platform/audio/OutputDevice.h"
#include "platform/mci/FramePump.h"
#include "platform/mci/MciTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace lentaro {
class UiHandOver;
}

namespace lentaro::mci {

// The plays of one device: the sound output they go to, kept from one play to the next, and the
// play under way, from one frame of the device's sound up to another. A play that ends by itself
// is reported from the event loop; one that a command ends is not.
class Playback
{
public:
    struct End {
        std::int64_t reached = 0; // the frame after the last one heard
        FramePump::Trouble trouble = FramePump::Trouble::None;
        std::string why;
    };
    using Ended = std::function<void(const End&)>;

    // `handOver` brings the pump's report to the user-interface thread, where `ended` runs.
    Playback(UiHandOver& handOver, Ended ended);
    ~Playback();
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    // An output for frames of `sound`: its own format if the card takes it, else the first of
    // outputCandidates it takes. The output of an earlier play of the same sound is kept.
    Outcome prepare(const audio::Format& sound);
    // The output's format, once prepared.
    const audio::Format& outputFormat() const { return output_->format(); }

    void start(std::unique_ptr<FrameFeed> feed, std::int64_t from, std::int64_t to);
    bool running() const { return pump_ != nullptr; }
    // The frame about to be heard; the end of the play under way.
    std::int64_t position() const;
    std::int64_t to() const { return to_; }
    // Ends the play under way, unreported; gives the frame it got to.
    std::int64_t halt();
    // Returns once the play under way has ended by itself, having reported it.
    void waitUntilEnded();
    // Ends any play and lets the output go.
    void close();

private:
    void finish();

    UiHandOver& handOver_;
    const Ended ended_;
    std::unique_ptr<audio::OutputDevice> output_;
    audio::Format outputFor_;
    std::unique_ptr<FramePump> pump_;
    std::int64_t from_ = 0;
    std::int64_t to_ = 0;
    // Counts the plays; a report of an older one than the one under way is stale.
    std::uint64_t serial_ = 0;
};

} // namespace lentaro::mci
